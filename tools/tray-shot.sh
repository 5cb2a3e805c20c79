#!/usr/bin/env bash
# Takes a picture of Kestrum's tray menu on a real tray: starts Xvfb, Debian's trayer as the
# tray host and Kestrum on a throw-away data folder, right-clicks the tray icon and saves the
# screen. Needs xvfb, trayer, xdotool and imagemagick.
#   tools/tray-shot.sh BUILD_DIR OUT.png
set -euo pipefail
build=${1:?build folder}
out=${2:?picture to write}
display=:${KESTRUM_SHOT_DISPLAY:-97}
scratch=$(mktemp -d)
cleanup() { kill $(jobs -p) 2>/dev/null || true; rm -rf "$scratch"; }
trap cleanup EXIT

Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
export DISPLAY=$display
sleep 1
trayer --edge top --align right --widthtype pixel --width 120 --height 24 --transparent false >/dev/null 2>&1 &
sleep 1
XDG_RUNTIME_DIR=$scratch "$build/bin/Kestrum" --data-dir "$scratch/data" >/dev/null 2>&1 &
sleep 4
# The icon is the rightmost one of the tray at the top right corner.
xdotool mousemove 1268 12 click 3
sleep 1
import -window root "$out"
echo "wrote $out"
