#!/usr/bin/env bash
# Builds orvik_bench in Release, runs the benchmarks of the paths users run
# (terrain tools, point import, OPEN/SAVEAS, selections, tables, registry, traverses) and
# writes their table into README.md between "<!-- perf-table -->" and
# "<!-- /perf-table -->". Takes about ten minutes on 8 cores.
#   Usage: tools/perf_table.sh [build-dir]        (default build-rel)
#   ORVIK_PYTHON: the python with numpy and scipy (default /usr/bin/python3)
#   PERF_JOBS: build jobs (default 4)
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-rel}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
# The benchmarks load the main plug-in as a session does.
cmake --build "$dir" -j"${PERF_JOBS:-4}" --target orvik_bench Kestrom >/dev/null

bench="$dir/bench/orvik_bench"
runs="$dir/perf-runs"  # the JSON of each run, kept for a look afterwards
rm -rf "$runs" && mkdir -p "$runs"
unset CADHOST_HOME  # each run keeps its registry and files in a folder of its own

run() {  # run <json file> <filter> [VAR=value ...]
    local out="$1" filter="$2"
    shift 2
    echo "running $filter" >&2
    env "$@" "$bench" --benchmark_filter="$filter" --benchmark_format=json >"$runs/$out"
}

paths='TerrainPath|ScipyDelaunay|DuplicatedPoints|BreaklinePiece|BpolyPick|ImportXyz|XyzPlainParse'
paths+='|OpenImported|SaveImported|NestedBlocks|LayerTable|RegistrySession|Select|SsgetXFiltered'
paths+='|TraverseOpen'
run small.json "^BM_($paths)[A-Za-z]*/"
# 1M: each path in a process of its own, so that its peak memory and the state
# of the heap are its own; the terrain path with scipy beside it.
one_million=(TerrainPath DuplicatedPoints BreaklinePiece ImportXyz XyzPlainParse OpenImported SaveImported
             SelectAll SelectWindow SelectCrossing SelectFence SelectPick SsgetXFiltered)
for name in "${one_million[@]}"; do
    filter="^BM_$name/1000000\$"
    [ "$name" = TerrainPath ] && filter='^BM_(TerrainPath|ScipyDelaunay)/1000000(/|$)'
    run "$name.json" "$filter" ORVIK_BENCH_1M=1
done

files=("$runs/small.json")
for name in "${one_million[@]}"; do files+=("$runs/$name.json"); done
python3 tools/perf_table.py README.md "${files[@]}"
