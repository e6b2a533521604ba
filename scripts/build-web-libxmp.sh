#!/usr/bin/env bash
# Builds libxmp as a static WebAssembly library from Debian's own source package, the version
# the native build links, into OUT (build-web/libxmp): OUT/include/xmp.h and OUT/lib/libxmp.a.
#
# apt fetches and verifies the source against the archive's signed index, through a sources list
# and state folder of its own inside OUT, so the machine's apt configuration is left as it is.
# Does nothing when the library is already there.
set -euo pipefail

out=$(realpath -m "${1:?usage: build-web-libxmp.sh OUT}")
[[ -f "$out/lib/libxmp.a" && -f "$out/include/xmp.h" ]] && exit 0

# The version the native build uses, so both play the module with the same player.
version=$(dpkg-query -W -f='${source:Version}' libxmp-dev 2>/dev/null || true)
[[ -n "$version" ]] || { echo "build-web-libxmp: libxmp-dev is not installed (scripts/install-deps.sh)" >&2; exit 1; }
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

apt_dir="$out/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts" "$out/source"
cat >"$apt_dir/sources.list" <<EOF
deb-src [signed-by=$keyring] $mirror $suite main
deb-src [signed-by=$keyring] $mirror $suite-updates main
EOF
apt_options=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=$apt_dir/parts"
  -o "Dir::State=$apt_dir"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::State::status=/var/lib/dpkg/status"
  -o "Dir::Cache=$apt_dir/cache"
  -o "APT::Sandbox::User=root"
)
echo "build-web-libxmp: fetching Debian's libxmp $version source" >&2
apt-get "${apt_options[@]}" -q update >&2
rm -rf "$out/source" && mkdir -p "$out/source"
(cd "$out/source" && apt-get "${apt_options[@]}" -q source "libxmp=$version" >&2)
src=$(find "$out/source" -mindepth 1 -maxdepth 1 -type d -name 'libxmp-*' | head -1)
[[ -n "$src" ]] || { echo "build-web-libxmp: apt unpacked no libxmp source" >&2; exit 1; }

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
