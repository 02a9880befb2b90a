#!/usr/bin/env bash
# Starts the tarvik program on a real X server (Xvfb) against krsim: the window opens a connection
# document, logs in, is photographed from the X server, and is ended with SIGTERM, which logs out and
# writes Trace.dat and Tarvik.ini. Fails when any of that does not happen.
#
#   scripts/tarvik_xvfb.sh [BUILD_DIR] [SCREENSHOT.png]
set -euo pipefail
build=${1:-build}
shot=${2:-}
tarvik=$build/src/tarvik/gui/tarvik
krsim=$build/src/krsim/krsim
cli=$build/src/tarvik/cli/tarvik-cli
for program in "$tarvik" "$krsim" "$cli"; do
  [ -x "$program" ] || { echo "tarvik_xvfb: $program is missing; build first" >&2; exit 1; }
done
command -v Xvfb >/dev/null || { echo "tarvik_xvfb: Xvfb is not installed" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kr-xvfb-XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
  local tenths=$1
  shift
  for ((i = 0; i < tenths; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

exec 4>"$work/display"
Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for 100 test -s "$work/display" || { echo "tarvik_xvfb: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

"$krsim" --tcp 0 --no-stdin --log "$work/krsim.log" >"$work/krsim.out" 2>&1 &
pids+=($!)
wait_for 150 grep -q '^PORT ' "$work/krsim.out" || { echo "tarvik_xvfb: krsim did not start" >&2; exit 1; }
port=$(sed -n 's/^PORT //p' "$work/krsim.out" | head -n 1)
"$cli" --new-tcp-document "$work/site.krc" "127.0.0.1:$port"

# "/i" names a start-up script: as in tarvik-cli, the log-in then takes the default password without
# asking, so nobody has to type it on the virtual screen.
TARVIK_DATA_ROOT="$work/root" QT_QPA_PLATFORM=xcb "$tarvik" "$work/site.krc" /i "$work/none.krs" \
  >"$work/tarvik.log" 2>&1 &
tarvik_pid=$!
pids+=("$tarvik_pid")

# The log-in ends with Th and Na0 to the unit.
wait_for 300 grep -q 'RX (Th0' "$work/krsim.log" || {
  echo "tarvik_xvfb: tarvik did not log in (see $work/tarvik.log)" >&2
  cat "$work/tarvik.log" >&2
  exit 1
}
sleep 0.5
if command -v import >/dev/null; then
  import -window root "$work/screen.png"
  colours=$(identify -format '%k' "$work/screen.png")
  [ "$colours" -gt 8 ] || { echo "tarvik_xvfb: the screen is blank" >&2; exit 1; }
  [ -n "$shot" ] && cp "$work/screen.png" "$shot"
fi

kill -TERM "$tarvik_pid"
wait_for 300 bash -c "! kill -0 $tarvik_pid 2>/dev/null" || { echo "tarvik_xvfb: tarvik did not end" >&2; exit 1; }
grep -q 'disconnected from IP port' "$work/root/Trace.dat" || { echo "tarvik_xvfb: no Trace.dat" >&2; exit 1; }
grep -q 'MainRect=' "$work/root/Tarvik.ini" || { echo "tarvik_xvfb: no Tarvik.ini" >&2; exit 1; }
grep -q 'RX (Lo' "$work/krsim.log" || { echo "tarvik_xvfb: no log-out on SIGTERM" >&2; exit 1; }
echo "tarvik ran on $DISPLAY against krsim: logged in, logged out on SIGTERM, wrote Trace.dat and Tarvik.ini"
