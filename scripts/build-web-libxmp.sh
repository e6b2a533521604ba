#!/usr/bin/env bash
# Builds libxmp as a static WebAssembly library from Debian's own source package, the version
# the native build links, into OUT (build-web/libxmp): OUT/include/xmp.h and OUT/lib/libxmp.a.
# Does nothing when the library is already there.
set -euo pipefail

out=$(realpath -m "${1:?usage: build-web-libxmp.sh OUT}")
[[ -f "$out/lib/libxmp.a" && -f "$out/include/xmp.h" ]] && exit 0

# The version the native build uses, so both play the module with the same player.
. "$(dirname "$0")/debian-source.sh"
version=$(debian_source_version libxmp-dev)
src=$(fetch_debian_source libxmp "$version" "$out/apt" "$out/source")

# Emscripten's JavaScript tools find their modules only where Debian puts them.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
echo "build-web-libxmp: building it for WebAssembly" >&2
# A cross --host, or configure would try to run what it compiles. The same floating-point rules
# as the program's own code.
(cd "$src" &&
  CFLAGS="-O2 -ffp-contract=off" emconfigure ./configure --host=i686-pc-linux-gnu --disable-shared --enable-static \
    --prefix="$out" >&2 &&
  emmake make -j "${JOBS:-2}" >&2 &&
  emmake make install >&2)
[[ -f "$out/lib/libxmp.a" ]] || { echo "build-web-libxmp: no libxmp.a was made" >&2; exit 1; }
