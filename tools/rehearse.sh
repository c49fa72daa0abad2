#!/usr/bin/env bash
# A rehearsal of a meet as an operator runs it, with meetctl only: a generated
# entry file becomes a meet, the program is generated and seeded, a few races
# are typed in finishing order and confirmed. Then it checks what a meet desk
# would look at first:
#   - no final is empty unless a preliminary of its event is seeded before it
#     (its heats fill it later);
#   - every swimmer entered in an event stands in a lane of that event;
#   - the confirmed swimmers reach levels other than only 0 and 14;
#   - 集計 says when its range leaves a relay of summed ages out;
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
hand_heats=$heats

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
# ---------------------------------------------------------------------------
# An exhibition swimmer through posting, and a record broken once.
# The heats of the first event with 9 to 20 swimmers (heats score from place
# 9 in an 8-lane pool) and a final after them: the swimmer with the best
# entry time swims as OP (備考 99); the heats and then the final are timed and
# posted. The OP swimmer keeps "OP" and the time, takes no place (the others
# of the heat are placed 1 to k), is not seeded into the final, is not ranked
# and takes nothing in the points tally. Then the 地区 record is set just
# above the best heat time and the final is made slower than that heat but
# under the old record: the records list holds the heat, not the final.
# ---------------------------------------------------------------------------
# "slot no time rank class entryTime" for every lane of race $1 with a swimmer.
lanes() {
  m race show "$1" | awk -F= '
    { v[$1] = $2 }
    END { for (k = 0; k < 12; k++) if (v["laneNo." k] != 0)
            print k, v["laneNo." k], v["laneTime." k], v["laneRank." k], v["laneRecordClass." k], v["laneEntryTime." k] }'
}
# A time code plus $2 hundredths.
later() { awk -v c="$1" -v d="$2" 'BEGIN {
  h = (int(c / 10000) * 60 + int(c / 100) % 100) * 100 + c % 100 + d
  print int(h / 6000) * 10000 + int(h / 100) % 60 * 100 + h % 100 }'; }
field() { m race show "$1" | sed -n "s/^$2=//p"; }
read -r final op_heats <<<"$(awk '
  $3 == "1" { n[$2] += NF - 4; h[$2] = h[$2] " " $1 }
  $3 == "2" && ($2 in n) && n[$2] >= 9 && n[$2] <= 20 { print $1 h[$2]; exit }' "$work/races.txt")"
[ -n "${op_heats:-}" ] || fail "no event with 9 to 20 swimmers in its heats and a final"
read -r first opSlot opNo <<<"$(for h in $op_heats; do lanes "$h" | sed "s/^/$h /"; done |
  awk '$7 > 0 && $7 < 595900 && (best == "" || $7 < best) { best = $7; op = $1 " " $2 " " $3 } END { print op }')"
[ -n "${opNo:-}" ] || fail "no swimmer with an entry time in the heats $op_heats"
opRow=$((opSlot + 1))
opReg=$(m entry show "$opNo" | sed -n 's/^regNo=//p' | tr -d ' ')
m race enter "$first" "$opRow" txtBiko 99 >/dev/null
for h in $op_heats; do m timing finish "$h" --seed "$h" >/dev/null; done
posted=$(m post --no-print) || fail "posting the heats $op_heats failed: $posted"
grep -q "^組分け レース $final " <<<"$posted" || fail "race $final was not seeded from the heats: $posted"
lanes "$first" | awk -v s="$opSlot" '
  $1 == s { if ($5 != 99 || $4 != 0 || $3 <= 0 || $3 >= 595900) { print "OP lane " $0; bad = 1 } next }
  $3 > 0 && $3 < 595900 { k++; rank[$4] = 1 }
  END { for (p = 1; p <= k; p++) if (!(p in rank)) { print "no place " p " among " k; bad = 1 }; exit bad }' ||
  fail "race $first: the OP swimmer is not kept apart from the placings"
m race view "$first" | awk -F'|' -v l="$opRow" '$1 + 0 == l && $15 ~ /OP/ && $10 !~ /[0-9]/ && $11 ~ /[0-9]/ { ok = 1 }
  END { exit !ok }' || fail "race $first does not show the OP swimmer with his time, OP and no place"
if lanes "$final" | awk -v n="$opNo" '$2 == n { found = 1 } END { exit !found }'; then
  fail "the OP swimmer $opNo was seeded into the final $final"
