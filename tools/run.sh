#!/usr/bin/env bash
# Builds countdown.exe and starts it under Wine. Without a display it runs on a
# virtual one for a few seconds and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/bootstrap.sh "$0"

cmake --preset win32
cmake --build --preset win32 -j2 --target countdown
exe=build/win32/countdown.exe

if [[ -n ${DISPLAY:-} ]]; then
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  exec wine "$exe"
fi

env_dir=$PWD/build/win32/runenv
shot=$PWD/build/win32/screenshot.png
trap 'bash tools/testenv.sh stop "$env_dir"' EXIT
bash tools/testenv.sh start "$env_dir"
COUNTDOWN_TESTENV=$env_dir tools/wine-run.sh "$exe" &
pid=$!
sleep 5
DISPLAY=$(<"$env_dir/display") xwd -root -silent | convert xwd:- "png:$shot"
echo "Screenshot: $shot"
kill "$pid" 2>/dev/null || true
