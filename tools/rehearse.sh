#!/usr/bin/env bash
# A rehearsal of a meet as an operator runs it, with meetctl only: a generated
# entry file becomes a meet, the program is generated and seeded, a few races
# are typed in finishing order and confirmed. Then it checks what a meet desk
# would look at first:
#   - no final is empty unless a preliminary of its event is seeded before it
#     (its heats fill it later);
#   - every swimmer entered in an event stands in a lane of that event;
#   - the confirmed swimmers reach levels other than only 0 and 14;
#   - 集計 says when its range leaves a relay of summed ages out.
# Usage: tools/rehearse.sh [BUILD_DIR]   (default build/). Exits non-zero on
# the first check that fails, saying which.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
meetctl="$PWD/$build/app/meetctl"
[ -x "$meetctl" ] || { echo "rehearse: $meetctl is not built" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ctl="$work/ctl/dr_kyo.ctl"
m() { "$meetctl" --ctl "$ctl" --print none "$@"; }
fail() { echo "rehearse: $*" >&2; exit 1; }

mkdir -p "$work/entries" "$work/meets"
m sample-entries "$work/entries/reh.Mos" --swimmers 300 >/dev/null
m new "$work/entries/reh.Mos" "$work/meets" >/dev/null
for kv in "laneCount 8" "laneCountUsed 8" "minEntrants 1" "classMode 1" "seedingMode 0" "timingSystem 0"; do
  m settings set $kv >/dev/null
done
m --yes program generate >/dev/null 2>&1
m --yes sample-standards >/dev/null 2>&1
seeded=$(m --yes seed 2>/dev/null)
races=$(printf '%s\n' "$seeded" | sed -n 's/^レース数: //p')
[ -n "$races" ] && [ "$races" -gt 0 ] || fail "seeding made no races: $seeded"
if printf '%s\n' "$seeded" | grep -q '^注意: '; then
  fail "seeding left swimmers or finals out:"$'\n'"$(printf '%s\n' "$seeded" | grep '^注意: ')"
fi

# Every race once: event key, stage, lanes.
for ((r = 1; r <= races; r++)); do
  m race show "$r" | awk -v r="$r" -F= '
    { v[$1] = $2 }
    END {
      lanes = ""
      for (k = 0; k < 10; k++) if (v["laneNo." k] != 0) lanes = lanes " " v["laneNo." k] ":" v["laneEntryTime." k]
      print r, v["sexCode"] "/" v["classFrom"] "/" v["classTo"] "/" v["eventCode"], v["roundCode"], v["eventCode"] lanes
    }'
done >"$work/races.txt"

# A final without swimmers needs a seeded preliminary of its event before it.
awk '
  $3 == "1" && NF > 4 { prelim[$2] = 1 }
  $3 == "2" && NF <= 4 && !($2 in prelim) { print "race " $1 " (" $2 ") is an empty final"; bad = 1 }
  END { exit bad }' "$work/races.txt" || fail "empty finals"

# Every (entrant, event) with an entry time stands in some lane.
count=$(m entry header | sed -n 's/^entryCount=//p')
awk '{ for (k = 5; k <= NF; k++) { split($k, p, ":"); print p[1] "/" $4 } }' "$work/races.txt" | sort -u >"$work/placed.txt"
for ((n = 1; n <= count; n++)); do
  m entry show "$n" | awk -F= -v n="$n" '$1 ~ /^entryTimes\./ && $2 != 0 { split($1, k, "."); print n "/" k[2] + 1 }'
done | sort -u >"$work/entered.txt"
missing=$(comm -23 "$work/entered.txt" "$work/placed.txt" | head -5)
[ -z "$missing" ] || fail "entered swimmers without a lane (entry/event): $missing"

# Type and confirm the first three races with swimmers: each swimmer at their
# entry time (9, not entered, where they have none), in lane order.
confirmed=0
levels=""
while read -r r key stage event rest; do
  [ -n "$rest" ] || continue
  rows=$(m race show "$r" | awk -F= '
    $1 ~ /^laneNo\./ { split($1, f, "."); no[f[2]] = $2 }
    $1 ~ /^laneEntryTime\./ { split($1, f, "."); t[f[2]] = $2 }
    END {
      out = ""
      for (s = 0; s < 10; s++) if (no[s] != 0) {
        time = (t[s] > 0 && t[s] < 595900) ? t[s] : 9
        out = out (out == "" ? "" : ",") (s + 1) " " time
      }
      print out
    }')
  result=$(m --yes race confirm "$r" --rows "$rows" 2>&1) || fail "race $r could not be confirmed: $result"
  printf '%s\n' "$result" | grep -q '^state=7$' || fail "race $r is not marked 7 after confirming"
  levels="$levels $(printf '%s\n' "$result" | sed -n 's/.* no=[1-9][0-9]* .* open=\([0-9]*\) age=\([0-9]*\).*/\1 \2/p' | tr '\n' ' ')"
  confirmed=$((confirmed + 1))
  [ "$confirmed" -lt 3 ] || break
done <"$work/races.txt"
[ "$confirmed" -eq 3 ] || fail "only $confirmed races with swimmers to confirm"
spread=$(printf '%s\n' $levels | awk '$1 != 0 && $1 != 14' | sort -u | wc -l)
[ "$spread" -gt 0 ] || fail "every confirmed swimmer reached level 0 or 14 (levels:$levels)"

# --- A meet timed by hand, to its finals ---------------------------------
# Every heat of the first event with heats and a final is typed and confirmed
# (each swimmer at the entry time); the confirmation that completes the heats
# seeds the final. Then a disqualification is typed into a heat after the
# final is seeded, and `seed next` seeds the final again without that swimmer.
lane_rows() {
  m race show "$1" | awk -F= '
    $1 ~ /^laneNo\./ { split($1, f, "."); no[f[2]] = $2 }
    $1 ~ /^laneEntryTime\./ { split($1, f, "."); t[f[2]] = $2 }
    END {
      out = ""
      for (s = 0; s < 10; s++) if (no[s] != 0) {
        time = (t[s] > 0 && t[s] < 595900) ? t[s] : 9
        out = out (out == "" ? "" : ",") (s + 1) " " time
      }
      print out
    }'
}
lane_of() { m race show "$1" | sed -n "s/^laneNo\.$2=//p"; }
read -r final_race heats <<<"$(awk '
  $3 == "1" && NF > 4 { heats[$2] = heats[$2] " " $1 }
  $3 == "2" && ($2 in heats) { print $1, heats[$2]; exit }' "$work/races.txt")"
[ -n "$final_race" ] || fail "no event with heats and a final to time by hand"
for h in $heats; do
  state=$(m race states | awk -v r="$h" '$1 == r { print $2 }')
  [ "$state" = 7 ] && continue
  out=$(m --yes race confirm "$h" --rows "$(lane_rows "$h")" 2>&1) || fail "heat $h could not be confirmed: $out"
done
[ "$(lane_of "$final_race" 3)" != 0 ] || fail "the final (race $final_race) was not seeded when its heats were confirmed"
m seed next "$final_race" | grep -q '変わりません' || fail "seed next $final_race would change a final just seeded"
# The swimmer of lane 4 of the final is disqualified in the heat they swam.
dq=$(lane_of "$final_race" 3)
for h in $heats; do
  for ((s = 0; s < 10; s++)); do
    [ "$(lane_of "$h" "$s")" = "$dq" ] && { dq_heat=$h; dq_row=$((s + 1)); }
  done
done
m race enter "$dq_heat" "$dq_row" txtKiro 2 >/dev/null 2>"$work/dq.txt"
grep -q '一致しません' "$work/dq.txt" || fail "the race screen did not say the final no longer agrees with the heats"
m --no seed next "$final_race" >"$work/reseed.txt" 2>&1 || fail "seed next $final_race: $(cat "$work/reseed.txt")"
grep -q "$dq " "$work/reseed.txt" || fail "seed next did not tell that entry $dq left the final"
for ((s = 0; s < 12; s++)); do
  [ "$(lane_of "$final_race" "$s")" != "$dq" ] || fail "disqualified entry $dq is still in the final"
done
m check >/dev/null || fail "meetctl check finds faults after the final was seeded again: $(m check)"

# ---- Points: a relay of grown-ups, entered under the sum of their ages, is
# left out by 集計's default range 1 → 100, and 集計 says so with the range
# that counts it; tallied over that range, nothing is left out.
relay=$(awk '{ split($2, k, "/") } k[4] >= 23 && k[4] <= 29 && k[2] > 100 && NF > 4 { print $1; exit }' "$work/races.txt")
[ -n "$relay" ] || fail "no relay of summed ages above 100 to confirm"
rows=$(m race show "$relay" | awk -F= '
  $1 ~ /^laneNo\./ { split($1, f, "."); if ($2 != 0) out = out (out == "" ? "" : ",") (f[2] + 1) " " (20000 + f[2]) }
  END { print out }')
m --yes race confirm "$relay" --rows "$rows" >/dev/null 2>&1 || fail "relay race $relay could not be confirmed"
note=$(m points tally 2>&1 >/dev/null)
wide=$(printf '%s\n' "$note" | sed -n 's/^注意: 集計区分 1～100 の外のため [0-9]* 件を数えていません（\([0-9]*\)～\([0-9]*\) で数えます）。$/\1 \2/p')
[ -n "$wide" ] || fail "集計 left the relay of race $relay out without saying so: $note"
note=$(m points tally --range $wide 2>&1 >/dev/null)
[ -z "$note" ] || fail "集計 over $wide still leaves results out: $note"
# ---- end of points

echo "rehearsal: $races races, $count entries, every entered swimmer seeded, no empty final," \
  "3 races confirmed with levels$(printf ' %s' $(printf '%s\n' $levels | sort -n -u));" \
  "heats ${heats# } timed by hand to final $final_race, seeded again after a disqualification;" \
  "relay race $relay tallied over $wide"
