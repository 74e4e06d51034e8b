#!/bin/sh
# Runs a test program on a private Xvfb display that the X server picks itself
# (-displayfd), so parallel test runs never share or collide on a display. With
# -noreset the server does not restart (refusing connections for a moment)
# each time its last client leaves.
# Usage: with_xvfb.sh PROGRAM [ARGS...]
set -u
command -v Xvfb >/dev/null 2>&1 || { echo "with_xvfb.sh: Xvfb is not installed" >&2; exit 1; }
fifo_dir=$(mktemp -d) || exit 1
fifo="$fifo_dir/display"
mkfifo "$fifo" || exit 1
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
xvfb_pid=$!
read -r display_number <"$fifo"
rm -rf "$fifo_dir"
if [ -z "${display_number:-}" ]; then
    kill "$xvfb_pid" 2>/dev/null
    echo "with_xvfb.sh: Xvfb did not start" >&2
    exit 1
fi
DISPLAY=":$display_number" "$@"
status=$?
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
exit $status
