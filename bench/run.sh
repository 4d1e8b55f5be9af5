#!/usr/bin/env bash
# The benchmark command. Builds the timer and the benchmark's own programs for
# the Wine this machine runs (the 32-bit product where it runs 32-bit
# programs itself, else its 64-bit build: emulated code cannot be timed),
# starts a private Wine environment and measures the timer beside a yardstick
# in the same run. Prints a table and writes it as CSV to
# build/bench/results.csv.
#
#   BENCH_IDLE_SECONDS   length of each processor-time sample (default 60)
#   BENCH_TRIES          timed shows from the screen edge (default 20)
#   BENCH_STARTS         timed starts of each program (default 10)
#   BENCH_COUNT_MINUTES  length of the timed countdown (default 2)
#   BENCH_FUZZ_SECONDS   how long the fuzz target runs (default 120)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash tools/bootstrap.sh "$0"
source tools/wine-env.sh
wine_choose
if ((wine_emulated)); then
  wine_bits=64 wine_reason="32-bit programs run here only emulated, and emulated code cannot be timed"
fi
wine_use "$wine_bits"

idle_seconds=${BENCH_IDLE_SECONDS:-60}
tries=${BENCH_TRIES:-20}
starts=${BENCH_STARTS:-10}
count_minutes=${BENCH_COUNT_MINUTES:-2}
fuzz_seconds=${BENCH_FUZZ_SECONDS:-120}
preset=win$wine_bits
echo "Building the $wine_bits-bit programs ($wine_reason)..."
for p in win32 "$preset"; do  # the shipped program is the 32-bit one on every machine
  build_preset "$p" --target countdown bench_driver polling_hider minimal_window same_windows settings_writes >/dev/null
done
build_preset fuzz --target settings_fuzz >/dev/null
build=$root/build/$preset

out=$root/build/bench
mkdir -p "$out"
env_dir=$out/testenv
bash tools/testenv.sh start "$env_dir" "$wine_bits" >/dev/null
work=$(mktemp -d)
trap 'bash tools/testenv.sh stop "$env_dir" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
export COUNTDOWN_TESTENV=$env_dir WINE_RUN_TIMEOUT=3600
wineserver_pid=$(<"$env_dir/wineserver.pid")
timer_caption=澜珂倒计时
settings_caption=设置窗口
start_button=0x160112CB

driver() { "$root/tools/wine-run.sh" "$build/bench/bench_driver.exe" "$@"; }
# The Windows name of a Linux path: Wine's drive Z: is the root.
windows_path() { echo "Z:${1//\//\\}"; }

# Processor time (user + system, in clock ticks) of one process, threads included.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# idle_cpu <pid>: percent of one core used by the process and by wineserver
# over one sample, as "program server".
idle_cpu() {
  local pid=$1 p0 s0 p1 s1 t0 t1
  p0=$(ticks "$pid") s0=$(ticks "$wineserver_pid") t0=$(date +%s.%N)
  sleep "$idle_seconds"
  p1=$(ticks "$pid") s1=$(ticks "$wineserver_pid") t1=$(date +%s.%N)
  awk -v p="$((p1 - p0))" -v s="$((s1 - s0))" -v t0="$t0" -v t1="$t1" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { t = t1 - t0; printf "%.2f %.2f\n", 100 * p / hz / t, 100 * s / hz / t }'
}

# start <exe> [settings lines]: starts a program in a folder of its own (the
# timer keeps its settings file, lkd.dll, beside itself; the lines given are
# written there first, in GBK) and prints its Linux process id.
start() {
  local exe=$1 name folder pid
  name=$(basename "$exe")
  folder=$(mktemp -d "$work/run.XXXX")
  cp "$exe" "$folder/"
  if [[ -n ${2:-} ]]; then printf '[配置信息]\r\n%s' "$2" | iconv -f UTF-8 -t GBK >"$folder/lkd.dll"; fi
  # Wine names the process after the program, cut to the kernel's 15
  # characters; earlier runs of the same program may linger as zombies.
  local before
  before=$(pgrep -x "${name:0:15}" || true)
  (cd "$folder" && exec "$root/tools/wine-run.sh" "./$name") >/dev/null 2>&1 &
  for _ in $(seq 200); do
    pid=$(pgrep -x "${name:0:15}" | grep -vxF "${before:-none}" | head -1 || true)
    if [[ -n $pid ]]; then echo "$pid"; return; fi
    sleep 0.05
  done
  echo "$name did not start" >&2
  return 1
}

stop() {
  local pid=$1 caption=$2
  driver close "$caption" >/dev/null 2>&1 || true
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  kill "$pid" 2>/dev/null || true
}

rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
field() { awk -v k="$1" '$1 == k { print $2 }'; }
sum() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a + b }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
row() { echo "$1,$2,$3,$4,$5" >>"$out/results.csv"; }

