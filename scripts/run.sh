#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kestrum on its default data folder.
# Extra arguments go to the program (for example --data-dir DIR).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
kestrum_install_missing
kestrum_build
exec "$KESTRUM_BUILD/bin/Kestrum" "$@"
