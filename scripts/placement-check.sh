#!/usr/bin/env bash
# Window placement under a real window manager (the offscreen platform has no
# window frame): start the program, File > Exit, start it again, three times,
# on Xvfb with openbox. The stored outer rectangle must not change between
# runs, and each start must put the window's outer edges exactly where the
# previous run stored them.
#
# Usage: scripts/placement-check.sh [path to veltran]. Every wait is bounded;
# the whole check takes a few seconds and never more than about a minute.
# Prints "placement: ok" or "placement: FAILED ..." and exits 0 or 1.
set -euo pipefail
bin=$(realpath "${1:-build/release/veltran}")
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
  echo "placement: FAILED: $*"
  for f in "$work"/*.log; do
    [ -s "$f" ] && { echo "-- $(basename "$f")"; tail -n 5 "$f"; }
  done
  exit 1
}

# Polls `cmd` every 0.1 s for at most $1 seconds.
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.1
  done
}

# A private X server and window manager; tried up to three times, since a
# busy machine can lose the race for a display number.
start_x() {
  rm -f "$work/display"
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xpid=$!
  pids+=($xpid)
  exec 3>&-
  wait_for 10 test -s "$work/display" || return 1
  export DISPLAY=":$(head -n1 "$work/display")"
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  wmpid=$!
  pids+=($wmpid)
  wait_for 15 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' && return 0
  kill "$wmpid" "$xpid" 2>/dev/null || true
  return 1
}
started=0
for attempt in 1 2 3; do
  if start_x; then started=1; break; fi
done
[ $started = 1 ] || fail "Xvfb with openbox did not start"

# A settings store of its own: no ports (nothing is received, so Exit asks no
# question), no splash.
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
unset VELTRAN_DEMO QT_QPA_PLATFORM
conf="$XDG_CONFIG_HOME/Quorvane/VELTRAN.conf"
mkdir -p "$(dirname "$conf")"
printf '[Options]\nSplash=0\n\n[Ports]\nRTTYPort=0\nTNCPort=0\n' >"$conf"

stored() {
  local t b l r
  t=$(sed -n 's/^Top=//p' "$conf"); b=$(sed -n 's/^Bottom=//p' "$conf")
  l=$(sed -n 's/^Left=//p' "$conf"); r=$(sed -n 's/^Right=//p' "$conf")
  echo "$l $t $r $b"
}

# The window's outer rectangle on screen: client geometry plus the frame the
# window manager put around it (left top right bottom, right/bottom exclusive).
outer() {
  local id=$1 x y w h ext
  eval "$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print "x=" $NF} /Absolute upper-left Y/ {print "y=" $NF}
                                   /^ *Width:/ {print "w=" $NF} /^ *Height:/ {print "h=" $NF}')"
  ext=$(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ',')
  read -r el er et eb <<<"${ext:-0 0 0 0}"
  echo "$((x - el)) $((y - et)) $((x + w + er)) $((y + h + eb))"
}

cd "$work"
previous=""
for run in 1 2 3; do
  "$bin" >"$work/run$run.log" 2>&1 &
  pid=$!
  pids+=($pid)
  id=""
  end=$((SECONDS + 20))
  while [ -z "$id" ] && [ $SECONDS -lt $end ]; do
    id=$(xdotool search --onlyvisible --name 'Quorvane VELTRAN' 2>/dev/null | head -n1 || true)
    [ -n "$id" ] || sleep 0.2
  done
  [ -n "$id" ] || fail "run $run: no window appeared"
  # Let the window manager frame it and the program settle its size.
  wait_for 10 sh -c "xprop -id $id _NET_FRAME_EXTENTS | grep -q '='" || fail "run $run: window never framed"
  sleep 1
  shown=$(outer "$id")
  if [ -n "$previous" ] && [ "$shown" != "$previous" ]; then
    fail "run $run: stored $previous (left top right bottom) but the window opened at $shown"
  fi
  # File > Exit from the keyboard; once more if the keys went astray (focus
  # can arrive late on a busy machine).
  exited=0
  for try in 1 2; do
    xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
    xdotool key --clearmodifiers alt+f >/dev/null 2>&1 || true
    sleep 0.3
    xdotool key x >/dev/null 2>&1 || true
    if wait_for 8 sh -c "! kill -0 $pid"; then exited=1; break; fi
    xdotool key Escape >/dev/null 2>&1 || true
  done
  [ $exited = 1 ] || fail "run $run: File > Exit did not end the program"
  wait "$pid" 2>/dev/null || true
  now=$(stored)
  [ "$now" = "$shown" ] || fail "run $run: the window was at $shown but $now was stored"
  previous=$now
  echo "placement: run $run at $shown"
done
echo "placement: ok"
