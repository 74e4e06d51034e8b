#!/bin/sh
# kavtamor editor end to end: plays a file through the module while the editor
# runs, writes a screenshot of the window's size, and fails cleanly without a
# display or with a bad file. Run under with_xvfb.sh; $1 is the kavtamor program.
set -eu
kavtamor=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

"$kavtamor" editor --help | grep -q '^Usage: kavtamor editor'
"$kavtamor" demo-material --seconds 2 "$dir/in.wav" >/dev/null
"$kavtamor" editor --input "$dir/in.wav" --screenshot "$dir/shot.png" --after 800
# The PNG header holds the width and height as big-endian words at byte 16.
size=$(od -An -tu1 -j16 -N8 "$dir/shot.png" | tr -s ' ')
[ "$size" = " 0 0 2 12 0 0 1 206" ] || { echo "screenshot size: $size" >&2; exit 1; }

if "$kavtamor" editor --input "$dir/missing.wav" 2>"$dir/err"; then exit 1; fi
grep -q 'cannot read' "$dir/err"
if DISPLAY= "$kavtamor" editor 2>"$dir/err"; then exit 1; fi
grep -q 'X display' "$dir/err"
if "$kavtamor" editor --after 10 2>"$dir/err"; then exit 1; fi
echo "editor command: ok"