echo "figure,timer,yardstick,yardstick is,target" >"$out/results.csv"
echo "Measuring; this takes about $(((7 * idle_seconds + 2 * count_minutes * 60 + 4 * tries + 3 * starts + fuzz_seconds + 250) / 60)) minutes..."

# Size of the program as shipped (stripped, resources included).
size=$(stat -c %s "$root/build/win32/countdown.exe")
row "executable size (KiB; 32-bit; stripped with resources)" "$(awk -v s="$size" 'BEGIN { printf "%.1f", s / 1024 }')" "" "" "<= 256"

# Start-up: until the main window shows 05-00, against a program that only
# opens a window, and against the timer's own two windows opened from the same
# layouts with nothing behind them (what the windows alone cost).
startup=$(driver startup "$starts" label "$(windows_path "$build/countdown.exe")" \
  window "$(windows_path "$build/bench/minimal_window.exe")" label "$(windows_path "$build/bench/same_windows.exe")")
t_start=$(field median1 <<<"$startup") m_start=$(field median2 <<<"$startup") w_start=$(field median3 <<<"$startup")
row "start-up to the window showing 05-00 (ms; median of $starts)" "$t_start" "$m_start" "minimal window" ""
row "  start-up ratio" "$(ratio "$t_start" "$m_start")" "" "" "<= 1.3"
row "  ratio to the timer's two windows alone (same layouts; nothing behind them)" "$(ratio "$t_start" "$w_start")" "$w_start ms" "the windows alone" ""

# What wineserver spends with nothing of ours running (the prefix's own
# services): part of every processor figure below.
read -r _ baseline < <(idle_cpu "$wineserver_pid")
row "wineserver alone (% of one core over ${idle_seconds} s)" "$baseline" "" "" ""

# Memory after start-up, and idle processor use with edge hiding off.
timer=$(start "$build/countdown.exe" "自动隐藏=否"$'\r\n')
minimal=$(start "$build/bench/minimal_window.exe")
same=$(start "$build/bench/same_windows.exe")
driver wait "$timer_caption"
sleep 3
t_rss=$(rss_kib "$timer") m_rss=$(rss_kib "$minimal") w_rss=$(rss_kib "$same")
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
row "resident memory after start-up (MiB)" "$(mib "$t_rss")" "$(mib "$m_rss")" "minimal window" ""
row "  more than the minimal window (MiB)" "$(mib $((t_rss - m_rss)))" "" "" "< 4"
row "  more than the timer's two windows alone (MiB)" "$(mib $((t_rss - w_rss)))" "$(mib "$w_rss")" "the windows alone" ""
stop "$minimal" "minimal window"
stop "$same" "same windows"
read -r p s < <(idle_cpu "$timer")
row "idle processor use; edge hiding off; count stopped (% of one core; program + wineserver)" "$(sum "$p" "$s")" "" "" "< 1"
driver click "$settings_caption" "$start_button"
read -r p s < <(idle_cpu "$timer")
row "idle processor use; edge hiding off; count running" "$(sum "$p" "$s")" "" "" "< 1"
stop "$timer" "$timer_caption"

# Edge hiding on: centred, then hidden at the left edge, stopped and running,
# and how fast it comes back; then the polling yardstick the same way. The
# timer is measured first: under Wine, once a process whose low-level mouse
# hook was installed after the timer's has ended, the timer's hook is no
# longer called (seen with every build of the timer), and its shows would
# wait for its idle pace.
timer=$(start "$build/countdown.exe")
driver wait "$timer_caption"
sleep 3
read -r p s < <(idle_cpu "$timer")
row "idle processor use; edge hiding on; count stopped" "$(sum "$p" "$s")" "" "" "< 1"
driver hide "$timer_caption"
sleep 2  # let any pace picked up from the driver's own cursor moves die down
read -r t_p t_s < <(idle_cpu "$timer")
driver click "$settings_caption" "$start_button"
read -r r_p r_s < <(idle_cpu "$timer")
t_latency=$(driver latency "$timer_caption" "$tries")
stop "$timer" "$timer_caption"
polling=$(start "$build/bench/polling_hider.exe")
driver hide "polling hider"
read -r y_p y_s < <(idle_cpu "$polling")
y_latency=$(driver latency "polling hider" "$tries")
stop "$polling" "polling hider"
row "idle processor use; edge hiding on; hidden at the left edge; count stopped" "$(sum "$t_p" "$t_s")" \
  "$(sum "$y_p" "$y_s")" "a worker polling without pause" "< 1"
