#!/usr/bin/env bash
# Builds the project and runs the sample session: both plug-ins loaded into a
# drawing, the sample script's LISP calls and answers, the drawing saved as DXF
# and drawn as a picture under build/sample-out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash .ci/install-deps
dir=build
out="$PWD/$dir/sample-out"
mkdir -p "$out"
cmake -S . -B "$dir" >/dev/null
if ! cmake --build "$dir" -j"$(nproc)" >"$out/build.log" 2>&1; then
  tail -40 "$out/build.log"
  exit 1
fi
export CADHOST_HOME="${CADHOST_HOME:-$out/home}"
cd "$out"
"../bin/cadhost" --load Kestrom --load Brenvel --script "../../samples/demo.scr"
echo
echo "Sample output in $out"
