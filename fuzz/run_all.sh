#!/usr/bin/env bash
# Runs every fuzz target for SECONDS on a scratch copy of its seed corpus.
# Fails when any target finds a crash, a sanitizer report or a leak; the
# input that caused it is kept in fuzz-findings/ at the top of the tree.
#   fuzz/run_all.sh BUILD_DIR [SECONDS]
set -euo pipefail

build_dir=${1:?usage: fuzz/run_all.sh BUILD_DIR [SECONDS]}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
findings="$here/../fuzz-findings"

work=$(mktemp -d "${TMPDIR:-/tmp}/kt-fuzz-XXXXXX")
trap 'rm -rf "$work"' EXIT
# The targets' scratch files and private preferences stay inside $work.
export TMPDIR="$work"

status=0
for target in chunk images old_layouts files lv2_state; do
  binary="$build_dir/kt_fuzz_$target"
  if [ ! -x "$binary" ]; then
    echo "missing $binary (configure with CC=clang CXX=clang++ -DKT_BUILD_FUZZ=ON)" >&2
    exit 2
  fi
  corpus="$work/corpus-$target"
  mkdir -p "$corpus" "$work/artifacts-$target"
  cp "$here/corpus/$target/"* "$corpus/"
  echo "== $target: ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$work/artifacts-$target/" "$corpus" >"$work/log-$target" 2>&1; then
    status=1
    mkdir -p "$findings"
    cp "$work/artifacts-$target/"* "$findings/" 2>/dev/null || true
    tail -n 60 "$work/log-$target" >&2
    echo "== $target: FINDING (inputs in $findings)" >&2
  else
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$work/log-$target" | sed "s/^/   /"
    echo "   corpus grew to $(ls "$corpus" | wc -l) inputs"
  fi
done
exit $status
