#!/usr/bin/env bash
# wine-run.sh <program.exe> [args...]: runs a Windows program inside the
# environment tools/testenv.sh started (COUNTDOWN_TESTENV, or build/win32/testenv).
# CMake uses it to run every cross-built test program.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

env_dir=${COUNTDOWN_TESTENV:-$(dirname "$0")/../build/win32/testenv}
if [[ ! -s $env_dir/display ]]; then
  echo "wine-run.sh: no test environment in $env_dir (run tools/testenv.sh start $env_dir)" >&2
  exit 1
fi
export DISPLAY; DISPLAY=$(<"$env_dir/display")
# The environment's own PulseAudio: every sound goes to its null sink, where
# the tests record it, and never to the user's server.
if [[ ! -s $env_dir/pulse.env ]]; then
  echo "wine-run.sh: no sound server recorded in $env_dir (restart it: tools/testenv.sh start $env_dir)" >&2
  exit 1
fi
source "$env_dir/pulse.env"
wine_use "$(<"$env_dir/bits")"
export WINEPREFIX=$env_dir/prefix
wine_defaults  # a test may set its own overrides or locale

# A hung program must not hang the whole run.
exec timeout -k 10 "${WINE_RUN_TIMEOUT:-300}" "$WINELOADER" "$@"
