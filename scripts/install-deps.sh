#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need.
# Does nothing when all of them are present; uses sudo only when not root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libxmp-dev libfreetype-dev fonts-dejavu-core libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool x11-utils openbox ffmpeg
  clang libclang-rt-14-dev
  imagemagick assimp-utils openmpt123
  dpkg-dev file lintian desktop-file-utils man-db groff-base
  emscripten chromium
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 pulseaudio zip
)
# The page's tests run on node with npm; a node from elsewhere that brings its own npm will do.
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "install-deps: installing ${missing[*]}" >&2
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install ${missing[*]}" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
