#!/usr/bin/env bash
# The viewer as the desktop sees it: the installed program prints an xkr file into a PDF with the
# instrument status first and the time history second, the desktop file is valid, the event files
# get their MIME types (both letter cases) and open in the viewer by default.
# desktop_test.sh BUILD_DIR SOURCE_DIR SAMPLE_WRITER
set -euo pipefail
build=$1 source=$2 samples=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ONDALYNE_DATA_ROOT=$work/data QT_QPA_PLATFORM=offscreen

"$samples" "$work/files"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
ondalyne=$work/prefix/bin/ondalyne

"$ondalyne" --print-to-pdf "$work/out.pdf" "$work/files/03001.xkr"
pdftotext -layout "$work/out.pdf" "$work/out.txt"
status=$(grep -n "Instrument status" "$work/out.txt" | head -1 | cut -d: -f1)
time=$(grep -n "Time history" "$work/out.txt" | head -1 | cut -d: -f1)
[ -n "$status" ] && [ -n "$time" ] && [ "$status" -lt "$time" ] || { echo "pages out of order"; cat "$work/out.txt"; exit 1; }
grep -q "Main battery voltage" "$work/out.txt"
grep -q "Quarry North" "$work/out.txt"
[ "$(head -c 4 "$work/out.pdf")" = "%PDF" ]
# A file that is not there: a message and exit code 1, no PDF.
if "$ondalyne" --print-to-pdf "$work/none.pdf" "$work/files/none.xkr" 2>"$work/err.txt"; then exit 1; fi
grep -q "Cannot open" "$work/err.txt"
[ ! -e "$work/none.pdf" ]

desktop-file-validate "$work/prefix/share/applications/ondalyne.desktop"
export XDG_DATA_DIRS=$work/prefix/share XDG_DATA_HOME=$work/home XDG_CONFIG_HOME=$work/config
for pair in 01001.skr:skr 02001.vkr:vkr 03001.xkr:xkr 02002.vmx:vmx 03255.BKR:bkr; do
  file=${pair%%:*} kind=${pair##*:}
  type=$(gio info -a standard::content-type "$work/files/$file" | sed -n 's/.*content-type: //p')
  [ "$type" = "application/x-kr-$kind" ] || { echo "$file: $type"; exit 1; }
  upper=$(echo "$file" | tr 'a-z' 'A-Z')
  cp "$work/files/$file" "$work/files/copy_$upper"
  type=$(gio info -a standard::content-type "$work/files/copy_$upper" | sed -n 's/.*content-type: //p')
  [ "$type" = "application/x-kr-$kind" ] || { echo "copy_$upper: $type"; exit 1; }
  [ "$(xdg-mime query default "application/x-kr-$kind")" = "ondalyne.desktop" ]
done
[ -f "$work/prefix/share/icons/hicolor/scalable/apps/ondalyne.svg" ]
[ -f "$work/prefix/share/ondalyne/Ondalyne_deu.html" ]
echo "desktop checks passed"