fi
sex=$(field "$first" sexCode)
event=$(field "$first" eventCode)
ranked=$(m ranking --stage heats)
if grep -q $'\t'"$opReg"'$' <<<"$ranked"; then fail "the OP swimmer $opNo is ranked"; fi
# Slowest of the heats he would take a scoring place (9 to 20); as OP he takes none.
m settings set pointsIndividual.9 1 >/dev/null
m race enter "$first" "$opRow" txtKiro 95959 >/dev/null
asOp=$(m points tally | sed -n 's/.*入賞 \([0-9]*\) 件.*/\1/p')
m race enter "$first" "$opRow" txtBiko 0 >/dev/null
competing=$(m points tally | sed -n 's/.*入賞 \([0-9]*\) 件.*/\1/p')
m race enter "$first" "$opRow" txtBiko 99 >/dev/null
[ "$competing" -eq $((asOp + 1)) ] || fail "the OP swimmer scores in the tally (places $asOp as OP, $competing competing)"
# The record broken once: the 地区 record (class 26, record 166) 2/100 above
# the best heat time; the final's fastest, and every final time at most 1/100
# above that heat time, made 1/100 above it.
best=$(for h in $op_heats; do lanes "$h"; done | awk -v n="$opNo" '$2 != n && $3 > 0 && $3 < 595900 { print $3 }' |
  sort -n | head -1)
m timing finish "$final" --seed 1 >/dev/null
m post --no-print >/dev/null || fail "posting the final $final failed"
slower=$(later "$best" 1)
record=$(later "$best" 2)
fastest=$(lanes "$final" | awk '$3 > 0 && $3 < 595900' | sort -k3,3n | head -1 | cut -d' ' -f1)
[ -n "$fastest" ] || fail "the final $final has no time after posting"
lanes "$final" | while read -r slot no time rank class entry; do
  if [ "$slot" = "$fastest" ] || { [ "$time" -gt 0 ] && [ "$time" -le "$slower" ]; }; then
    m race enter "$final" $((slot + 1)) txtKiro "$slower" >/dev/null
  fi
done
m standards set 166 $(((sex - 1) * 29 + event)) "$record" >/dev/null
m points tally >/dev/null 2>&1
listed=$(m points records | grep ' 地区(26) ' || true)
shown() { m time format "$1" | tr -d ' '; }
grep -q "^ *[0-9]* レース種目 $(field "$first" eventNo) .* 予決 1 " <<<"$listed" ||
  fail "the heats' $(shown "$best") under the 地区 record $(shown "$record") is not listed"
if grep -q "^ *[0-9]* レース種目 $(field "$final" eventNo) .* 予決 2 " <<<"$listed"; then
  fail "the final's $(shown "$slower") is listed although the heats broke the 地区 record first:"$'\n'"$listed"
fi
if grep -q " 泳者 $opNo," <<<"$(m points records)"; then fail "the OP swimmer is in the records list"; fi
echo "rehearsal: OP swimmer $opNo of race $first kept apart through posting (final $final), the heats' record listed once"
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
inserted=$(m --yes race title "$at" --insert heat 2>&1) || fail "inserting a heat at race $at: $inserted"
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
inserted=$(m --yes race title "$at" sexCode=3 eventCode=7 roundCode=2 startTime=101500 --insert event 2>&1) ||
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
m points tally >/dev/null 2>&1
before=$(mixed_firsts)
m race enter "$at" 4 txtNo 1 >/dev/null || fail "entering swimmer 1 into race $at"
m --yes race confirm "$at" --rows "4 180000" >/dev/null 2>&1 || fail "race $at could not be confirmed"
m ranking 2>/dev/null | grep -q "${name}.*18:00.00" || fail "the ranking does not list $name's swim in the inserted race"
m points tally >/dev/null 2>&1
after=$(mixed_firsts)
[ "$after" = $((${before:-0} + 1)) ] || fail "the points of $club did not count the swim in the inserted race ($before -> $after)"
out=$(m check) || fail "meetctl check finds faults after the insertions: $out"
# ---- end of lane moves and race insertions ----------------------------------

