#!/usr/bin/env bash
# The viewer under a real X server: opens an event file given on its command line (as the desktop
# and Tarvik start it) and draws it; a screenshot of the screen shows the window with its traces.
# xvfb_test.sh ONDALYNE SAMPLE_WRITER SCREENSHOT.png
set -euo pipefail
ondalyne=$1 samples=$2 shot=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$samples" "$work/files"
export ONDALYNE_DATA_ROOT=$work/data
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1280x860x24" bash -c '
  set -euo pipefail
  "$0" "$1" &
  viewer=$!
  # Wait until the window is mapped and painted: the screen then holds the blue traces.
  for _ in $(seq 1 60); do
    sleep 0.5
    if xwininfo -root -tree 2>/dev/null | grep -q "Ondalyne"; then
      import -window root "$2"
      blue=$(convert "$2" -fill black +opaque "rgb(0,0,255)" -fill white -opaque "rgb(0,0,255)" \
        -format "%[fx:round(mean*w*h)]" info:)
      [ "$blue" -gt 500 ] && break
    fi
  done
  kill "$viewer"
  wait "$viewer" || true
' "$ondalyne" "$work/files/03001.xkr" "$shot"
[ -s "$shot" ]
# Pixels of the trace colour (pure blue; traces are drawn without antialiasing).
blue=$(convert "$shot" -fill black +opaque "rgb(0,0,255)" -fill white -opaque "rgb(0,0,255)" \
  -format "%[fx:round(mean*w*h)]" info:)
echo "blue trace pixels: $blue"
[ "$blue" -gt 500 ]
