#!/usr/bin/env bash
# Starts the program (build/dova). Arguments are passed on: the first one is
# the book to open.
#
# With a display (DISPLAY or WAYLAND_DISPLAY set, or QT_QPA_PLATFORM chosen)
# the window opens there. Without one it says so and serves the window over
# VNC on 127.0.0.1:5900 only: connect a VNC viewer to that address (from
# another machine through a tunnel, e.g. ssh -L 5900:127.0.0.1:5900 host).
#
#   DOVA_DISPLAY=vnc|xvfb|auto   force VNC, or run under Xvfb (default: auto)
#   DOVA_VNC_PORT=5900           the VNC port
#   DOVA_BUILD_DIR=build         where the program was built
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DOVA_BUILD_DIR:-$root/build}"
program="$build/dova"
if [ ! -x "$program" ]; then
  echo "run-dova: $program is missing; build it first:" >&2
  echo "  cmake --preset default && cmake --build --preset default" >&2
  exit 1
fi

mode="${DOVA_DISPLAY:-auto}"
case "${1:-}" in
  --vnc) mode=vnc; shift ;;
  --xvfb) mode=xvfb; shift ;;
esac

# The program looks for a relative book path in its own folder, as a book
# opened from the file manager is; from a terminal the user means the folder
# they are in, so existing relative paths are made absolute here.
args=()
for a in "$@"; do
  if [ -e "$a" ] && [ "${a#/}" = "$a" ]; then a="$PWD/$a"; fi
  args+=("$a")
done
set -- "${args[@]+"${args[@]}"}"

if [ "$mode" = auto ]; then
  if [ -n "${QT_QPA_PLATFORM:-}" ] || [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program" "$@"
  fi
  echo "run-dova: no display found (DISPLAY and WAYLAND_DISPLAY are not set)."
  mode=vnc
fi

case "$mode" in
  vnc)
    port="${DOVA_VNC_PORT:-5900}"
    # Qt's VNC server listens on every address without a password; the
    # preloaded shim keeps it on the loopback address.
    shim="$build/vnc-loopback.so"
    if [ ! -e "$shim" ] || [ "$root/tools/vnc-loopback.c" -nt "$shim" ]; then
      cc -shared -fPIC -O2 -o "$shim" "$root/tools/vnc-loopback.c" -ldl
    fi
    # A sanitizer build wants its runtime first among the preloaded libraries.
    asan="$(ldd "$program" 2>/dev/null | awk '/libasan/ { print $3 }')"
    preload="${asan:+$asan:}$shim${LD_PRELOAD:+:$LD_PRELOAD}"
    if [ -n "$asan" ]; then
      export LSAN_OPTIONS="suppressions=$root/tools/lsan-qt.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
    fi
    echo "run-dova: the window is served over VNC: connect a VNC viewer to 127.0.0.1:$port"
    echo "run-dova: (there is no window frame: Esc or 程序 → 退出 closes the program)"
    LD_PRELOAD="$preload" QT_QPA_PLATFORM="vnc:size=800x600:port=$port" \
      exec "$program" "$@"
    ;;
  xvfb)
    source "$(dirname "$0")/xvfb.sh"
    start_xvfb
    echo "run-dova: running under Xvfb on display $xvfb_display"
    DISPLAY="$xvfb_display" QT_QPA_PLATFORM=xcb "$program" "$@"
    ;;
  *)
    echo "run-dova: DOVA_DISPLAY must be auto, vnc or xvfb" >&2
    exit 1
    ;;
esac
