# Fetches a library's source from Debian's archive, at the version of the -dev package this
# machine has, for a build for another platform (the page, Windows). Sourced by the build scripts.
#
# apt fetches and verifies the source against the archive's signed index, through a sources list
# and state folder of its own, so the machine's apt configuration is left as it is.

# Prints the source version of the installed binary package $1, or fails with a message.
debian_source_version() {
  local version
  version=$(dpkg-query -W -f='${source:Version}' "$1" 2>/dev/null || true)
  [[ -n "$version" ]] || { echo "debian-source: $1 is not installed (scripts/install-deps.sh)" >&2; return 1; }
  echo "$version"
}

# fetch_debian_source SOURCE VERSION APT_DIR OUT: unpacks SOURCE=VERSION into OUT and prints the
# folder it made. APT_DIR holds apt's lists and downloads and may be shared between calls.
fetch_debian_source() {
  local source=$1 version=$2 apt_dir=$3 out=$4
  local mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
  local suite
  suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts"
  cat >"$apt_dir/sources.list" <<LIST
deb-src [signed-by=$keyring] $mirror $suite main
deb-src [signed-by=$keyring] $mirror $suite-updates main
deb-src [signed-by=$keyring] ${DEBIAN_SECURITY_MIRROR:-http://deb.debian.org/debian-security} $suite-security main
LIST
  local apt_options=(
    -o "Dir::Etc::SourceList=$apt_dir/sources.list"
    -o "Dir::Etc::SourceParts=$apt_dir/parts"
    -o "Dir::State=$apt_dir"
    -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::State::status=/var/lib/dpkg/status"
    -o "Dir::Cache=$apt_dir/cache"
    -o "APT::Sandbox::User=root"
  )
  echo "debian-source: fetching Debian's $source $version source" >&2
  [[ -f "$apt_dir/updated" ]] || { apt-get "${apt_options[@]}" -q update >&2 && touch "$apt_dir/updated"; }
  # A security update replaces the one before it in the archive, so a machine that has not yet
  # upgraded can have a version the archive no longer holds: then the newest of the same upstream
  # release that can be fetched, which differs from it only by Debian's fixes.
  local available upstream=${version%-*} candidate
  available=$(apt-cache "${apt_options[@]}" showsrc "$source" 2>/dev/null | sed -n 's/^Version: //p' | sort -Vur)
  for candidate in "$version" $(grep -F "$upstream-" <<<"$available" | grep -vxF "$version" || true); do
    rm -rf "$out" && mkdir -p "$out"
    if (cd "$out" && apt-get "${apt_options[@]}" -q source "$source=$candidate" >&2); then
      [[ "$candidate" == "$version" ]] || echo "debian-source: the archive has no $source $version; took $candidate" >&2
      break
    fi
  done
  local unpacked
  unpacked=$(find "$out" -mindepth 1 -maxdepth 1 -type d | head -1)
  [[ -n "$unpacked" ]] || { echo "debian-source: apt unpacked no $source source" >&2; return 1; }
  echo "$unpacked"
}
