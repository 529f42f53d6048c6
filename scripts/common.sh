# Shared by scripts/run and scripts/test: install what is missing, then configure and build into build/.
# shellcheck shell=bash

TAVRIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TAVRIN_BUILD="$TAVRIN_ROOT/build"

TAVRIN_PACKAGES=(
    cmake g++ make pkg-config clang-format
    qt6-base-dev qt6-serialport-dev qt6-qpa-plugins libgl-dev libfontconfig-dev
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    fonts-wqy-zenhei fonts-arphic-uming
    xvfb xauth x11-utils
    sdcc sdcc-ucsim srecord python3-intelhex python3-serial
    libbenchmark-dev
    librsvg2-bin desktop-file-utils appstream man-db groff-base bash-completion dpkg-dev
    clang libclang-rt-14-dev
)

# What scripts/windows needs besides: the cross compiler, Wine, NSIS and the tools around them.
TAVRIN_WINDOWS_PACKAGES=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    ninja-build wine wine64 nsis icoutils zip unzip
)

# missing_packages [PACKAGE...]: those not installed, of the ones named (the build's own list when none is).
missing_packages() {
    local p list=("$@")
    [ "${#list[@]}" -eq 0 ] && list=("${TAVRIN_PACKAGES[@]}")
    for p in "${list[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
    done
}

# ensure_packages [PACKAGE...]: installs the build's packages, and any named, that are missing.
ensure_packages() {
    local missing
    mapfile -t missing < <(missing_packages "${TAVRIN_PACKAGES[@]}" "$@")
    [ "${#missing[@]}" -eq 0 ] && return 0
    local apt=(apt-get install -y --no-install-recommends "${missing[@]}")
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        DEBIAN_FRONTEND=noninteractive apt-get update -q >/dev/null
        DEBIAN_FRONTEND=noninteractive "${apt[@]}" >/dev/null
    elif command -v sudo >/dev/null 2>&1; then
        echo "Installing with sudo: ${missing[*]}"
        sudo DEBIAN_FRONTEND=noninteractive apt-get update -q >/dev/null
        sudo DEBIAN_FRONTEND=noninteractive "${apt[@]}" >/dev/null
    else
        echo "Missing packages. As root, run:" >&2
        echo "  apt-get install -y --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
}

# build_tavrin [TARGET...] [-- CONFIGURE-OPTION...]: configures build/ and builds the targets
# named (everything when none is).
build_tavrin() {
    local jobs targets=() options=()
    jobs=$(nproc 2>/dev/null || echo 2)
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        targets+=(--target "$1")
        shift
    done
    [ $# -gt 0 ] && shift && options=("$@")
    # Configured every time: it costs little, and a changed option or preset is picked up.
    (cd "$TAVRIN_ROOT" && cmake --preset ci "${options[@]}" >/dev/null)
    cmake --build "$TAVRIN_BUILD" -j "$jobs" "${targets[@]}"
}
