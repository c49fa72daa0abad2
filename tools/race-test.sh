#!/usr/bin/env bash
# The timing system racing the desk. A second process writes "6" into Race.dat
# (one byte, as the timing system does) for races whose goal and lap files it
# has left, at random moments, while the desk confirms other races, types
# results on the race screen and posts what the timing system finished
# (posting seeds the later stages). Afterwards:
#   - every "6" written is still "6" or was posted, with the results its goal
#     file holds;
#   - every race the desk confirmed or typed is still "7" with its times;
#   - no other race's state changed but the later stages posting seeded.
# Usage: tools/race-test.sh [BUILD_DIR]   (default build/)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
meetctl="$PWD/$build/app/meetctl"
[ -x "$meetctl" ] || { echo "race-test: $meetctl is not built" >&2; exit 2; }
work=$(mktemp -d)
racer=""
trap '[ -n "$racer" ] && kill "$racer" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "race-test: FAILED: $*" >&2; exit 1; }
ctl="$work/ctl/dr_kyo.ctl"
m() { "$meetctl" --ctl "$ctl" --print none "$@"; }

mkdir -p "$work/entries" "$work/meets"
m sample-entries "$work/entries/r.Mos" --swimmers 300 >/dev/null
m new "$work/entries/r.Mos" "$work/meets" >/dev/null
for kv in "laneCount 8" "laneCountUsed 8" "minEntrants 1" "classMode 1" "seedingMode 0"; do m settings set $kv >/dev/null; done
m --yes program generate >/dev/null 2>&1
m --yes seed >/dev/null 2>&1
meet="$work/meets/r"
states() { "$meetctl" --meet "$1" race states | awk '{ print $2 }' | tr -d '\n'; }
times() { "$meetctl" --meet "$1" race show "$2" | grep '^laneTime\.' | tr '\n' ' '; }

# The timing system's files for every seeded race, made on a copy; the meet
# itself keeps its "1"s until the racer writes the "6".
# The reference: the same races finished event by event and posted there.
cp -a "$meet" "$work/ref"
for ((i = 0; i < 500; i++)); do
  "$meetctl" --meet "$work/ref" --print none timing finish --all-seeded >"$work/finished" 2>/dev/null || break
  [ -s "$work/finished" ] || break
  "$meetctl" --meet "$work/ref" --print none post --no-print >/dev/null
done
before=$(states "$meet")

# The races seeded now (a later stage gets its swimmers only from posting)
# share out: every third to the timing system, the rest to the desk.
mkdir -p "$meet/goal" "$meet/lap"
timing=() desk=()
for f in "$work/ref"/goal/G*; do
  name=${f##*/} n=$((10#${f##*/G}))
  "$meetctl" --meet "$meet" race show "$n" | grep -q '^laneNo\.[0-9]=[1-9]' || continue
  if ((n % 3 == 0)); then
    timing+=("$n")
    cp "$f" "$meet/goal/$name"
    cp "$work/ref/lap/R${name#G}" "$meet/lap/" 2>/dev/null || true
  else
    [ ${#desk[@]} -lt 40 ] && desk+=("$n")
  fi
done
[ ${#timing[@]} -ge 10 ] && [ ${#desk[@]} -ge 10 ] || fail "too few seeded races (${#timing[@]} / ${#desk[@]})"

# The racer: "6" into each timing race in a random order, a few ms apart.
printf '%s\n' "${timing[@]}" | shuf >"$work/order"
(
  while read -r n; do
    printf 6 | dd of="$meet/Race.dat" bs=1 seek=$((n - 1)) conv=notrunc status=none
    echo "$n" >>"$work/written"
    sleep "0.$((RANDOM % 4 + 1))"
  done <"$work/order"
) &
racer=$!

# The desk: every desk race confirmed with typed times, every fourth typed
# lane by lane on the race screen instead; a posting after every third race.
declare -A typed
k=0
for n in "${desk[@]}"; do
  lanes=$("$meetctl" --meet "$meet" race show "$n" | awk -F= '/^laneNo\./ && $2 != 0 { split($1, a, "."); print a[2] + 1 }')
  rows="" t=3000
  for lane in $lanes; do rows+="${rows:+,}$lane $t"; t=$((t + 17)); done
  if ((k % 4 == 3)); then
    t=3000
    for lane in $lanes; do
      m race enter "$n" "$lane" txtKiro "$t" >/dev/null || fail "race enter $n lane $lane"
      t=$((t + 17))
    done
  else
    m race confirm "$n" --rows "$rows" >/dev/null || fail "race confirm $n"
  fi
  typed[$n]=$(times "$meet" "$n")
  k=$((k + 1))
  if ((k % 3 == 0)); then m post --no-print >>"$work/posted" || fail "posting while the racer writes"; fi
done
wait "$racer"
racer=""

# Every "6" written: still "6", or posted ("7") with the reference results.
now=$(states "$meet")
[ ${#now} -eq ${#before} ] || fail "Race.dat changed length (${#before} → ${#now} races)"
posted=0
while read -r n; do
  s=${now:n-1:1}
  case $s in
    6) ;;
    7) [ "$(times "$meet" "$n")" = "$(times "$work/ref" "$n")" ] || fail "race $n was posted with other results"
       posted=$((posted + 1)) ;;
    *) fail "race $n: the racer's \"6\" became \"$s\"" ;;
  esac
done <"$work/written"
[ "$(wc -l <"$work/written")" -eq ${#timing[@]} ] || fail "the racer did not finish"

# Every desk race: "7" with the times typed.
for n in "${desk[@]}"; do
  [ "${now:n-1:1}" = 7 ] || fail "desk race $n lost its state (now \"${now:n-1:1}\")"
  [ "$(times "$meet" "$n")" = "${typed[$n]}" ] || fail "desk race $n lost its times"
done

# Every other race as it was, or "1" (a later stage seeded by posting).
for ((n = 1; n <= ${#now}; n++)); do
  [[ " ${timing[*]} ${desk[*]} " == *" $n "* ]] && continue
  b=${before:n-1:1} s=${now:n-1:1}
  [ "$b" = "$s" ] || [ "$s" = 1 ] || fail "race $n changed from \"$b\" to \"$s\" untouched"
done

# The rest posts.
m post --no-print >/dev/null || fail "the last posting"
now=$(states "$meet")
for n in "${timing[@]}"; do
  [ "${now:n-1:1}" = 7 ] || fail "timing race $n not posted at the end"
  [ "$(times "$meet" "$n")" = "$(times "$work/ref" "$n")" ] || fail "timing race $n posted with other results"
done
echo "race-test: ${#timing[@]} races written \"6\" while the desk confirmed ${#desk[@]} (posted meanwhile: $posted, later stages seeded: $(grep -c '^組分け' "$work/posted" || true)); none lost"
