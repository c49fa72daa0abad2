#!/usr/bin/env bash
# A rehearsal of a meet as an operator runs it, with meetctl only: a generated
# entry file becomes a meet, the program is generated and seeded, a few races
# are typed in finishing order and confirmed. Then it checks what a meet desk
# would look at first:
#   - no final is empty unless a preliminary of its event is seeded before it
#     (its heats fill it later);
#   - every swimmer entered in an event stands in a lane of that event;
#   - the confirmed swimmers reach levels other than only 0 and 14;
#   - lane moves and race insertions (their own section near the end).
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

# ---- Lane moves and race insertions ---------------------------------------
# A lane move on a confirmed race is refused and writes nothing. A heat is
# inserted into an event of several heats and an event into the program: every
# race of the changed event shows heats 1..n of n, the program lists the
# inserted event, and a swim typed into it reaches the rankings and the points.
meet_dir="$work/meets/reh"
heading() { m race show "$1" | awk -F= '$1 == "eventNo" { e = $2 } $1 == "heatNo" { h = $2 } $1 == "heatTotal" { t = $2 }
  END { print e, h, t }'; }

first7=$(m race states | awk '$2 == 7 { print $1; exit }')
[ -n "$first7" ] || fail "no confirmed race to refuse a lane move on"
cp "$meet_dir/taikai.dat" "$work/taikai.before"
moved=$(m --yes race move "$first7" 1 2>&1) && fail "a lane move on confirmed race $first7 was made: $moved"
[ "$moved" = "meetctl: 確定済みのレースはコース移動できません。" ] || fail "lane move on race $first7 said: $moved"
cmp -s "$meet_dir/taikai.dat" "$work/taikai.before" || fail "the refused lane move changed taikai.dat"

# The second heat of the first event with several heats gets a heat before it.
at=""
for ((r = 1; r <= races; r++)); do
  read -r e h t <<<"$(heading "$r")"
  if [ "$h" = 2 ]; then at=$r; event=$e; heats=$t; break; fi
done
[ -n "$at" ] || fail "no event with two heats to insert a heat into"
inserted=$(m race title "$at" --insert heat 2>&1) || fail "inserting a heat at race $at: $inserted"
races=$((races + 1))
seen=0
for ((r = 1; r <= races; r++)); do
  read -r e h t <<<"$(heading "$r")"
  [ "$e" = "$event" ] || continue
  seen=$((seen + 1))
  [ "$h" = "$seen" ] && [ "$t" = $((heats + 1)) ] || fail "race $r of event $event shows heat $h of $t after the insertion"
done
[ "$seen" = $((heats + 1)) ] || fail "event $event has $seen races after inserting a heat into its $heats"

# A mixed 1500m final of one heat before the event of the middle race.
at=$((races / 2))
read -r event h t <<<"$(heading "$at")"
at=$((at - h + 1))
inserted=$(m race title "$at" sexCode=3 eventCode=7 roundCode=2 startTime=101500 --insert event 2>&1) ||
  fail "inserting an event at race $at: $inserted"
races=$((races + 1))
[ "$(heading "$at")" = "$event 1 1" ] || fail "the inserted race $at is not heat 1 of 1 of event $event: $(heading "$at")"
m program list | awk -v e="$event" -v r="$at" '$3 == e "混合" && $4 == "1500m自由形" && $(NF - 3) == r { found = 1 }
  END { exit !found }' || fail "the program list does not show event $event at race $at"

# One swim in the inserted race: the swimmer is ranked and the club's first
# places in mixed events go up by one.
name=$(m entry show 1 | sed -n 's/^swimmerName=//p')
club=$(m entry show 1 | sed -n 's/^affiliation=//p')
mixed_firsts() { m points show | awk -v c="$club" '$3 == c { split($8, p, "/"); split(p[2], n, ","); print n[1] }'; }
m points tally >/dev/null
before=$(mixed_firsts)
m race enter "$at" 4 txtNo 1 >/dev/null || fail "entering swimmer 1 into race $at"
m --yes race confirm "$at" --rows "4 180000" >/dev/null 2>&1 || fail "race $at could not be confirmed"
m ranking | grep -q "${name}.*18:00.00" || fail "the ranking does not list $name's swim in the inserted race"
m points tally >/dev/null
after=$(mixed_firsts)
[ "$after" = $((${before:-0} + 1)) ] || fail "the points of $club did not count the swim in the inserted race ($before -> $after)"
# ---- end of lane moves and race insertions ----------------------------------

echo "rehearsal: $races races, $count entries, every entered swimmer seeded, no empty final," \
  "3 races confirmed with levels$(printf ' %s' $(printf '%s\n' $levels | sort -n -u))"
