#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (no display needed).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
kestrum_install_missing
kestrum_build -DKESTRUM_BUILD_TESTS=ON
cd "$KESTRUM_BUILD"
ctest --output-on-failure --no-tests=error --parallel "$(nproc)" "$@"
