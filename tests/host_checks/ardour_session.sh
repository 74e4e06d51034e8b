#!/usr/bin/env bash
# Kav Tamor in Ardour 7 without a window, both formats: Ardour's own VST
# scanner indexes the module, a headless session (ardour7-lua, Dummy audio
# backend) lists and loads the plug-in on a stereo track, plays a sine through
# it, sets parameters, saves; the session is opened again and must come back
# with the same parameters and the very same bank. For the VST module, a chunk
# whose current preset is another one (as a choice in the preset bar leaves it)
# must come back as that preset.
#
# Usage: tests/host_checks/ardour_session.sh [BUILD_DIR]   (default: build)
#        ARDOUR_CHECKS_KEEP=1 keeps the temporary folder (sessions, logs).
# Needs Debian's ardour package (ardour7-lua) and python3. Everything happens
# in a temporary folder (HOME, XDG folders, plug-in copies, sessions); the
# user's own Ardour settings and plug-in folders are not touched. About a
# minute; prints each check and ends with "N passed, N failed".
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd) || exit 2
scanner=/usr/lib/ardour7/ardour-vst-scanner
for need in ardour7-lua python3; do
  command -v "$need" >/dev/null || { echo "ardour_session.sh: $need is not installed" >&2; exit 2; }
done
[ -x "$scanner" ] || { echo "ardour_session.sh: $scanner is missing" >&2; exit 2; }
[ -f "$build/KavTamor.so" ] && [ -d "$build/KavTamor.lv2" ] ||
  { echo "ardour_session.sh: build KavTamor and KavTamorLV2 in $build first" >&2; exit 2; }

work=$(mktemp -d)
if [ -n "${ARDOUR_CHECKS_KEEP:-}" ]; then
  echo "working in $work (kept)"
else
  trap 'rm -rf "$work"' EXIT
fi
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
export XDG_DATA_HOME="$work/home/.local/share"
mkdir -p "$XDG_CONFIG_HOME/ardour7" "$work/vst" "$work/lv2"
# Ardour hides its Dummy backend unless told otherwise.
cat >"$XDG_CONFIG_HOME/ardour7/config" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Ardour><Config><Option name="hide-dummy-backend" value="0"/></Config></Ardour>
XML
cp "$build/KavTamor.so" "$work/vst/"
# Ardour's scanner stamps its cache with the module's time cut to whole seconds
# and Ardour then finds the cache older than a module written in that same
# second: give the copy a time a minute back.
touch -d "@$(($(date +%s) - 60))" "$work/vst/KavTamor.so"
cp -r "$build/KavTamor.lv2" "$work/lv2/"
# Ardour 7 looks for Linux VSTs on LXVST_PATH (else its preference "Linux VST
# Path"), and for LV2 bundles where lilv does (LV2_PATH).
export LXVST_PATH="$work/vst" LV2_PATH="$work/lv2"

passed=0
failed=0
pass() { echo "ok:   $1"; passed=$((passed + 1)); }
fail() { echo "FAIL: $1"; failed=$((failed + 1)); }
state() { python3 "$here/ardour_state.py" "$@"; }

# run_lua LOG ARGS...: one ardour7-lua step; its checks are counted.
run_lua() {
  local log=$1
  shift
  timeout 180 ardour7-lua "$here/ardour_session.lua" "$@" >"$log" 2>&1
  local status=$?
  grep -E '^(OK|LISTED|PLUGIN|PEAK) ' "$log" | sed 's/^/      /'
  passed=$((passed + $(grep -c '^OK ' "$log")))
  if [ $status -ne 0 ] || ! grep -q '^DONE ' "$log"; then
    fail "ardour7-lua $* (log: $(grep -m1 -E 'FAILED|Error' "$log" || echo "status $status"))"
    return 1
  fi
}

params() { grep '^PARAMS ' "$1" | cut -d' ' -f2-; }

# Ardour's VST scan is a program of its own; the session finds what it indexed.
if LD_LIBRARY_PATH=/usr/lib/ardour7 "$scanner" -f "$work/vst/KavTamor.so" >"$work/scan.log" 2>&1 &&
  grep -q 'name="Kav Tamor"' "$XDG_CACHE_HOME"/ardour7/vst/*.v2i 2>/dev/null; then
  pass "ardour-vst-scanner indexes KavTamor.so"
else
  fail "ardour-vst-scanner indexes KavTamor.so (see $(tail -1 "$work/scan.log"))"
fi

for format in vst lv2; do
  dir="$work/sessions/$format"
  echo "-- $format"
  run_lua "$work/$format-create.log" create "$dir" "$format" "$format" || continue
  if state matches "$dir/$format.ardour" $(params "$work/$format-create.log") >/dev/null; then
    pass "$format: the saved bank's current preset holds the values set through Ardour"
  else
    fail "$format: the saved bank's current preset holds the values set through Ardour"
  fi
  run_lua "$work/$format-reload.log" reload "$dir" "$format" reloaded || continue
  if [ "$(params "$work/$format-create.log")" = "$(params "$work/$format-reload.log")" ]; then
    pass "$format: the reopened session has the parameters it was saved with"
  else
    fail "$format: the reopened session has the parameters it was saved with"
  fi
  if state same "$dir/$format.ardour" "$dir/reloaded.ardour" >/dev/null; then
    pass "$format: saved again, the bank is byte for byte the same"
  else
    fail "$format: saved again, the bank is byte for byte the same"
  fi
done

# A chunk whose current preset is "CD Master 1" (8) comes back as that preset.
dir="$work/sessions/vst"
if [ -f "$dir/vst.ardour" ] && state choose "$dir/vst.ardour" 8 >/dev/null &&
  run_lua "$work/vst-chosen.log" reload "$dir" vst chosen; then
  if state matches "$dir/vst.ardour" $(params "$work/vst-chosen.log") >/dev/null &&
    state same "$dir/vst.ardour" "$dir/chosen.ardour" >/dev/null; then
    pass "vst: a session saved with preset 8 current opens with preset 8's values and keeps its bank"
  else
    fail "vst: a session saved with preset 8 current opens with preset 8's values and keeps its bank"
  fi
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
