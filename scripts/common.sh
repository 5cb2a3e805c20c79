# Shared by run.sh and test.sh: install what is missing, then configure and build.
set -euo pipefail

KESTRUM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KESTRUM_BUILD=${KESTRUM_BUILD:-$KESTRUM_ROOT/build}

# Everything a fresh Debian 12 machine needs to build, run and test Kestrum.
KESTRUM_PACKAGES=(cmake ninja-build g++ qt6-base-dev libqt6sql6-sqlite qt6-multimedia-dev qt6-svg-dev
    qt6-translations-l10n qt6-qpa-plugins fonts-noto-cjk sqlite3 poppler-utils)

kestrum_install_missing() {
    local missing=()
    for p in "${KESTRUM_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

kestrum_build() {
    local werror=OFF
    [ "${CI:-}" = "true" ] && werror=ON
    cmake -S "$KESTRUM_ROOT" -B "$KESTRUM_BUILD" -G Ninja -DKESTRUM_WERROR=$werror >/dev/null
    cmake --build "$KESTRUM_BUILD" --parallel
}
