# Shared by scripts/build-qt-mingw and scripts/build-kissfft-mingw (sourced, not run): Debian packages,
# and a Debian source package fetched and unpacked without Debian's patches applied.

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() { # package...: installs those that are missing
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ "${#missing[@]}" -eq 0 ] && return 0
    echo "$(basename "$0"): installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    as_root apt-get update -qq
    as_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# A deb-src entry for the archive the machine already installs from.
add_deb_src() {
    local list=/etc/apt/sources.list.d/vexa-deb-src.sources
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | as_root tee "$list" >/dev/null
    elif [ -f /etc/apt/sources.list ]; then
        list=/etc/apt/sources.list.d/vexa-deb-src.list
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | as_root tee "$list" >/dev/null
    else
        echo "$(basename "$0"): no apt source list found to add a deb-src entry for" >&2
        exit 1
    fi
    echo "$(basename "$0"): added $list"
    as_root apt-get update -qq
}

# fetch_source <package> <version>: the source tree in ./src of the current folder, unpatched; Debian's
# patches are in src/debian/patches for the caller to choose from.
fetch_source() {
    if ! apt-cache showsrc "$1" 2>/dev/null | grep -qx "Version: $2"; then add_deb_src; fi
    apt-get source --download-only "$1=$2" >apt-source.log 2>&1 || {
        cat apt-source.log >&2
        exit 1
    }
    dpkg-source --skip-patches -x "$1"_*.dsc src >unpack.log 2>&1 || {
        cat unpack.log >&2
        exit 1
    }
}