row "  of which the program" "$t_p" "$y_p" "" ""
row "  of which wineserver" "$t_s" "$y_s" "" ""
row "idle processor use; edge hiding on; hidden at the left edge; count running" "$(sum "$r_p" "$r_s")" "" "" "< 1"
row "show latency from the cursor on the edge strip (ms; 95th percentile of $tries)" "$(field p95 <<<"$t_latency")" \
  "$(field p95 <<<"$y_latency")" "a worker polling without pause" "< 50"
row "  median (ms)" "$(field median <<<"$t_latency")" "$(field median <<<"$y_latency")" "" ""

# Timing: a count started by the button against the wall clock.
timer=$(start "$build/countdown.exe" "时间=$count_minutes"$'\r\n'"自动隐藏=否"$'\r\n')
timing=$(driver timing)
row "timing: $((count_minutes * 60))-second count's 00-00 against its due instant (ms; late > 0)" "$(field error <<<"$timing")" "" "" "|error| < 250"
row "  tick periods' spread: longest less shortest (ms)" "$(field spread <<<"$timing")" "" "" "< 100"
stop "$timer" "$timer_caption"
# The same count with its interface thread suspended for 3.5 s half-way, as a
# busy machine holds it: the seconds missed meanwhile are made up at once.
timer=$(start "$build/countdown.exe" "时间=$count_minutes"$'\r\n'"自动隐藏=否"$'\r\n')
timing=$(driver timing 3500)
row "timing: the same count with its interface thread stalled 3.5 s half-way (ms; late > 0)" "$(field error <<<"$timing")" \
  "" "" "|error| < 100"
stop "$timer" "$timer_caption"

# The settings file's writes: the program's own store, which writes a new file
# beside the old and moves it into its place (and skips a write that would
# change nothing), against the system's private-profile function, which
# rewrites the file in place; both on the same ten keys, in one process.
writes=$(cd "$build/bench" && "$root/tools/wine-run.sh" ./settings_writes.exe 200)
row "one settings write (ms; median of 200)" "$(field store_median <<<"$writes")" "$(field profile_median <<<"$writes")" \
  "WritePrivateProfileStringA" ""
row "  95th percentile (ms)" "$(field store_p95 <<<"$writes")" "$(field profile_p95 <<<"$writes")" "" ""
row "  a burst of 60 wheel notches; two writes a notch (ms in all)" "$(field store_burst <<<"$writes")" \
  "$(field profile_burst <<<"$writes")" "" ""

# Soak: the end-to-end soak test with a whole day's counts (the test command
# runs a quarter of them).
build_preset "$preset" --target e2e_tests >/dev/null
soak=$(COUNTDOWN_SOAK_PERCENT=100 ctest --test-dir "build/$preset" -R '^(wine_env_start|wine_env_stop|Soak\..*)$' -V 2>&1 || true)
while IFS= read -r line; do
  what=$(sed -n 's/.* ms: \([^:]*\): GDI.*/\1/p' <<<"$line")
  [[ -n $what ]] || continue
  windows=$(sed -n 's/.*windows \([0-9]* -> [0-9]*\).*/\1/p' <<<"$line")
  memory=$(sed -n 's/.*anonymous KiB \([0-9]* -> [0-9]*\).*/\1/p' <<<"$line")
  gui=$(sed -n 's/.*GDI \([0-9]* -> [0-9]*\), USER \([0-9]* -> [0-9]*\).*/GDI \1; USER \2/p' <<<"$line")
  row "soak: $what (before -> after; $gui)" "windows $windows; private resident KiB $memory" "" "" "no growth"
done <<<"$soak"
grep -q '100% tests passed' <<<"$soak" && soak_ok=0 || soak_ok=1
counts=$(sed -n 's/.*: \([0-9]* repaints.*About windows\)$/\1/p' <<<"$soak" | tr , ';')
row "  soak test failed (1 = yes); $counts" "$soak_ok" "" "" "0"

# Fuzzing, longer than the test command does, from a copy of the seed corpus.
rm -rf "$work/corpus" && cp -r tests/fuzz/corpus "$work/corpus"
if fuzz=$(cd "$work" && "$root/build/fuzz/settings_fuzz" -max_total_time="$fuzz_seconds" corpus 2>&1); then found=0; else found=1; fi
runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' <<<"$fuzz")
row "fuzzing the readings and the settings load for $fuzz_seconds s: inputs tried" "${runs:-0}" "" "" ""
row "  a failing input found (1 = yes)" "$found" "" "" "0"

echo
echo "Measured on the $wine_bits-bit build ($wine_reason): $(nproc) cores," \
  "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(. /etc/os-release && echo "$PRETTY_NAME"), $("$WINELOADER" --version)."
awk -F, '{ printf "%-92s %9s %10s  %-30s %s\n", $1, $2, $3, $4, $5 }' "$out/results.csv" | sed 's/ *$//'
echo
echo "Written to build/bench/results.csv."
