#!/usr/bin/env bash
# Fuzzing the readers and rewrites (fuzz/). Builds in build-fuzz: with clang
# and its libFuzzer where they work, otherwise with g++ and the mutation loop
# of fuzz/drivers/mutate_main.cpp (FUZZ_CXX=g++ forces that).
#
#   scripts/fuzz.sh [run] [target...]  every target (or those named) in turn,
#                                      FUZZ_SECONDS each (default 90)
#   scripts/fuzz.sh pending            replays fuzz/pending/<target>/ and says
#                                      which inputs pass by now
#   scripts/fuzz.sh minimize TARGET FILE
#                                      a smaller input with the same fault
#                                      (libFuzzer only), written beside FILE
#   scripts/fuzz.sh seeds              rewrites fuzz/seeds from make_seeds.cpp
#
# Runs start from fuzz/seeds/<target>/ and fuzz/regressions/<target>/, the
# inputs kept from earlier runs (build-fuzz/corpus/<target>/) and, when the
# shared corpus is beside the clone (../shared/corpus, or $LODSMITH_SHARED),
# its shapes of up to FUZZ_MAX_LEN bytes (default 65536). Faults land in
# build-fuzz/artifacts/<target>/; put each, minimized, into
# fuzz/regressions/<target>/ once mended, fuzz/pending/<target>/ until then.
# One fuzzer runs at a time.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
build="$here/build-fuzz"
seconds="${FUZZ_SECONDS:-90}"
max_len="${FUZZ_MAX_LEN:-65536}"
shared="${LODSMITH_SHARED:-$here/../shared}"
# Every target there is: one per file in fuzz/targets/.
all_targets=()
for f in "$here"/fuzz/targets/*.cpp; do all_targets+=("$(basename "$f" .cpp)"); done
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/tests/lsan.supp}"

# The compiler: clang when it links a libFuzzer program, else g++.
choose_compiler() {
  if [ -n "${FUZZ_CXX:-}" ]; then echo "$FUZZ_CXX"; return; fi
  local probe
  probe="$(mktemp -d)"
  printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' >"$probe/p.cpp"
  if command -v clang++ >/dev/null && clang++ -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" 2>/dev/null; then
    echo clang++
  else
    echo g++
  fi
  rm -rf "$probe"
}

configure() {
  local cxx
  cxx="$(choose_compiler)"
  # A folder made with the other compiler is made anew.
  if [ "$(cat "$build/.compiler" 2>/dev/null)" != "$cxx" ]; then rm -rf "$build"; fi
  mkdir -p "$build"
  echo "$cxx" >"$build/.compiler"
  case "$cxx" in *clang*) libfuzzer=1 ;; *) libfuzzer=0 ;; esac
  echo "fuzz: building with $cxx in $build"
  # The whole tree (window, batch program, tests, benchmarks) is built, so
  # that this compiler sees every source, not only what the fuzzers link.
  CXX="$cxx" cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLODSMITH_FUZZ=ON >/dev/null
  cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" >"$build/build.log" 2>&1 ||
    { tail -40 "$build/build.log"; exit 1; }
}

# The control line each target reads in front of a shape ("" = none).
control_line() {
  case "$1" in
    generation) printf '1a0\n' ;;
    point_merge | normal_merge) printf '0,001\n' ;;
    animation_strip) printf '\n' ;;
  esac
}

# Shapes of the shared corpus in the target's input layout.
extra_inputs() {
  local target="$1" out="$build/extra/$1"
  rm -rf "$out"
  mkdir -p "$out"
  case "$target" in ini_file | model_settings) return ;; esac
  [ -d "$shared/corpus" ] || return 0
  local f
  for f in "$shared"/corpus/*.s; do
    [ "$(stat -c %s "$f")" -le "$max_len" ] || continue
    { control_line "$target"; cat "$f"; } >"$out/$(basename "$f")"
  done
}

run_target() {
  local target="$1" exe="$build/bin/fuzz_$1"
  local corpus="$build/corpus/$target" artifacts="$build/artifacts/$target" log="$build/$1.log"
  mkdir -p "$corpus" "$artifacts"
  extra_inputs "$target"
  echo "fuzz: $target for ${seconds}s"
  local before start=$SECONDS
  before="$(find "$artifacts" -type f | wc -l)"
  local args=(-max_len="$max_len" -timeout=30 -rss_limit_mb=2048 -artifact_prefix="$artifacts/")
  local inputs=("$corpus") dir
  for dir in "$here/fuzz/seeds/$target" "$here/fuzz/regressions/$target" "$build/extra/$target"; do
    [ -d "$dir" ] && inputs+=("$dir")
  done
  : >"$log"
  touch "$log.start"
  if [ "$libfuzzer" = 1 ]; then
    # One child process at a time that goes on after a fault, so that one
    # run can find several.
    "$exe" "${args[@]}" -max_total_time="$seconds" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
      -dict="$here/fuzz/shape.dict" -print_final_stats=1 "${inputs[@]}" >>"$log" 2>&1 || true
  else
    # The loop ends at a fault; it starts again for the time that is left.
    local left
    while left=$((seconds - (SECONDS - start))); [ "$left" -gt 0 ]; do
      "$exe" "${args[@]}" -max_total_time="$left" "${inputs[@]}" >>"$log" 2>&1 || true
    done
  fi
  if ! grep -qE "^Done [0-9]+ runs|^INFO: fuzzed for|^#[0-9]+: cov:" "$log"; then
    echo "fuzz: $target did not run, see $log"
    tail -5 "$log" | sed 's/^/    /'
    failed+=("$target")
    return
  fi
  local found
  found=$(($(find "$artifacts" -type f | wc -l) - before))
  if [ "$found" -gt 0 ]; then
    echo "fuzz: $target: $found new faulty inputs in $artifacts (log: $log)"
    # What each one does, told by running it once more.
    local f
    find "$artifacts" -type f -newer "$log.start" | while read -r f; do
      if "$exe" -timeout=30 "$f" >"$build/replay.out" 2>&1; then
        echo "(passes when run alone)"
      else
        grep -m1 -E "^invariant violated|runtime error|ERROR: [A-Z]|Timeout" "$build/replay.out" || echo "(fails without a report)"
      fi
    done | sed -E 's/[0-9]{5,}/N/g' | sort | uniq -c | sort -rn | sed 's/^/    /'
    failed+=("$target")
  else
    echo "fuzz: $target: nothing found"
  fi
}

cmd="${1:-run}"
case "$cmd" in
  run | pending | minimize | seeds) shift || true ;;
  *) cmd=run ;;
esac

if [ "$cmd" = run ]; then
  for t in "$@"; do
    case " ${all_targets[*]} " in
      *" $t "*) ;;
      *) echo "fuzz: no target \"$t\" (there are: ${all_targets[*]})" >&2; exit 2 ;;
    esac
  done
fi
configure
case "$cmd" in
  run)
    targets=("$@")
    [ ${#targets[@]} -eq 0 ] && targets=("${all_targets[@]}")
    failed=()
    for t in "${targets[@]}"; do run_target "$t"; done
    if [ ${#failed[@]} -gt 0 ]; then
      echo "fuzz: faults found in: ${failed[*]} (inputs in $build/artifacts/)"
      exit 1
    fi
    echo "fuzz: no faults found"
    ;;
  pending)
    still=0
    for dir in "$here"/fuzz/pending/*/; do
      [ -d "$dir" ] || continue
      t="$(basename "$dir")"
      for f in "$dir"*; do
        [ -f "$f" ] || continue
        if "$build/bin/fuzz_$t" "$f" >/dev/null 2>&1; then
          echo "passes now: $f (move it to fuzz/regressions/$t/)"
        else
          echo "still fails: $f"
          still=$((still + 1))
        fi
      done
    done
    echo "fuzz: $still pending inputs still fail"
    ;;
  minimize)
    [ $# -eq 2 ] || { echo "usage: $0 minimize TARGET FILE" >&2; exit 2; }
    [ "$libfuzzer" = 1 ] || { echo "fuzz: minimizing needs libFuzzer (clang)" >&2; exit 2; }
    "$build/bin/fuzz_$1" -minimize_crash=1 -max_total_time="${seconds}" -exact_artifact_path="$2.min" "$2"
    echo "fuzz: $2.min"
    ;;
  seeds)
    rm -rf "$here/fuzz/seeds"
    "$build/bin/lodsmith_fuzz_seeds" "$here/fuzz/seeds"
    echo "fuzz: seeds written to fuzz/seeds"
    ;;
esac
