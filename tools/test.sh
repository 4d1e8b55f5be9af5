#!/usr/bin/env bash
# Builds all four presets and runs every test layer: host unit tests natively,
# the fuzz target for a fixed count, then the Win32 unit tests and the
# end-to-end tests under Wine + Xvfb.
#
# The Wine layers run on the 32-bit product where this machine runs 32-bit
# programs, natively or through Debian 13's qemu-i386 where it cannot execute
# them itself (tools/wine-env.sh); emulated, the tests that time the program
# to the tens of milliseconds (CTest label "timing") run on its 64-bit twin
# (build/win64) instead. Where 32-bit Wine cannot run at all, everything runs
# on the twin. COUNTDOWN_WINE_ARCH=32|64 forces the choice. The product's own
# check (PE32, size, imports) runs in every case.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/bootstrap.sh "$0"
source tools/wine-env.sh

status=0
# All are always built, so that neither width can rot unseen.
for preset in host fuzz win32 win64; do
  # -k: one target that fails to build still leaves the others to test.
  build_preset "$preset" -- -k || status=1
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
# says which build ran goes just before each summary.
wine_layers() {
  local note=$1
  shift
  ctest_run "$@" | awk -v note="$note" '/% tests passed, / { print note } { print; fflush() }'
}
if ((wine_emulated)) && [[ $wine_bits == 32 ]]; then
  wine_layers "Wine layers, the timing tests: the 64-bit build (build/win64) under 64-bit Wine, as emulated code cannot be timed that closely." \
    --test-dir build/win64 -L timing || status=1
  wine_layers "Wine layers, all but the timing tests: the 32-bit build (build/win32) under 32-bit Wine: $wine_reason." \
    --test-dir build/win32 -LE timing || status=1
else
  wine_layers "Wine layers ran on the ${wine_bits}-bit build (build/win$wine_bits): $wine_reason." \
    --test-dir "build/win$wine_bits" || status=1
fi
exit "$status"
