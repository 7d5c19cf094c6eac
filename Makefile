# make run   - install what is missing, build, start the window
# make test  - install what is missing, build, run every test (also sanitized,
#              with the fuzz seeds and regressions replayed)
# make windows      - cross-build for Windows (MinGW-w64), dist/*-win64.zip
# make test-windows - run the Windows build's tests under Wine
# make fuzz  - run every fuzz target FUZZ_SECONDS long (FUZZ_TARGETS: some)
# make package - build the Debian package into dist/
.PHONY: run test deps build bench fuzz fuzz-pending package clean windows windows-deps test-windows

FUZZ_SECONDS ?= 90
FUZZ_TARGETS ?=

deps:
	./scripts/install-deps.sh

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j$$(nproc)

run: build
	./scripts/run.sh

test: deps
	./scripts/test.sh

# The table of every ratio with its goal (docs/performance.md); the single
# benchmarks behind it: ./build/bin/lodsmith_bench.
bench: build
	./build/bin/lodsmith_bench_table

fuzz: deps
	FUZZ_SECONDS=$(FUZZ_SECONDS) ./scripts/fuzz.sh run $(FUZZ_TARGETS)

# Which inputs of fuzz/pending pass by now.
fuzz-pending: deps
	./scripts/fuzz.sh pending

# Kept apart from `deps`: the Linux build and `make test` need no cross
# compiler and no Wine.
windows-deps:
	./scripts/install-windows-deps.sh

windows: windows-deps
	./scripts/windows.sh

test-windows: windows
	./scripts/test-windows.sh

# A release build of the two programs only, installed below /usr.
package: deps
	cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DLODSMITH_TESTS=OFF -DLODSMITH_BENCH=OFF
	cmake --build build-package -j$$(nproc)
	cd build-package && cpack
	@ls -1 dist/*.deb

clean:
	rm -rf build build-asan build-fuzz build-package build-windows dist
