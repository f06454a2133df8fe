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
command -v Xvfb >/dev/null || { echo "screenshots: Xvfb is not installed" >&2; exit 1; }

mkdir -p "$out"
out="$(cd "$out" && pwd)"

number=99
while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
  number=$((number + 1))
done
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X$number" ] && break
  sleep 0.1
done

DISPLAY=":$number" QT_QPA_PLATFORM=xcb DOVA_SCREENSHOT_DIR="$out" "$program"
ls -1 "$out"/list.png "$out"/editor.png "$out"/password.png
