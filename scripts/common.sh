# Shared by run.sh and test.sh: install what is missing, then configure and build.
set -euo pipefail

KESTRUM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# CI builds with warnings as errors in a folder of its own, so that switching between CI and a
# developer's build never rebuilds everything.
if [ "${CI:-}" = "true" ]; then
    KESTRUM_BUILD=${KESTRUM_BUILD:-$KESTRUM_ROOT/build-ci}
else
    KESTRUM_BUILD=${KESTRUM_BUILD:-$KESTRUM_ROOT/build}
fi

# Everything a fresh Debian 12 machine needs to build, run and test Kestrum.
KESTRUM_PACKAGES=(cmake ninja-build g++ qt6-base-dev libqt6sql6-sqlite qt6-multimedia-dev qt6-svg-dev
    qt6-translations-l10n qt6-qpa-plugins fonts-noto-cjk sqlite3 poppler-utils
    dbus-daemon libical-dev pkg-config python3-icalendar
    radicale python3-caldav qtkeychain-qt6-dev libsecret-1-0 openssl)

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
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "Missing packages need root: run this as root, or install sudo." >&2
            exit 1
        fi
        sudo=(sudo)
    fi
    # Through env, since sudo drops the caller's environment.
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Extra arguments are CMake settings (test.sh asks for the tests).
kestrum_build() {
    local werror=OFF
    [ "${CI:-}" = "true" ] && werror=ON
    # A build folder made earlier with another generator keeps it.
    local generator=(-G Ninja)
    [ -f "$KESTRUM_BUILD/CMakeCache.txt" ] && generator=()
    cmake -S "$KESTRUM_ROOT" -B "$KESTRUM_BUILD" "${generator[@]}" -DKESTRUM_WERROR=$werror "$@" >/dev/null
    cmake --build "$KESTRUM_BUILD" --parallel
}
