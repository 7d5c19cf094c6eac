# make run  - install what is missing, build, start the window
# make test - install what is missing, build, run every test (also sanitized)
.PHONY: run test deps build bench clean

deps:
	./scripts/install-deps.sh

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build build -j$$(nproc)

run: build
	./scripts/run.sh

test: deps
	./scripts/test.sh

bench: build
	./build/bin/lodsmith_bench

clean:
	rm -rf build build-asan
