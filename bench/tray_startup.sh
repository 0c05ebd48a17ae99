#!/usr/bin/env bash
# Measures the whole tray program as it starts and idles, beside a bare Qt
# tray program (tray_baseline, also once with its menu drawn) in the same
# run: the time from exec to the icon docking in the tray, the peak resident
# memory, and the CPU time and thread wake-ups while idle between cycles. Runs in a private network
# namespace of its own on a virtual X screen with trayer; Pelmora checks 100
# loopback hosts (echo targets and web addresses served on loopback).
# Needs root (for the namespace).
#
#   bench/tray_startup.sh [--build DIR] [--runs N] [--idle SECONDS]
#
#   --build DIR     build tree with bin/Pelmora and bin/tray_baseline (default: build)
#   --runs N        start-ups timed per program, the median counts (default: 7)
#   --idle SECONDS  idle window for the CPU figure (default: 10)
#
# Goals: icon within 300 ms, peak memory within 1.3 times the baseline, and no
# CPU between cycles beyond the timers.
set -euo pipefail

root_dir=$(cd "$(dirname "$0")/.." && pwd)

if [ "${PELMORA_BENCH_INSIDE:-}" != 1 ]; then
  build=$root_dir/build
  runs=7
  idle=10
  while [ $# -gt 0 ]; do
    case $1 in
      --build) build=${2:?}; shift 2 ;;
      --runs) runs=${2:?}; shift 2 ;;
      --idle) idle=${2:?}; shift 2 ;;
      -h | --help) sed -n '10,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
      *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
  done
  if ! [[ $runs =~ ^[0-9]+$ && $idle =~ ^[0-9]+$ ]] || [ "$runs" -lt 1 ] || [ "$runs" -gt 50 ] ||
    [ "$idle" -lt 1 ] || [ "$idle" -gt 120 ]; then
    echo "--runs wants 1 to 50, --idle 1 to 120" >&2
    exit 2
  fi
  for program in Pelmora tray_baseline; do
    [ -x "$build/bin/$program" ] ||
      { echo "no $build/bin/$program: build the Pelmora and tray_baseline targets" >&2; exit 2; }
  done
  [ "$(id -u)" -eq 0 ] || { echo "needs root for a private network namespace" >&2; exit 2; }
  for tool in Xvfb trayer xev xwininfo xprop convert display python3 stdbuf; do
    command -v "$tool" >/dev/null || { echo "missing $tool: run tools/install-deps" >&2; exit 2; }
  done
  PELMORA_BENCH_BUILD=$(cd "$build" && pwd)
  PELMORA_BENCH_RUNS=$runs
  PELMORA_BENCH_IDLE=$idle
  PELMORA_BENCH_INSIDE=1
  export PELMORA_BENCH_BUILD PELMORA_BENCH_RUNS PELMORA_BENCH_IDLE PELMORA_BENCH_INSIDE
  exec unshare --net -- "$0"
fi

# ---- From here on: inside the private network namespace. ----
# shellcheck source=tools/x_session.sh
. "$root_dir/tools/x_session.sh"

build=$PELMORA_BENCH_BUILD
runs=$PELMORA_BENCH_RUNS
idle=$PELMORA_BENCH_IDLE
work=$(mktemp -d /tmp/pelmora-bench.XXXXXX)
trap 'x_session_stop; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

private_network_up
app=$work/app
copy_program "$build/bin" "$app"
cp "$build/bin/tray_baseline" "$work/"
{
  echo "[HostList]"
  for i in $(seq 0 69); do echo "Item$i=127.0.0.$((i + 1))"; done
  for i in $(seq 70 99); do echo "Item$i=http://127.0.0.$((i % 2 + 1)):$((8080 + i % 2))/page$i"; done
  echo
  echo "[CheckParams]"
  echo "CheckPeriod=60000"
  echo "PopUpInterval=5000"
} >"$app/Pelmora.ini"

x_session_start "$work" 96
web_listeners_for "$app/Pelmora.ini" "$work"

