#!/usr/bin/env bash
# The first thing to run on a fresh clone: builds the tool set, starts the simulator (an HCU4100 with
# two recorders) on a free loopback port, downloads every event of both recorders with tarvik-cli into
# a fresh data folder, checks them against the files the simulator says the PC must write, and
# exports the first one as text with krtool.
#
# KR_DEMO_SKIP_BUILD=1 reuses an existing build in build/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
if [ -z "${KR_DEMO_SKIP_BUILD:-}" ]; then
  cmake --preset default >/dev/null
  cmake --build --preset default
fi

krsim=build/src/krsim/krsim
cli=build/src/tarvik/cli/tarvik-cli
krtool=build/src/krtool/krtool
for program in "$krsim" "$cli" "$krtool"; do
  [ -x "$program" ] || { echo "demo: $program is missing; build first" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/kr-demo-XXXXXX")
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  exec 3<&- 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The simulator tells its port on its first line; read it through a FIFO with a deadline.
mkfifo "$work/krsim.out"
"$krsim" --tcp 0 --no-stdin --log "$work/krsim.log" >"$work/krsim.out" 2>"$work/krsim.err" &
sim_pid=$!
exec 3<"$work/krsim.out"
port=""
if read -r -t 15 -u 3 line && [[ "$line" == PORT\ * ]]; then port=${line#PORT }; fi
[ -n "$port" ] || { echo "demo: krsim did not start (see $work/krsim.err)" >&2; exit 1; }
echo "== krsim is an HCU4100 with two recorders on 127.0.0.1:$port"

"$cli" --new-tcp-document "$work/demo.krc" "127.0.0.1:$port"
echo "== connection document: $work/demo.krc"

data_root="$work/Tarvik"
echo "== tarvik-cli: log in, download all events of KR 1 and KR 2, list the events of KR 2, log out"
TARVIK_DATA_ROOT="$data_root" "$cli" "$work/demo.krc" --verbose \
  --transfer-all=DEM --recorder 2 --transfer-all=DEM --list-events

echo
echo "== event files in $data_root/Data"
ls -l "$data_root/Data"

"$krsim" --export-events "$work/expected" >/dev/null
mismatch=0
for expected in "$work"/expected/*; do
  name=$(basename "$expected")
  if ! cmp -s "$expected" "$data_root/Data/DEM$name"; then
    echo "demo: DEM$name differs from what the simulator sent" >&2
    mismatch=1
  fi
done
[ "$mismatch" -eq 0 ] && echo "== every file is byte-identical to krsim --export-events"

# No pipeline ends in a reader that stops early (head): under pipefail the writer's SIGPIPE would
# fail the demo although nothing went wrong.
event_files=("$data_root"/Data/*)
first=$(basename "${event_files[0]}")
"$krtool" export "$data_root/Data/$first" "$work/$first.txt"
echo
echo "== $first as text (UTF-16 file $work/$first.txt, first rows):"
iconv -f UTF-16LE -t UTF-8 "$work/$first.txt" | sed -n '1s/^\xEF\xBB\xBF//; 1,14p' | tr -d '\r'

echo
echo "== trace of the session: $data_root/Trace.dat; simulator transcript: $work/krsim.log"

# With a display, the window follows: the same document, connected to the same simulator.
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  tarvik=build/src/tarvik/gui/tarvik
  if [ -x "$tarvik" ]; then
    echo
    echo "== the tarvik window, connected to krsim: accept the suggested password, try Transfer > All Events;"
    echo "   close the window to end the demo (its data folder: $work/TarvikWindow)"
    TARVIK_DATA_ROOT="$work/TarvikWindow" "$tarvik" "$work/demo.krc" || echo "demo: the window ended with an error" >&2
  else
    echo "demo: $tarvik is missing; the window is skipped" >&2
  fi
else
  echo "== no display (DISPLAY and WAYLAND_DISPLAY are unset): the window is skipped"
fi
echo "== everything is in $work"
exit "$mismatch"
