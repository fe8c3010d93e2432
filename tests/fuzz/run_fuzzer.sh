#!/usr/bin/env bash
# Runs one fuzz target for a while from its seeds and kept inputs.
#   run_fuzzer.sh FUZZER SEED_DIR REGRESSION_DIR SECONDS
# New inputs go to a scratch corpus; an input that breaks a check is copied
# into REGRESSION_DIR, to be kept as a regression case.
set -u
fuzzer=$1 seeds=$2 regressions=$3 seconds=$4
work=$(mktemp -d /tmp/quarn2dif-fuzz-run-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$regressions"
"$fuzzer" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -max_len=65536 \
  -artifact_prefix="$work/" -print_final_stats=1 "$work/corpus" "$seeds" "$regressions" 2>"$work/log"
code=$?
tail -n 12 "$work/log"
if [ $code -ne 0 ]; then
  for found in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
    [ -e "$found" ] || continue
    cp "$found" "$regressions/"
    echo "kept $(basename "$found") in $regressions"
  done
  grep -m 20 -E "ERROR|check failed|SUMMARY" "$work/log"
fi
exit $code
