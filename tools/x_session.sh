# Sourced by tools/screenshot and bench/tray_startup.sh, inside a private
# network namespace: a loopback link and a silent TEST-NET peer, a virtual X
# screen with a tray host at its bottom-right corner, loopback web listeners,
# and programs started in that session, all stopped again by x_session_stop.
# Every wait is bounded.
# shellcheck shell=bash

# copy_program BUILD-BIN TARGET: Pelmora and what it reads beside itself.
copy_program() {
  local bin=$1 target=$2 folder
  mkdir -p "$target"
  cp "$bin/Pelmora" "$target/"
  for folder in Languages Help Skins; do
    [ ! -d "$bin/$folder" ] || cp -r "$bin/$folder" "$target/"
  done
}

session_pids=()

# Loopback up, and 192.0.2.2 as a peer that never answers: its frames go into
# a veth pair with a fixed neighbour entry, so nothing waits on ARP.
private_network_up() {
  ip link set lo up
  ip link add pelv0 type veth peer name pelv1
  ip addr add 192.0.2.1/24 dev pelv0
  ip link set pelv0 up
  ip link set pelv1 up
  ip neigh replace 192.0.2.2 lladdr 02:00:5e:00:02:02 dev pelv0 nud permanent
}

# x_session_start WORK DPI: Xvfb sized for DPI (1280x800 at 96), a plain
# desktop colour, Xft.dpi for the toolkit, and trayer. Sets DISPLAY,
# screen_w, screen_h and tray_panel_id.
x_session_start() {
  local work=$1 dpi=$2
  screen_w=$((1280 * dpi / 96))
  screen_h=$((800 * dpi / 96))
  : >"$work/display"
  Xvfb -screen 0 "${screen_w}x${screen_h}x24" -dpi "$dpi" -nolisten tcp -noreset \
    -displayfd 3 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  session_pids+=($!)
  for _ in $(seq 200); do
    [ -s "$work/display" ] && break
    sleep 0.025
  done
  [ -s "$work/display" ] || { echo "Xvfb did not start: $(cat "$work/xvfb.log")" >&2; return 1; }
  DISPLAY=:$(head -n1 "$work/display")
  export DISPLAY
  xprop -root -format RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	$dpi
"
  convert -size 8x8 xc:'#4a6f8a' "$work/desktop.png"
  timeout 10 display -window root "$work/desktop.png" || true
  trayer --edge bottom --align right --widthtype request --height $((24 * dpi / 96)) \
    --SetDockType true --transparent false --tint 0xd8d8d8 >"$work/trayer.log" 2>&1 &
  session_pids+=($!)
  for _ in $(seq 200); do
    tray_panel_id=$(tray_panel) && return 0
    sleep 0.025
  done
  echo "trayer did not start: $(cat "$work/trayer.log")" >&2
  return 1
}

# The tray host's panel window id.
tray_panel() {
  xwininfo -root -tree 2>/dev/null | awk '/\("panel" "trayer"\)/ { print $1; found = 1; exit }
                                          END { exit !found }'
}

# "x y w h" of every icon window docked in the tray (absolute position).
tray_icons() {
  xwininfo -id "$tray_panel_id" -tree 2>/dev/null | awk '
    /^ +0x[0-9a-f]+ .*\(".*" ".*"\)/ && !/"trayer"\)/ {
      split($(NF - 1), g, /[x+]/); split($NF, a, /\+/); print a[2], a[3], g[1], g[2] }'
}

# tray_icon_geometry SECONDS: the first docked icon as "x y w h", once there.
tray_icon_geometry() {
  local limit=$1 icons
  for _ in $(seq $((limit * 20))); do
    icons=$(tray_icons)
    [ -z "$icons" ] || { head -n1 <<<"$icons"; return 0; }
    sleep 0.05
  done
  return 1
}

# "id x y w h" of every top-level window that is shown, larger than 1x1.
viewable_toplevels() {
  local id
  for id in $(xwininfo -root -children 2>/dev/null | awk '/^ +0x/ { print $1 }'); do
    window_geometry "$id" | awk -v id="$id" '{ print id, $0 }'
  done
}

# window_geometry ID: "x y w h" when the window is shown and larger than 1x1.
window_geometry() {
  xwininfo -id "$1" 2>/dev/null | awk '
    /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /^ +Width:/ { w = $NF } /^ +Height:/ { h = $NF } /Map State:/ { m = $NF }
    END { if (m == "IsViewable" && w > 1 && h > 1) print x, y, w, h }'
}

# web_listeners_for INI WORK: a web server for every direct loopback web
# address in the host list, so those hosts come up.
web_listeners_for() {
  local ini=$1 work=$2 address port
  mkdir -p "$work/www"
  echo ok >"$work/www/index.html"
  while read -r address port; do
    python3 -m http.server "$port" --bind "$address" --directory "$work/www" \
      >>"$work/web.log" 2>&1 &
    session_pids+=($!)
    for _ in $(seq 200); do
      (exec 3<>"/dev/tcp/$address/$port") 2>/dev/null && break
      sleep 0.025
    done
  done < <(sed -n 's/\r$//; s/^Item[0-9]*=//Ip' "$ini" | awk '
    tolower($0) ~ /^http:\/\/(127\.[0-9.]+|localhost)(:[0-9]+)?(\/[^ ]*)?$/ {
      sub(/^[Hh][Tt][Tt][Pp]:\/\//, ""); sub(/\/.*/, "")
      n = split($0, part, ":"); host = part[1]; port = n > 1 ? part[2] : 80
      if (tolower(host) == "localhost") host = "127.0.0.1"
      if (!seen[host ":" port]++) print host, port }')
}

# start_in_session RUNTIME-DIR COMMAND...: runs COMMAND in the X session with
# a runtime folder of its own (so single-copy locks of different runs never
# meet) and no session bus (so the tray icon docks in trayer by XEmbed).
# Sets started_pid and started_at (EPOCHREALTIME just before the start).
start_in_session() {
  local runtime=$1
  shift
  mkdir -p "$runtime/config" "$runtime/cache"
  chmod 700 "$runtime"
  # shellcheck disable=SC2034 # read by the callers that time the start
  started_at=$EPOCHREALTIME
  env -u WAYLAND_DISPLAY -u SESSION_MANAGER QT_QPA_PLATFORM=xcb \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/no-bus" XDG_RUNTIME_DIR="$runtime" \
    XDG_CONFIG_HOME="$runtime/config" XDG_CACHE_HOME="$runtime/cache" \
    "$@" >>"$runtime/output.log" 2>&1 &
  started_pid=$!
  session_pids+=("$started_pid")
}

# stop_process PID: TERM, up to 3 s, then KILL.
stop_process() {
  local pid=$1
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 60); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
    sleep 0.05
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# Stops everything started here, newest first.
x_session_stop() {
  local i
  for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
    stop_process "${session_pids[i]}"
  done
  session_pids=()
}
