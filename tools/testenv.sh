#!/usr/bin/env bash
# The environment Wine programs run in: an Xvfb display, a private PulseAudio
# server whose only output is a null sink (what is played there can be recorded
# from its monitor) and a persistent wineserver on a fresh prefix, all recorded
# by process id under <dir>.
#   testenv.sh start <dir> [32|64] [record]   prints the display, prefix and sound server
#   testenv.sh stop <dir>                     safe after a failed or partial start
# The width (default 32) is that of the programs to run: a 32-bit prefix and
# loader for the product, a 64-bit one for its 64-bit twin. With "record",
# everything played is kept in <dir>/monitor.raw, 16-bit mono at 22050 Hz, for
# the tests to hear (tests/e2e/audio.h).
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

cmd=${1:?usage: testenv.sh start|stop <dir> [32|64]}
dir=$(mkdir -p "${2:?usage: testenv.sh start|stop <dir> [32|64]}" && cd "$2" && pwd)
bits=${3:-32}
record=${4:-}
export WINEPREFIX=$dir/prefix
# The prefix is made in the environment the programs will run in.
unset COUNTDOWN_LANG
wine_defaults

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
  drop_server_dir
  kill_pid "$dir/monitor-reader.pid" parec
  rm -f "$dir/monitor.raw"  # a few MB a minute: kept no longer than the environment
  kill_pid "$dir/pulseaudio.pid" pulseaudio
  rm -f "$dir/pulse.env"
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

