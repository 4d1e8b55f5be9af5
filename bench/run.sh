#!/usr/bin/env bash
# The benchmark command. Builds the timer and the benchmark's own programs for
# the Wine this machine runs (the 32-bit product where it runs 32-bit
# programs, else its 64-bit build), starts a private Wine environment and
# measures the timer beside a reference, side by side in one run. Prints a
# table and writes it as CSV to build/bench/results.csv.
#
#   BENCH_IDLE_SECONDS   length of each processor-time sample (default 30)
#   BENCH_TRIES          timed shows per program (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash tools/bootstrap.sh "$0"
source tools/wine-env.sh
wine_choose
wine_use "$wine_bits"

idle_seconds=${BENCH_IDLE_SECONDS:-30}
tries=${BENCH_TRIES:-20}
preset=win$wine_bits
echo "Building the $wine_bits-bit programs ($wine_reason)..."
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2 --target countdown bench_driver polling_hider >/dev/null
build=$root/build/$preset

out=$root/build/bench
mkdir -p "$out"
env_dir=$out/testenv
bash tools/testenv.sh start "$env_dir" "$wine_bits" >/dev/null
work=$(mktemp -d)
trap 'bash tools/testenv.sh stop "$env_dir" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
export COUNTDOWN_TESTENV=$env_dir WINE_RUN_TIMEOUT=3600
wineserver_pid=$(<"$env_dir/wineserver.pid")

driver() { "$root/tools/wine-run.sh" "$build/bench/bench_driver.exe" "$@"; }

# Processor time (user + system, in clock ticks) of one process, threads included.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# idle_cpu <pid>: percent of one core used by the process and by wineserver
# over the sample, as "program server".
idle_cpu() {
  local pid=$1 p0 s0 p1 s1 t0 t1
  p0=$(ticks "$pid") s0=$(ticks "$wineserver_pid") t0=$(date +%s.%N)
  sleep "$idle_seconds"
  p1=$(ticks "$pid") s1=$(ticks "$wineserver_pid") t1=$(date +%s.%N)
  awk -v p="$((p1 - p0))" -v s="$((s1 - s0))" -v t0="$t0" -v t1="$t1" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { t = t1 - t0; printf "%.2f %.2f\n", 100 * p / hz / t, 100 * s / hz / t }'
}

# Starts a program in a folder of its own (the timer keeps its settings file
# beside itself) and prints its Linux process id once Wine has started it.
start() {
  local exe=$1 name
  name=$(basename "$exe")
  mkdir -p "$work/$name" && cp "$exe" "$work/$name/"
  (cd "$work/$name" && exec "$root/tools/wine-run.sh" "./$name") >/dev/null 2>&1 &
  for _ in $(seq 200); do
    # Wine names the process after the program, cut to the kernel's 15 characters.
    if pid=$(pgrep -n -x "${name:0:15}"); then echo "$pid"; return; fi
    sleep 0.05
  done
  echo "$name did not start" >&2
  return 1
}

# measure <label> <exe> <caption>: idle processor use while hidden at the
# left edge, then the show latency; appends "label cpu server median p95".
measure() {
  local label=$1 exe=$2 caption=$3 pid cpu latency
  pid=$(start "$exe")
  driver hide "$caption"
  sleep 2  # let any pace picked up from the driver's own cursor moves die down
  cpu=$(idle_cpu "$pid")
  latency=$(driver latency "$caption" "$tries")
  driver close "$caption" || true
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill "$pid" 2>/dev/null || true
  echo "$label $cpu $(awk '/^median/ { m = $2 } /^p95/ { p = $2 } END { print m, p }' <<<"$latency")" >>"$work/rows"
}

echo "Measuring Wine alone, the timer, then the polling reference (about $((3 * idle_seconds + 3 * tries + 20)) s)..."
# What wineserver spends with no program of ours running: the prefix's own
# services. It is part of every figure below.
read -r _ baseline < <(idle_cpu "$wineserver_pid")
measure timer "$build/countdown.exe" "澜珂倒计时"
measure polling "$build/bench/polling_hider.exe" "polling hider"

read -r _ t_cpu t_srv t_med t_p95 < <(grep '^timer ' "$work/rows")
read -r _ p_cpu p_srv p_med p_p95 < <(grep '^polling ' "$work/rows")
t_total=$(awk -v a="$t_cpu" -v b="$t_srv" 'BEGIN { printf "%.2f", a + b }')
p_total=$(awk -v a="$p_cpu" -v b="$p_srv" 'BEGIN { printf "%.2f", a + b }')
machine="$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(. /etc/os-release && echo "$PRETTY_NAME"), $("$WINELOADER" --version 2>/dev/null || echo Wine)"

{
  echo "figure,timer,polling reference,target"
  echo "idle processor use with edge hiding on; hidden at the left edge; ${idle_seconds} s (% of one core; program + wineserver),$t_total,$p_total,< 1"
  echo "  of which the program,$t_cpu,$p_cpu,"
  echo "  of which wineserver,$t_srv,$p_srv,"
  echo "  wineserver with no program running,$baseline,$baseline,"
  echo "show latency from the cursor on the strip; 95th percentile of $tries (ms),$t_p95,$p_p95,< 50"
  echo "  median (ms),$t_med,$p_med,"
} >"$out/results.csv"

echo
echo "Measured on the $wine_bits-bit build ($wine_reason); $machine."
awk -F, '{ printf "%-100s %10s %18s %8s\n", $1, $2, $3, $4 }' "$out/results.csv"
echo
echo "Written to build/bench/results.csv."
