#!/usr/bin/env bash
# Builds the libraries the Windows programs link, as static 64-bit Windows libraries made by
# MinGW-w64, from Debian's own source packages at the versions of the -dev packages the Linux
# build links: zlib, libpng, FreeType, libxmp and SDL2, installed into OUT/prefix
# (build-win/deps/prefix). A library already built is left as it is.
set -euo pipefail

out=$(realpath -m "${1:?usage: build-win-deps.sh OUT}")
host=x86_64-w64-mingw32
prefix="$out/prefix"
jobs=${JOBS:-$(nproc)}
. "$(dirname "$0")/debian-source.sh"
mkdir -p "$prefix/lib" "$prefix/include"

# The same floating-point rules as the program's own code, so libxmp mixes the same samples.
export CFLAGS="-O2 -ffp-contract=off"
export CPPFLAGS="-I$prefix/include"
export LDFLAGS="-L$prefix/lib"
export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig"

# build NAME DEV_PACKAGE SOURCE STEPS...: fetches SOURCE at DEV_PACKAGE's version and runs the
# steps in its folder, once.
build() {
  local name=$1 dev=$2 source=$3
  shift 3
  [[ -f "$out/$name.built" ]] && return 0
  local version src
  version=$(debian_source_version "$dev")
  src=$(fetch_debian_source "$source" "$version" "$out/apt" "$out/source/$name")
  echo "build-win-deps: building $name $version for Windows" >&2
  (cd "$src" && "$@") >"$out/$name.log" 2>&1 || { tail -30 "$out/$name.log" >&2; exit 1; }
  echo "$version" >"$out/$name.built"
}

zlib_steps() {
  CROSS_PREFIX=$host- ./configure --static --prefix="$prefix"
  make -j "$jobs" libz.a
  make install
}
configure_steps() {
  ./configure --host=$host --prefix="$prefix" --disable-shared --enable-static "$@"
  make -j "$jobs"
  make install
}
freetype_steps() {
  configure_steps --with-zlib=yes --with-png=no --with-bzip2=no --with-harfbuzz=no --with-brotli=no
}
sdl_steps() {
  # What the programs use: a window, its renderer, keys, the timer and sound; no game devices.
  configure_steps --disable-video-opengles --disable-video-vulkan --disable-render-d3d11 --disable-sdl2-config \
    --disable-joystick --disable-haptic --disable-hidapi --disable-sensor --disable-power
}

build zlib zlib1g-dev zlib zlib_steps
build libpng libpng-dev libpng1.6 configure_steps
build freetype libfreetype-dev freetype freetype_steps
build libxmp libxmp-dev libxmp configure_steps
build sdl2 libsdl2-dev libsdl2 sdl_steps
