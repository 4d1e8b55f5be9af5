#!/usr/bin/env bash
# The environment Wine programs run in: an Xvfb display and a persistent
# wineserver on a fresh prefix, both recorded by process id under <dir>.
#   testenv.sh start <dir> [32|64]   prints the display and prefix
#   testenv.sh stop <dir>            safe after a failed or partial start
# The width (default 32) is that of the programs to run: a 32-bit prefix and
# loader for the product, a 64-bit one for its 64-bit twin.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

cmd=${1:?usage: testenv.sh start|stop <dir> [32|64]}
dir=$(mkdir -p "${2:?usage: testenv.sh start|stop <dir> [32|64]}" && cd "$2" && pwd)
bits=${3:-32}
export WINEPREFIX=$dir/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The prefix is made in the locale the programs will run in (as wine-run.sh sets).
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

# alive <pid>: running, not a zombie waiting for a parent that may never reap it.
alive() {
  local stat; stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  [[ ${stat##*) } != Z* ]]
}

# kill_pid <file> <name>: ends the process whose id the file holds, if it is
# still the <name> we started (a stale file may hold a reused id).
kill_pid() {
  [[ -s $1 ]] || return 0
  local pid; pid=$(<"$1")
  if grep -qa -- "$2" "/proc/$pid/cmdline" 2>/dev/null && kill "$pid" 2>/dev/null; then
    for _ in $(seq 50); do alive "$pid" || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  rm -f "$1"
}

stop() {
  if [[ -d $WINEPREFIX ]]; then
    timeout 20 wineserver -k >/dev/null 2>&1 || true
  fi
  kill_pid "$dir/wineserver.pid" wineserver
  kill_pid "$dir/xvfb.pid" Xvfb
  # A killed Xvfb leaves its lock behind; drop it once its owner is gone.
  if [[ -s $dir/display ]]; then
    local n owner; n=$(<"$dir/display"); n=${n#:}
    owner=$({ tr -d ' \n' <"/tmp/.X$n-lock"; } 2>/dev/null || true)
    if [[ -z $owner ]] || ! alive "$owner"; then
      rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
    fi
    rm -f "$dir/display"
  fi
}

start() {
  stop
  if ! wine_try "$bits"; then
    echo "$bits-bit Wine cannot run on this machine ($wine_error)." >&2
    [[ $bits == 32 ]] && echo "Run the Wine layers on the win64 build instead: bash tools/test.sh chooses it." >&2
    exit 1
  fi
  wine_use "$bits"
  echo "$bits" >"$dir/bits"
  # Xvfb on the first display number nobody holds; another run may take the
  # same number at the same moment, so a display that fails to come up is skipped.
  local n
  for n in $(seq 90 199); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 100); do
      [[ -S /tmp/.X11-unix/X$n ]] && break
      alive "$(<"$dir/xvfb.pid")" || break
      sleep 0.1
    done
    if [[ -S /tmp/.X11-unix/X$n ]] && alive "$(<"$dir/xvfb.pid")"; then
      echo ":$n" >"$dir/display"
      break
    fi
    kill_pid "$dir/xvfb.pid" Xvfb
  done
  [[ -s $dir/display ]] || { echo "no free X display" >&2; exit 1; }
  export DISPLAY; DISPLAY=$(<"$dir/display")

  # Our own wineserver, in the foreground of a background job so that $! is its
  # pid; wineboot then fills the new prefix through it.
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineserver -f -p </dev/null >"$dir/wineserver.log" 2>&1 &
  echo $! >"$dir/wineserver.pid"
  timeout 180 "$WINELOADER" wineboot.exe -i </dev/null >"$dir/wineboot.log" 2>&1 || {
    echo "wineboot failed; see $dir/wineboot.log" >&2; cat "$dir/wineboot.log" >&2; exit 1
  }
  alive "$(<"$dir/wineserver.pid")" || { echo "wineserver died" >&2; exit 1; }
  # There is no window manager on Xvfb: with Wine managing windows itself,
  # hiding or destroying a taskbar window waits seconds for a WM that never answers.
  "$WINELOADER" reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  echo "display $DISPLAY, $bits-bit prefix $WINEPREFIX"
}

case $cmd in
  start) start ;;
  stop) stop ;;
  *) echo "usage: testenv.sh start|stop <dir>" >&2; exit 2 ;;
esac
