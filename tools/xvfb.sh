# Sourced by the scripts that need a private X display: starts Xvfb on the
# first free display number, stops it when the script exits, and leaves that
# number in $xvfb_display (":99", ...).
start_xvfb() {
  command -v Xvfb >/dev/null || { echo "Xvfb is not installed (bash tools/install-deps.sh)" >&2; return 1; }
  local number=99
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
  xvfb_display=":$number"
}
