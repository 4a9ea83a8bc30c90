# Shared by scripts/test-windows and scripts/package-windows (sourced, not run): packages, the build
# machine's programs, the cross builds, and the private Wine prefix.
# Expects $root (the repository). Sets $out (build-win/).

out="$root/build-win"
cross_cxx=x86_64-w64-mingw32-g++-posix

win_install_packages() { # package...: installs those that are missing
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ "${#missing[@]}" -eq 0 ] && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    echo "windows: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Build-machine programs: the error-table generator the cross build runs, the simulator, and the Linux
# command line whose download the Windows one must match.
win_build_host() {
    if [ ! -f "$out/host/build.ninja" ]; then
        cmake -S "$root" -B "$out/host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_WITH_QT=OFF >/dev/null
    fi
    cmake --build "$out/host" -j 2 --target vexa_strtablegen vexa-sim vexa
}

# The folder of Qt for mingw-w64 when scripts/build-qt-mingw has built it; empty otherwise.
win_qt_prefix() {
    "$root/scripts/build-qt-mingw" --print-prefix 2>/dev/null || true
}

# The mingw runtime DLLs the dynamically linked programs need beside them (or on Wine's path).
win_runtime_dirs() {
    dirname "$("$cross_cxx" -print-file-name=libstdc++-6.dll)"
    dirname "$("$cross_cxx" -print-file-name=libwinpthread-1.dll)"
}

# The whole tool against Qt for mingw-w64 (prefix $1) in build-win/gui; further arguments go to the
# build (e.g. --target vexaview). The C++ runtime is linked dynamically, as Qt's own DLLs link it: one
# runtime in the process.
win_build_gui() {
    local qt="$1"
    shift
    if [ ! -f "$out/gui/build.ninja" ]; then
        cmake -S "$root" -B "$out/gui" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" -DCMAKE_CROSSCOMPILING_EMULATOR=wine \
            -DCMAKE_FIND_ROOT_PATH="$("$root/scripts/build-kissfft-mingw" --print-prefix)" \
            -DVEXA_GTEST_SOURCE=/usr/src/googletest -DVEXA_STRTABLEGEN="$out/host/src/serial/vexa_strtablegen" >/dev/null
    fi
    # The build runs a generator or two under Wine: in the private prefix, quietly.
    WINEPREFIX="$out/wineprefix" WINEDEBUG=-all cmake --build "$out/gui" -j "${VEXA_WIN_JOBS:-2}" "$@"
}

# The Windows programs the build defines: vexaview, and the command line vexa where it exists.
win_programs() {
    echo vexaview
    # (The target list is read whole first: grep -q would end the pipe early, which pipefail counts.)
    local targets
    targets="$(cmake --build "$out/gui" --target help 2>/dev/null)"
    if grep -q '^vexa:' <<<"$targets"; then echo vexa; fi
}

# A Windows path list for WINEPATH.
win_path_list() {
    local list="" d
    for d in "$@"; do list="$list${list:+;}$(winepath -w "$d" 2>/dev/null)"; done
    echo "$list"
}

# A private Wine prefix ($1). With --persistent its server is kept alive, so that each program starts
# fast and the prefix's device setup is done once, before any test touches the registry; without, the
# server ends a few seconds after the last program, so "wineserver -w" waits for them all. Fonts: Wine has no Windows fonts,
# so the names Qt and dialogs ask for are mapped to Debian's Liberation and IPA fonts.
win_start_prefix() {
    export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    local persistent="${2:-}"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "windows: creating the Wine prefix $WINEPREFIX"
        wineboot -i >/dev/null 2>&1 </dev/null
    fi
    # (-p answers an error when a server for this prefix runs already; that one is used as it is.)
    [ "$persistent" = --persistent ] && { wineserver -p >/dev/null 2>&1 </dev/null || true; }
    timeout 300 wineboot >/dev/null 2>&1 </dev/null
    local key='HKCU\Software\Wine\Fonts\Replacements' name
    for name in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Segoe UI" "Arial" "Microsoft Sans Serif"; do
        wine reg add "$key" /v "$name" /t REG_SZ /d "Liberation Sans" /f >/dev/null 2>&1 </dev/null
    done
    for name in "MS UI Gothic" "MS Gothic" "MS PGothic" "Meiryo" "Meiryo UI" "Yu Gothic UI"; do
        wine reg add "$key" /v "$name" /t REG_SZ /d "IPAPGothic" /f >/dev/null 2>&1 </dev/null
    done
}

win_stop_prefix() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}
