#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for SECONDS
# (default 600), saying how many inputs it ran and how many a second. New
# inputs go to build-fuzz/work/TARGET/, the seeds in tests/fuzz/corpus/TARGET/
# stay as they are (tools/fuzz-corpus.sh makes them); a finding is written to
# build-fuzz/findings/ and makes the script exit non-zero.
#   tools/fuzz.sh [SECONDS] [TARGET…]
#   tools/fuzz.sh --regress [TARGET…]   runs every target over its seed corpus once
#   tools/fuzz.sh --list                the targets, one a line
# The targets: one per reader at the byte level (records, lines, requests),
# fast, and the whole-screen ones that read a file through the screens.
# FUZZ_TIMEOUT (seconds, default 10) is how long one input may run before it
# counts as a hang; raise it on a machine busy with other work.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=600
regress=0
targets_bytes=(
  entry_records taikai_records race_state_bytes relay_records hpro_records projun_records shikaku_records
  biko_records nyusho_records optkubun_records goal_lines lap_lines dump_lines kijun_line folder_lines http_request
  lenex wapoints
)
targets_screens=(kijun folders entry taikai relay race_states projun hpro shikaku biko optkubun goal lap dumps nyusho check)
targets=("${targets_bytes[@]}" "${targets_screens[@]}")
if [ "${1:-}" = "--list" ]; then printf '%s\n' "${targets[@]}"; exit 0; fi
if [ "${1:-}" = "--regress" ]; then regress=1; shift; elif [ -n "${1:-}" ]; then seconds=$1; shift; fi
[ $# -gt 0 ] && targets=("$@")

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DMEETDESK_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$jobs" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p build-fuzz/findings
status=0
for t in "${targets[@]}"; do
  bin=build-fuzz/tests/fuzz/fuzz_$t
  seeds=tests/fuzz/corpus/$t
  if [ "$regress" = 1 ]; then
    if "$bin" -runs=0 "$seeds" >build-fuzz/findings/$t.regress.log 2>&1; then
      echo "fuzz $t: corpus ok ($(ls "$seeds" | wc -l) inputs)"
    else
      echo "fuzz $t: FAILED on its corpus, see build-fuzz/findings/$t.regress.log" >&2
      tail -20 build-fuzz/findings/$t.regress.log >&2
      status=1
    fi
    continue
  fi
  mkdir -p build-fuzz/work/$t
  # The byte-level targets read inputs of up to 8 KB (a file's header and a
  # few records): every record goes through the same code, and runs stay fast.
  maxlen=()
  [[ " ${targets_bytes[*]} " == *" $t "* ]] && maxlen=(-max_len=8192)
  [ "$t" = lenex ] && maxlen=(-max_len=65536)  # a Lenex file's XML reaches its events and results further in
  if "$bin" build-fuzz/work/$t "$seeds" "${maxlen[@]}" -max_total_time="$seconds" -timeout="${FUZZ_TIMEOUT:-10}" -rss_limit_mb=1024 \
      -artifact_prefix=build-fuzz/findings/$t- >build-fuzz/findings/$t.log 2>&1; then
    runs=$(grep -Eo '^Done [0-9]+ runs' build-fuzz/findings/$t.log | grep -Eo '[0-9]+' | tail -1)
    echo "fuzz $t: ${runs:-0} executions in ${seconds}s ($(( ${runs:-0} / seconds )) a second), no finding"
  else
    echo "fuzz $t: FINDING, see build-fuzz/findings/$t.log" >&2
    grep -E 'ERROR|runtime error|SUMMARY' build-fuzz/findings/$t.log | head -5 >&2
    status=1
  fi
done
exit $status
