#!/usr/bin/env bash
# Installs every Debian package the project needs: build, tests, fuzzing,
# fonts, the sample-course tools, the icon renderer, the desktop-file
# checkers and the Debian package's tools. Safe to run again: it only calls
# apt-get when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ lld pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev
  libmpg123-dev libsndfile1-dev libsdl2-dev zlib1g-dev libsamplerate0-dev libsoundtouch-dev
  libaubio-dev
  libyaml-cpp-dev libmp3lame-dev mdbtools-dev libpocketsphinx-dev pocketsphinx-en-us
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  espeak-ng lame sox
  fonts-noto-cjk fonts-wqy-zenhei fonts-dejavu-core qt6-translations-l10n
  xvfb xauth imagemagick libxcb1-dev
  librsvg2-bin desktop-file-utils appstream
  dpkg-dev file lintian
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
