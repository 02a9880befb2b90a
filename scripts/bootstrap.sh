#!/usr/bin/env bash
# Installs the Debian packages the tool set needs to build and test, and nothing when all are present.
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev python3 util-linux clang-format
  # the windows: Qt 6 Widgets and SVG, the platform plugins, a CJK font for the Chinese texts
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev fonts-wqy-microhei
  # their tests and desktop integration: a real X server, desktop-file and MIME checks, screenshots, PDF text
  xvfb xauth x11-utils desktop-file-utils shared-mime-info xdg-utils libglib2.0-bin imagemagick poppler-utils
  # miniSEED export and its independent check
  libmseed-dev mseed2sac)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
