#!/usr/bin/env bash
# Builds countdown.exe and starts it under Wine. Without a display it runs on a
# virtual one for a few seconds and saves a screenshot instead. On a machine
# that cannot execute 32-bit code it starts it through Debian 13's qemu-i386,
# and where even that cannot run, the 64-bit build of the same tree.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/bootstrap.sh "$0"
source tools/wine-env.sh
wine_choose

build_preset win32 --target countdown
preset=win$wine_bits
if [[ $wine_bits == 64 ]]; then
  echo "Starting the 64-bit build (build/win64/countdown.exe): $wine_reason."
  build_preset win64 --target countdown
fi
exe=build/$preset/countdown.exe
if ((wine_emulated)); then
  echo "Starting the 32-bit program under emulation: $wine_reason."
fi

if [[ -n ${DISPLAY:-} ]]; then
  wine_use "$wine_bits"
  # A 64-bit program needs a 64-bit prefix; the usual ~/.wine may be a 32-bit one.
  [[ $wine_bits == 64 ]] && export WINEPREFIX=${WINEPREFIX:-$HOME/.wine64}
  wine_defaults
  exec "$WINELOADER" "$exe"
fi

env_dir=$PWD/build/$preset/runenv
shot=$PWD/build/$preset/screenshot.png
trap 'bash tools/testenv.sh stop "$env_dir"' EXIT
bash tools/testenv.sh start "$env_dir" "$wine_bits"
COUNTDOWN_TESTENV=$env_dir tools/wine-run.sh "$exe" &
pid=$!
sleep 5
DISPLAY=$(<"$env_dir/display") xwd -root -silent | convert xwd:- "png:$shot"
echo "Screenshot: $shot"
kill "$pid" 2>/dev/null || true
