#!/usr/bin/env bash
# Builds all four presets and runs every test layer: host unit tests natively,
# the fuzz target for a fixed count, then the Win32 unit tests and the
# end-to-end tests under Wine + Xvfb.
#
# The Wine layers run on the 32-bit product where this machine runs 32-bit
# programs, and on its 64-bit twin (build/win64) where it does not;
# COUNTDOWN_WINE_ARCH=32|64 forces the choice. The product's own check (PE32,
# size, imports) runs in either case.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/bootstrap.sh "$0"
source tools/wine-env.sh

status=0
# All are always built, so that neither width can rot unseen.
for preset in host fuzz win32 win64; do
  # -k: one target that fails to build still leaves the others to test.
  { cmake --preset "$preset" && cmake --build --preset "$preset" -j2 -- -k; } || status=1
done

ctest_run() {
  ctest --output-on-failure --no-tests=error --no-label-summary "$@"
}
ctest_run --test-dir build/host || status=1
ctest_run --test-dir build/fuzz || status=1

if ! wine_choose; then
  exit 1
fi
if [[ $wine_bits == 64 ]]; then
  ctest_run --test-dir build/win32 -R '^countdown_exe_check$' || status=1
fi
# The Wine layers last, so that their summary ends the output; the line that
# says which build ran goes just before it.
note="Wine layers ran on the ${wine_bits}-bit build (build/win$wine_bits): $wine_reason."
ctest_run --test-dir "build/win$wine_bits" |
  awk -v note="$note" '/% tests passed, / { print note } { print; fflush() }' || status=1
exit "$status"