now_us() { local t=${EPOCHREALTIME/./}; echo $((10#$t)); }

# wait_for_icon SECONDS: true once an icon is docked.
wait_for_icon() {
  for _ in $(seq $(($1 * 20))); do
    [ -z "$(tray_icons)" ] || return 0
    sleep 0.05
  done
  return 1
}

# The moment of docking comes from the X server itself: the tray host
# reparents the icon window out of the root window, and xev, listening on the
# root window, reports it at once. (Polling the tray's window tree instead
# takes ~12 ms a step here and competes with the program for the CPU.)
root_window=$(xwininfo -root | awk '/Window id:/ { print $4 }')
coproc XEV { exec stdbuf -oL xev -root -event substructure 2>/dev/null; }
session_pids+=("$XEV_PID")
xev_out=${XEV[0]}
sleep 0.3

drain_events() {
  local line
  while read -r -t 0.1 -u "$xev_out" line; do :; done
}

# wait_for_docking SECONDS: sets docked_at (EPOCHREALTIME) when a window
# leaves the root window for another parent.
wait_for_docking() {
  local deadline=$(($(now_us) + $1 * 1000000)) line stamp left
  while left=$((deadline - $(now_us))) && [ "$left" -gt 0 ]; do
    read -r -t "$((left / 1000000)).$(printf '%06d' $((left % 1000000)))" -u "$xev_out" line ||
      return 1
    stamp=$EPOCHREALTIME
    [[ $line == ReparentNotify* ]] || continue
    read -r -t 1 -u "$xev_out" line || return 1
    if [[ $line =~ parent\ (0x[0-9a-f]+) ]] && [ "${BASH_REMATCH[1]}" != "$root_window" ]; then
      docked_at=$stamp
      return 0
    fi
  done
  return 1
}

wait_for_empty_tray() {
  for _ in $(seq 100); do
    [ -n "$(tray_icons)" ] || return 0
    sleep 0.05
  done
  echo "an icon stayed in the tray" >&2
  return 1
}

run_count=0
# start PROGRAM...: starts it with a fresh runtime folder; sets started_pid.
start() {
  run_count=$((run_count + 1))
  start_in_session "$work/runtime$run_count" "$@"
}

# time_icon PROGRAM...: one start; sets icon_ms, from exec to the docked icon.
time_icon() {
  drain_events
  start "$@"
  if ! wait_for_docking 10 || ! wait_for_icon 1; then
    echo "no tray icon within 10 s from $1" >&2
    return 1
  fi
  icon_ms=$(((10#${docked_at/./} - 10#${started_at/./}) / 1000))
  stop_process "$started_pid"
  wait_for_empty_tray
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

status_kb() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }

cpu_ticks() { # utime + stime of the whole process
  sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

wakeups() { # context switches of all its threads together
  cat /proc/"$1"/task/*/status 2>/dev/null |
    awk '/^(voluntary|nonvoluntary)_ctxt_switches:/ { n += $2 } END { print n + 0 }'
}

# The first cycle is over when its report shows: a new top-level window.
wait_for_popup() {
  local before=$1
  for _ in $(seq 600); do
    local id
    for id in $(viewable_toplevels | awk '{ print $1 }'); do
      grep -qxF "$id" <<<"$before" || return 0
    done
    sleep 0.05
  done
  echo "no report within 30 s" >&2
  return 1
}

tick_ms=$((1000 / $(getconf CLK_TCK)))

# steady NAME PROGRAM...: peak memory after the first cycle (for Pelmora:
# after its report) and the CPU and wake-ups over the idle window after it.
steady() {
  local name=$1 before
  shift
  before=$(viewable_toplevels | awk '{ print $1 }')
  start "$@"
  local pid=$started_pid
  wait_for_icon 10 || { echo "no tray icon within 10 s from $1" >&2; return 1; }
  [ "$name" != Pelmora ] || wait_for_popup "$before"
  sleep 1
  local cpu0 wake0
  cpu0=$(cpu_ticks "$pid") wake0=$(wakeups "$pid")
  sleep "$idle"
  cpu[$name]=$((($(cpu_ticks "$pid") - cpu0) * tick_ms))
  wake[$name]=$(($(wakeups "$pid") - wake0))
  hwm[$name]=$(status_kb "$pid" VmHWM)
  rss[$name]=$(status_kb "$pid" VmRSS)
  threads[$name]=$(status_kb "$pid" Threads)
  stop_process "$pid"
  wait_for_empty_tray
}

declare -A icon hwm rss cpu wake threads times
declare -A command=([Pelmora]="$app/Pelmora" [tray_baseline]="$work/tray_baseline")
# One untimed start each warms the caches; then the two take turns, so a
# busy moment on the machine falls on both alike.
for name in tray_baseline Pelmora; do time_icon "${command[$name]}"; done
for _ in $(seq "$runs"); do
  for name in tray_baseline Pelmora; do
    time_icon "${command[$name]}"
    times[$name]+="$icon_ms "
  done
done
for name in tray_baseline Pelmora; do
  # shellcheck disable=SC2086 # the list of times splits into its numbers
  icon[$name]=$(printf '%s\n' ${times[$name]} | median)
  echo "$name: icon after ${times[$name]}ms"
  steady "$name" "${command[$name]}"
done
steady tray_baseline_text "$work/tray_baseline" --draw-menu

verdict() { if [ "$1" -eq 1 ]; then echo ok; else echo MISSED; fi; }
ratio=$(awk -v a="${hwm[Pelmora]}" -v b="${hwm[tray_baseline]}" 'BEGIN { printf "%.2f", a / b }')

row() { printf '%-34s %10s %10s %10s   %s\n' "$@"; }
echo
row "figure" "Pelmora" "baseline" "+text" "goal"
row "icon docked after exec, median ms" "${icon[Pelmora]}" "${icon[tray_baseline]}" "" \
  "<= 300: $(verdict $((icon[Pelmora] <= 300)))"
row "peak RSS (VmHWM), KiB" "${hwm[Pelmora]}" "${hwm[tray_baseline]}" "${hwm[tray_baseline_text]}" \
  "<= 1.3x baseline: ${ratio}x $(verdict "$(awk -v r="$ratio" 'BEGIN { print (r <= 1.3) }')")"
row "RSS after idling, KiB" "${rss[Pelmora]}" "${rss[tray_baseline]}" "${rss[tray_baseline_text]}"
row "CPU over ${idle} s idle, ms" "${cpu[Pelmora]}" "${cpu[tray_baseline]}" \
  "${cpu[tray_baseline_text]}" "timers only (tick ${tick_ms} ms)"
row "thread wake-ups over ${idle} s idle" "${wake[Pelmora]}" "${wake[tray_baseline]}" \
  "${wake[tray_baseline_text]}"
row "threads" "${threads[Pelmora]}" "${threads[tray_baseline]}" "${threads[tray_baseline_text]}"
echo "(+text: the baseline after drawing its menu once, fonts loaded: Pelmora is" \
  "$(awk -v a="${hwm[Pelmora]}" -v b="${hwm[tray_baseline_text]}" 'BEGIN { printf "%.2f", a / b }')x that)"
echo "(100 hosts: 70 echo targets 127.0.0.1-70, 30 web addresses on 127.0.0.1:8080 and 127.0.0.2:8081;"
echo " check period 60 s, pop-up 5 s; ${runs} start-ups each, taking turns; Xvfb 1280x800 with trayer)"