# start_pulse: our own PulseAudio, a user-mode daemon with all its state, runtime
# files and cookie under <dir>/pulse, so that the user's sound setup is never
# read nor touched. Its one sink is a null sink, the default sink, and that
# sink's monitor is the default source: Wine plays into the one and records the
# other. pulse.env holds what a client needs to reach it (wine-run.sh sources it).
start_pulse() {
  local pulse=$dir/pulse
  local socket=$pulse/native
  # The kernel takes at most 107 bytes for a socket path.
  if ((${#socket} > 107)); then
    echo "PulseAudio socket path too long (${#socket} > 107 bytes): $socket" >&2; exit 1
  fi
  rm -rf "$pulse"
  mkdir -m 700 -p "$pulse" "$pulse/home"
  cat >"$pulse/setup.pa" <<EOF
load-module module-null-sink sink_name=countdown_sink sink_properties=device.description=countdown_sink
load-module module-native-protocol-unix socket=$socket auth-anonymous=1
set-default-sink countdown_sink
set-default-source countdown_sink.monitor
EOF
  : >"$pulse/client.conf"
  cat >"$dir/pulse.env" <<EOF
export PULSE_SERVER=unix:$socket PULSE_COOKIE=$pulse/home/.config/pulse/cookie PULSE_CLIENTCONFIG=$pulse/client.conf
EOF
  # As root PulseAudio warns that user mode is not meant for root, then runs.
  # No realtime or raised priority: as root it could take them, elsewhere not,
  # and the tests should see the same timing everywhere. No D-Bus either: with
  # DISPLAY set it would try to launch a session bus that outlives the test.
  HOME=$pulse/home XDG_RUNTIME_DIR=$pulse PULSE_RUNTIME_PATH=$pulse PULSE_STATE_PATH=$pulse/state \
  LC_ALL=C DBUS_SESSION_BUS_ADDRESS=disabled: DISPLAY= \
    pulseaudio --daemonize=no --system=false -n -F "$pulse/setup.pa" --use-pid-file=no \
      --exit-idle-time=-1 --disallow-exit --realtime=no --high-priority=no --log-target=stderr \
      </dev/null >"$dir/pulseaudio.log" 2>&1 &
  echo $! >"$dir/pulseaudio.pid"
  source "$dir/pulse.env"
  local sink= source=
  for _ in $(seq 100); do
    alive "$(<"$dir/pulseaudio.pid")" || break
    [[ -S $socket ]] && sink=$(pactl get-default-sink 2>/dev/null) && break
    sleep 0.1
  done
  source=$(pactl get-default-source 2>/dev/null) || true
  if [[ $sink != countdown_sink || $source != countdown_sink.monitor ]]; then
    echo "PulseAudio did not start with countdown_sink as its default; see $dir/pulseaudio.log" >&2
    cat "$dir/pulseaudio.log" >&2
    exit 1
  fi
  # A null sink nobody asks for low latency renders up to 2 s ahead, in one go:
  # a recording started then gets nothing for up to 2 s, and what it gets is
  # not timed as it sounds. A reader that stays on the monitor asking for 10 ms
  # keeps the sink rendering in 10 ms steps, like a sound card.
  local keep=/dev/null
  [[ $record == record ]] && keep=$dir/monitor.raw
  rm -f "$dir/monitor.raw"
  parec --device=countdown_sink.monitor --latency-msec=10 --raw --format=s16le --rate=22050 --channels=1 \
    </dev/null >"$keep" 2>"$dir/monitor-reader.log" &
  echo $! >"$dir/monitor-reader.pid"
  sleep 0.2
  if ! alive "$(<"$dir/monitor-reader.pid")"; then
    echo "Could not record the sink's monitor; see $dir/monitor-reader.log" >&2
    cat "$dir/monitor-reader.log" >&2
    exit 1
  fi
}

# wine_services: how many services.exe run in this prefix.
wine_services() {
  local n=0 pid
  for pid in $(pgrep -f 'services\.exe'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && n=$((n + 1))
  done
  echo "$n"
}

# healthy: true when the prefix is fit to test in; otherwise $unhealthy says
# why. Seen on busy machines: two services.exe in one prefix, after which
# RPC never starts and every program waits 10 s for its first window.
healthy() {
  local n; n=$(wine_services)
  if [[ $n != 1 ]]; then unhealthy="$n services.exe instead of one"; return 1; fi
  if ! timeout 20 "$WINELOADER" sc.exe start RpcSs </dev/null 2>&1 | grep -q 'RUNNING\|1056'; then
    unhealthy="the RPC service (RpcSs) does not start"; return 1
  fi
  # A second, or five where 32-bit code runs emulated (about two, seen here):
  # the unfit prefix's windows take ten.
  local budget=20
  [[ $bits == 32 && -e $qemu_entry ]] && budget=100
  "$WINELOADER" regedit.exe </dev/null >/dev/null 2>&1 &
  local pid=$! shown=
  for _ in $(seq $budget); do
    xwininfo -root -tree 2>/dev/null | grep -q '("regedit.exe" ' && { shown=1; break; }
    sleep 0.05
  done
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  if [[ -z $shown ]]; then unhealthy="a program's window took over $((budget / 20)) s to appear"; return 1; fi
}

# server_dir: names the directory for the prefix's wineserver socket before
# anything starts. Where /run/user/<uid> is missing, Debian's Wine makes that
# directory under TMPDIR and writes its name into <prefix>/wineserver; a loader
# that reads the file while the server is still writing it finds it empty,
# deletes it and gives up ("fixed a temporary directory error"). Written here
# first, the name is simply read by both.
server_dir() {
  local tmp=${TMPDIR:-/tmp} made
  made=$(mktemp -d "$tmp/wine-XXXXXX")
  printf '%s' "${made#"$tmp"/}" >"$WINEPREFIX/wineserver"
  chmod 400 "$WINEPREFIX/wineserver"
}

# drop_server_dir: removes the directory named there, once its server is gone.
drop_server_dir() {
  local name
  [[ -s $WINEPREFIX/wineserver ]] || return 0
  name=$(<"$WINEPREFIX/wineserver")
  [[ $name == wine-?????? ]] && rm -rf "${TMPDIR:-/tmp}/$name"
  return 0
}

# boot: a new prefix through our own wineserver.
boot() {
  # Our own wineserver, in the foreground of a background job so that $! is its
  # pid; wineboot then fills the new prefix through it.
  drop_server_dir
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  server_dir
  wineserver -f -p </dev/null >"$dir/wineserver.log" 2>&1 &
  echo $! >"$dir/wineserver.pid"
  # -u, not -i: on a new prefix the loader runs the first-time set-up itself,
  # and an -i on top of it starts a second services.exe.
  if ! timeout 180 "$WINELOADER" wineboot.exe -u </dev/null >"$dir/wineboot.log" 2>&1; then
    unhealthy="wineboot failed: $(tail -n 3 "$dir/wineboot.log" | tr '\n' ' ')"; return 1
  fi
  alive "$(<"$dir/wineserver.pid")" || { unhealthy="its wineserver died"; return 1; }
  # There is no window manager on Xvfb: with Wine managing windows itself,
  # hiding or destroying a taskbar window waits seconds for a WM that never answers.
  "$WINELOADER" reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  # Wine's pulse driver and no other: without our server Wine then has no sound
  # device at all, and the sound tests fail opening one instead of hearing
  # nothing. (Its ALSA driver would reach the server too, through ALSA's pulse
  # plugin, with one more resampler on the way.)
  "$WINELOADER" reg.exe add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f </dev/null >/dev/null 2>&1
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
  start_pulse

  # A prefix that failed to boot or came up unfit is made again, once; the
  # tests would only fail for it, looking like the program's fault.
  if ! { boot && healthy; }; then
    echo "The new Wine prefix is unfit ($unhealthy); making it again." >&2
    timeout 20 wineserver -k >/dev/null 2>&1 || true
    kill_pid "$dir/wineserver.pid" wineserver
    if ! { boot && healthy; }; then
      echo "The Wine prefix in $WINEPREFIX is unfit to test in, twice: $unhealthy." >&2
      exit 1
    fi
  fi
  echo "display $DISPLAY, $bits-bit prefix $WINEPREFIX, sound $PULSE_SERVER"
}

case $cmd in
  start) start ;;
  stop) stop ;;
  *) echo "usage: testenv.sh start|stop <dir>" >&2; exit 2 ;;
esac