# ---- Lenex: the meet written in each of its three kinds -------------------
# A points table of two rows is loaded; the results, the start list and the
# entries are exported, masked and with --unmask. Each is a zip (it starts
# with "PK\3\4") naming one .lef of its base name; the results hold points;
# and `lenex check` finds nothing in any of them.
printf 'LCM,M,100,FREE,1,46.40\nLCM,F,100,FREE,1,51.71\nLCM,M,50,FREE,1,20.91\nLCM,F,50,FREE,1,23.61\n' >"$work/wa.csv"
m points-table load "$work/wa.csv" >/dev/null || fail "points-table load: $(m points-table load "$work/wa.csv" 2>&1)"
lenex_files=0
for kind in results startlist entries; do
  for mask in "" --unmask; do
    out="$work/lenex-$kind${mask:+-all}.lxf"
    said=$(m lenex export "$out" --"$kind" $mask 2>&1) || fail "lenex export --$kind $mask: $said"
    [ "$(head -c 4 "$out" | od -An -c | tr -d ' ')" = 'PK003004' ] || fail "$out is no zip"
    grep -aq "lenex-$kind${mask:+-all}.lef" "$out" || fail "$out does not hold lenex-$kind${mask:+-all}.lef"
    checked=$(m lenex check "$out" 2>&1) || fail "lenex check $out: $checked"
    lenex_files=$((lenex_files + 1))
  done
done
m lenex export "$work/lenex-points.lxf" --results | grep -q 'ポイント [1-9]' ||
  fail "the results export holds no points: $(m lenex export "$work/lenex-points.lxf" --results)"
# ---- end of Lenex -----------------------------------------------------------

# ---- the published site: whole, again unchanged, then what one posting changed
# A race not yet confirmed is confirmed between two publishes: the second
# writes only the pages it changed, its page holds the time, and nothing of
# a publish on the way (temporaries, its mark) is left.
site="$work/site"
said=$(m publish "$site" 2>&1) || fail "publish: $said"
written() { sed -n 's/.*: \([0-9]*\) 件書き込み.*/\1/p' <<<"$1"; }
whole=$(written "$said")
[ "${whole:-0}" -gt 100 ] || fail "the first publish wrote only ${whole:-0} files: $said"
said=$(m publish "$site" 2>&1) || fail "publish again: $said"
[ "$(written "$said")" = 0 ] || fail "a publish with nothing changed wrote again: $said"
posted=""
for r in $(m race states | awk '$2 != 6 && $2 != 7 && $2 != 8 { print $1 }'); do
  rows=$(lane_rows "$r")
  [ -n "$rows" ] || continue
  m --yes race confirm "$r" --rows "$rows" >/dev/null 2>&1 || fail "race $r could not be confirmed"
  posted=$r
  break
done
[ -n "$posted" ] || fail "no race left to post before publishing again"
said=$(m publish "$site" 2>&1) || fail "publish after posting race $posted: $said"
changed=$(written "$said")
[ "${changed:-0}" -gt 0 ] && [ "$changed" -lt $((whole / 4)) ] || fail "after posting race $posted the publish wrote $changed of $whole files"
grep -q '"state":"final"' "$site/api/race/$posted.json" || fail "the published race $posted is not final"
# What the two publishes left is what one publish of the meet now writes,
# but for the times the pages' data last changed.
m publish "$work/site-fresh" >/dev/null 2>&1 || fail "publish into a fresh folder"
untimed() { sed -e 's/<p class="u" id="updated">.*<\/time><\/p>//' -e 's/"updated":"[^"]*"//' "$1"; }
while IFS= read -r f; do
  [ "$(untimed "$site/$f")" = "$(untimed "$work/site-fresh/$f")" ] || fail "the published $f was not rewritten after posting race $posted"
done < <(cd "$work/site-fresh" && find . -type f \( -name '*.html' -o -name '*.json' \))
left=$(find "$site" -name '*.pub-*' -o -name '.meetdesk-publishing' | head -3)
[ -z "$left" ] || fail "a publish left $left"
# ---- end of the published site ------------------------------------------------

echo "rehearsal: $races races, $count entries, every entered swimmer seeded, no empty final," \
  "3 races confirmed with levels$(printf ' %s' $(printf '%s\n' $levels | sort -n -u));" \
  "heats ${hand_heats# } timed by hand to final $final_race, seeded again after a disqualification;" \
  "relay race $relay tallied over $wide; $lenex_files Lenex files;" \
  "published $whole files, then $changed after posting race $posted"
