#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
#   tools/fuzz.sh [seconds per target] [target...]
# Targets: dxf trav xyz dcl settings lisp (all by default); 30 seconds each by
# default. Each starts from its seed corpus (fuzz/corpus/<target>, copied, so
# the repository's corpus is left as it is) and the inputs kept under
# fuzz/regressions/<target>. An input that fails is written to
# build-fuzz/findings/<target>/ and the script exits 1: keep it under
# fuzz/regressions/<target>/ once the fault is mended, where the ordinary tests
# check it again.
# With FUZZ_RUNS set, each target instead makes that many runs. FUZZ_SEED fixes
# the fuzzer's seed (1 with FUZZ_RUNS), so that a run can be repeated on the
# same machine; on another machine (another checkout path, another number of
# cores) the fuzzer takes other paths, so a bounded run there may still find
# what a run here did not. Continuous integration runs each target for a minute
# from seed 1; a longer timed run is the way to look for new faults.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(dxf trav xyz dcl settings lisp)
if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is not installed; the fuzz targets need it" >&2
  exit 1
fi
dir=build-fuzz
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DORVIK_FUZZ=ON -DBUILD_TESTING=OFF \
  "${launcher[@]}" >/dev/null
cmake --build "$dir" -j"${FUZZ_JOBS:-4}" --target $(printf 'fuzz_%s ' "${targets[@]}") >/dev/null
export CADHOST_HOME="$PWD/$dir/fuzz-home"
failed=0
for target in "${targets[@]}"; do
  work="$dir/corpus/$target"
  findings="$dir/findings/$target"
  rm -rf "$work"
  mkdir -p "$work" "$findings"
  cp fuzz/corpus/"$target"/* "$work"/
  [ -d fuzz/regressions/"$target" ] && cp fuzz/regressions/"$target"/* "$work"/
  if [ -n "${FUZZ_RUNS:-}" ]; then
    budget=(-runs="$FUZZ_RUNS" -seed="${FUZZ_SEED:-1}")
  else
    budget=(-max_total_time="$seconds")
    [ -n "${FUZZ_SEED:-}" ] && budget+=(-seed="$FUZZ_SEED")
  fi
  if "$dir/fuzz/fuzz_$target" "$work" "${budget[@]}" -max_len=8192 -timeout=10 \
      -artifact_prefix="$findings/" >"$dir/fuzz-$target.log" 2>&1; then
    echo "fuzz $target: $(grep -o 'Done [0-9]* runs' "$dir/fuzz-$target.log" || echo done), nothing found"
  else
    echo "fuzz $target: FAILED, see $dir/fuzz-$target.log and $findings/" >&2
    grep -m1 -A3 "round trip failed\|ERROR: " "$dir/fuzz-$target.log" >&2 || true
    failed=1
  fi
done
exit $failed
