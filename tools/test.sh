#!/usr/bin/env bash
# Builds both presets and runs every test layer: host unit tests natively, then
# the Win32 unit tests and the end-to-end tests under Wine + Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/bootstrap.sh "$0"

status=0
for preset in host win32; do
  # -k: one target that fails to build still leaves the others to test.
  { cmake --preset "$preset" && cmake --build --preset "$preset" -j2 -- -k; } || status=1
done
# Both test runs happen whatever failed before; win32 last, so that CTest's
# summary of the Wine layers is the last line printed.
ctest --test-dir build/host --output-on-failure --no-tests=error --no-label-summary || status=1
ctest --test-dir build/win32 --output-on-failure --no-tests=error --no-label-summary || status=1
exit "$status"
