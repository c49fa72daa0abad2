#!/usr/bin/env bash
# One writer at a time. Two desks post (`meetctl post`) in a loop, a third
# confirms races by hand (`race confirm`), all on one meet for 20 seconds,
# while the timing system (unlocked, as ever) marks races "6". Afterwards:
#   - every race the timing system marked was posted exactly once;
#   - every race confirmed by hand is still "7" with its typed times;
#   - meetctl check finds nothing (every file whole and in step).
# Then a writer killed while it holds the lock (SIGKILL in the middle of a
# whole-file write) leaves the lock to the next writer at once.
# Usage: tools/lock-test.sh [BUILD_DIR] [SECONDS]   (default build/, 20)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-20}
meetctl="$PWD/$build/app/meetctl"
[ -x "$meetctl" ] || { echo "lock-test: $meetctl is not built" >&2; exit 2; }
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
fail() { echo "lock-test: FAILED: $* (in $work)" >&2; exit 1; }
ctl="$work/ctl/dr_kyo.ctl"
m() { "$meetctl" --ctl "$ctl" --print none "$@"; }

mkdir -p "$work/entries" "$work/meets"
m sample-entries "$work/entries/l.Mos" --swimmers 300 >/dev/null
m new "$work/entries/l.Mos" "$work/meets" >/dev/null
for kv in "laneCount 8" "laneCountUsed 8" "minEntrants 1" "classMode 1" "seedingMode 0" "timingSystem 1"; do
  m settings set $kv >/dev/null
done
m --yes program generate >/dev/null 2>&1
m --yes seed >/dev/null 2>&1

# Races seeded now, by event: odd events go to the timing system, even ones
# to the desk that types them in.
timing=() desk=()
for ((r = 1; r <= 200; r++)); do
  show=$(m race show "$r" 2>/dev/null) || break
  grep -q '^laneNo\.[0-9]=[1-9]' <<<"$show" || continue
  event=$(sed -n 's/^eventNo=//p' <<<"$show")
  if ((event % 2)); then timing+=("$r"); else desk+=("$r"); fi
done
[ ${#timing[@]} -ge 10 ] && [ ${#desk[@]} -ge 10 ] || fail "too few seeded races (${#timing[@]} / ${#desk[@]})"

end=$((SECONDS + seconds))
(
  for r in "${timing[@]}"; do
    m timing finish "$r" --seed "$r" >/dev/null
    sleep 0.0$((RANDOM % 9))
    ((SECONDS < end)) || break
  done
) &
pids+=($!)
for desk_no in 1 2; do
  (while ((SECONDS < end)); do m post --no-print >>"$work/post$desk_no.log" 2>>"$work/post$desk_no.err" || true; done) &
  pids+=($!)
done
(
  for r in "${desk[@]}"; do
    ((SECONDS < end)) || break
    rows=$(m race show "$r" | awk -F= '$1 ~ /^laneNo\./ && $2 != 0 { split($1, f, "."); out = out (out == "" ? "" : ",") (f[2] + 1) " " (3000 + f[2] * 10) } END { print out }')
    m --no race confirm "$r" --rows "$rows" >/dev/null 2>>"$work/confirm.err" && echo "$r" >>"$work/confirmed"
  done
) &
pids+=($!)
wait
pids=()
m post --no-print >>"$work/post1.log" 2>>"$work/post1.err"

if grep -h '書き込み中' "$work"/*.err >/dev/null 2>&1; then
  fail "a writer gave up waiting for the lock: $(grep -h '書き込み中' "$work"/*.err | head -1)"
fi
states=$(m race states)
posted=$(cat "$work"/post*.log | sed -n 's/^確定 レース \([0-9]*\) .*/\1/p' | sort -n)
twice=$(uniq -d <<<"$posted")
[ -z "$twice" ] || fail "races posted twice: $(tr '\n' ' ' <<<"$twice")"
count=0
for r in "${timing[@]}"; do
  state=$(awk -v r="$r" '$1 == r { print $2 }' <<<"$states")
  [ "$state" = 1 ] && continue  # not reached in the time
  count=$((count + 1))
  grep -qx "$r" <<<"$posted" || fail "race $r (state $state) was never posted"
  [ "$state" = 7 ] || fail "race $r is $state after posting"
done
[ -s "$work/confirmed" ] || fail "the desk confirmed nothing"
while read -r r; do
  [ "$(awk -v r="$r" '$1 == r { print $2 }' <<<"$states")" = 7 ] || fail "confirmed race $r lost its state"
  m race show "$r" | awk -F= '$1 ~ /^laneNo\./ && $2 != 0 { split($1, f, "."); want[f[2]] = 3000 + f[2] * 10 }
    $1 ~ /^laneTime\./ { split($1, f, "."); got[f[2]] = $2 }
    END { for (k in want) if (got[k] != want[k]) exit 1 }' || fail "confirmed race $r lost its times"
done <"$work/confirmed"
out=$(m check) || fail "meetctl check after the run: $out"

# A writer killed in the middle of its write: the lock is free at once.
r=${desk[-1]}
m --yes race title "$r" startTime=101500 >/dev/null
# (bash -c: the shell that sees the kill is told so on a stderr of its own.)
MEETDESK_CRASH_AT=2 bash -c '"$0" "$@" >/dev/null 2>&1; exit $?' "$meetctl" --ctl "$ctl" --print none --yes race title "$r" startTime=111500 2>/dev/null &&
  fail "the writer was not killed"
MEETDESK_LOCK_WAIT_MS=0 m --yes race title "$r" startTime=121500 >/dev/null ||
  fail "the lock of the killed writer was not taken over"

echo "lock-test: $count timed races posted once each by two desks, $(wc -l <"$work/confirmed") confirmed by hand" \
  "meanwhile, in ${seconds} s; a killed writer's lock taken over"
