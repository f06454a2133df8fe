#!/usr/bin/env bash
# Saves a picture of each view of the main window (list.png, editor.png,
# password.png) into the folder given, drawn under Xvfb as on a real X
# display with no window manager. The views are set up by the Qt test
# views_look_test, which also checks that no text is cut off.
#
#   bash tools/screenshots.sh OUTPUT_FOLDER     (DOVA_BUILD_DIR=build by default)
set -euo pipefail

out="${1:?usage: tools/screenshots.sh OUTPUT_FOLDER}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DOVA_BUILD_DIR:-$root/build}"
program="$build/tests/views_look_test"
if [ ! -x "$program" ]; then
  cmake --build "$build" --target views_look_test
fi

mkdir -p "$out"
out="$(cd "$out" && pwd)"

source "$(dirname "$0")/xvfb.sh"
start_xvfb

DISPLAY="$xvfb_display" QT_QPA_PLATFORM=xcb DOVA_SCREENSHOT_DIR="$out" "$program"
ls -1 "$out"/list.png "$out"/editor.png "$out"/password.png
