#!/usr/bin/env bash
# cmake --install into a fresh prefix puts the program, its help pages, the desktop entry, the icon and
# the MIME types where a Linux desktop looks for them; the desktop entry passes desktop-file-validate
# and the MIME database built from our types knows *.krc and *.krs.
set -euo pipefail
build_dir=$1
prefix=$(mktemp -d "${TMPDIR:-/tmp}/kr-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

fail=0
for f in bin/tarvik share/tarvik/help/Tarvik_enu.html share/tarvik/help/Tarvik_deu.html \
         share/tarvik/help/Tarvik_chs.html share/applications/tarvik.desktop \
         share/icons/hicolor/scalable/apps/tarvik.svg share/mime/packages/tarvik.xml; do
  [ -e "$prefix/$f" ] || { echo "missing after install: $f" >&2; fail=1; }
done
[ -x "$prefix/bin/tarvik" ] || { echo "bin/tarvik is not executable" >&2; fail=1; }

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/tarvik.desktop" || fail=1
fi
if command -v update-mime-database >/dev/null; then
  update-mime-database "$prefix/share/mime" >/dev/null 2>&1
  grep -q 'application/x-tarvik-connection:\*\.krc' "$prefix/share/mime/globs2" ||
    { echo "*.krc is not application/x-tarvik-connection" >&2; fail=1; }
  grep -q 'application/x-tarvik-script:\*\.krs' "$prefix/share/mime/globs2" ||
    { echo "*.krs is not application/x-tarvik-script" >&2; fail=1; }
fi
exit "$fail"
