#!/usr/bin/env bash
# One check cycle of pelmora-check beside fping over the same targets, in a
# private network made here: loopback answers every 127.x address, and the
# TEST-NET addresses are routed onto a veth link whose next hop has a
# permanent neighbour entry nobody owns, so what is sent there vanishes
# without an answer or an error report. Nothing leaves the namespace.
#
#   sudo bench/cycle_vs_fping.sh [path/to/pelmora-check]
#
# Cases and goals:
#   a) 1,000 echo entries, 500 answering on loopback, 500 silent:
#      at most 2.5 s, and no slower than fping
#   b) 200 silent direct web entries (http://192.0.2.x/): at most 3.5 s
#   c) 10,000 echo entries answering on loopback: at most 2 s
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
  [ "$(id -u)" -eq 0 ] || { echo "needs root (network namespaces)" >&2; exit 1; }
  here=$(cd "$(dirname "$0")" && pwd)
  program=$(realpath "${1:-$here/../build/bin/pelmora-check}")
  exec unshare -n "$0" --inside "$program"
fi
program=$2
command -v fping >/dev/null || { echo "fping is missing (tools/install-deps)" >&2; exit 1; }

ip link set lo up
ip link add pelv0 type veth peer name pelv1
ip addr add 192.0.2.1/24 dev pelv0
ip link set pelv0 up
ip link set pelv1 up
ip neigh replace 192.0.2.254 lladdr 02:00:5e:00:02:fe dev pelv0 nud permanent
ip route add 198.51.100.0/24 via 192.0.2.254
ip route add 203.0.113.0/24 via 192.0.2.254
for i in $(seq 10 209); do
  ip neigh replace "192.0.2.$i" lladdr 02:00:5e:00:02:fe dev pelv0 nud permanent
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Writes the settings file of pelmora-check for the entries in $1, one a line.
settings() {
  awk 'BEGIN { print "[HostList]" } { print "Item" NR - 1 "=" $0 }
       END { print "[CheckParams]"; print "CheckPeriod=0" }' "$1"
}

seconds_of() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }'
}

# run_case NAME GOAL ENTRIES ADDRESSES COMPARE
run_case() {
  local name=$1 goal=$2 entries=$3 addresses=$4 compare=$5
  settings "$entries" > "$work/Pelmora.ini"
  local ours theirs verdict
  ours=$(seconds_of "$program" --config "$work/Pelmora.ini" --cycles 1 --quiet)
  theirs=$(seconds_of fping -q -r0 -t1500 -i1 -f "$addresses")
  verdict=$(awk -v o="$ours" -v t="$theirs" -v g="$goal" -v c="$compare" 'BEGIN {
    ok = o <= g && (c == "no" || o <= t); print ok ? "met" : "MISSED" }')
  printf '%-44s pelmora-check %6s s   fping %6s s   goal <= %s s%s: %s\n' \
    "$name" "$ours" "$theirs" "$goal" "$([ "$compare" = yes ] && echo ", not slower")" "$verdict"
}

{
  for i in $(seq 0 499); do echo "127.0.$((i / 250)).$((i % 250 + 1))"; done
  for i in $(seq 1 250); do echo "198.51.100.$i"; echo "203.0.113.$i"; done
} > "$work/a.txt"
run_case "a) 1,000 echo, 500 answering, 500 silent" 2.5 "$work/a.txt" "$work/a.txt" yes

seq 10 209 | sed 's|^|192.0.2.|' > "$work/b-addresses.txt"
sed 's|^\(.*\)$|http://\1/|' "$work/b-addresses.txt" > "$work/b.txt"
run_case "b) 200 silent direct web entries" 3.5 "$work/b.txt" "$work/b-addresses.txt" no

for i in $(seq 0 9999); do echo "127.$((i / 62500)).$((i / 250 % 250)).$((i % 250 + 1))"; done \
  > "$work/c.txt"
run_case "c) 10,000 echo, all answering on loopback" 2 "$work/c.txt" "$work/c.txt" no
