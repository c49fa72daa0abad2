#!/usr/bin/env bash
# Kills meetctl (SIGKILL, through the write helper's MEETDESK_CRASH_AT hook) at
# every step of its whole-file writes while it seeds a meet, while the program
# editor rewrites projun.dat and while the points tally runs, and checks after
# each kill that every data file of the meet folder is whole: its old bytes or
# its new bytes, never a mix, none missing. Then the next command must leave no temporary file.
# Then it makes every write step fail in turn (MEETDESK_FAIL_WRITE_AT, as a
# full disk does) for seed, post, race confirm, the tally, result-file,
# federation-report and dump read: each failing run exits non-zero naming the
# file, leaves every file old or new and no temporary, and writes nothing
# after the failure; publishing the site the same; and, where a tmpfs can be
# mounted, seeds on a real full disk.
# Usage: tools/crash-test.sh [BUILD_DIR]   (default build/; SKIP_KILLED=1 leaves out the kills)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
meetctl="$PWD/$build/app/meetctl"
[ -x "$meetctl" ] || { echo "crash-test: $meetctl is not built" >&2; exit 2; }
work=$(mktemp -d)
# One clock for every run, so that a file stamped with the time (the points
# tally's) is the same bytes killed or not.
export MEETDESK_CLOCK=20240701093000
trap 'rm -rf "$work"' EXIT
fail() { echo "crash-test: FAILED: $*"; exit 1; }
ctl="$work/ctl/dr_kyo.ctl"
m() { "$meetctl" --ctl "$ctl" --print none "$@"; }

mkdir -p "$work/entries" "$work/meets"
m sample-entries "$work/entries/c.Mos" --swimmers 400 >/dev/null
m new "$work/entries/c.Mos" "$work/meets" >/dev/null
for kv in "laneCount 8" "laneCountUsed 8" "minEntrants 1" "classMode 1"; do m settings set $kv >/dev/null; done
m --yes program generate >/dev/null 2>&1
base="$work/meets/c"
cp -a "$base" "$work/unseeded"

# name<TAB>sha of each data file (backups and HTML pages are new files by name).
sums() { (cd "$1" && find . -maxdepth 1 -type f ! -name '.*' ! -name '*.html' -print0 | sort -z |
          xargs -0 sha256sum) ; }
temporaries() { find "$1" -maxdepth 1 -name '.*.??????' -type f | wc -l; }

# run_killed LABEL VERB…: the command on a copy of the base meet, killed at
# step 1, 2, … until it runs through.
run_killed() {
  local label=$1; shift
  rm -rf "$work/new" && cp -a "$base" "$work/new"
  "$meetctl" --meet "$work/new" --print none --yes "$@" >/dev/null 2>&1 || fail "$label: the command fails unkilled"
  sums "$base" >"$work/old.sum"
  sums "$work/new" >"$work/new.sum"
  local k=1 status
  while :; do
    rm -rf "$work/k" && cp -a "$base" "$work/k"
    set +e
    (MEETDESK_CRASH_AT=$k exec "$meetctl" --meet "$work/k" --print none --yes "$@" >/dev/null 2>&1) 2>/dev/null
    status=$?
    set -e
    [ $status -eq 0 ] && break
    [ $status -eq 137 ] || fail "$label: step $k ended with $status instead of being killed"
    while read -r sum name; do
      grep -qF "$sum  $name" "$work/old.sum" "$work/new.sum" || fail "$label: killed at step $k, $name is neither old nor new"
    done < <(sums "$work/k")
    while read -r sum name; do
      [ -f "$work/k/$name" ] || fail "$label: killed at step $k, $name is missing"
    done <"$work/old.sum"
    if [ "$(temporaries "$work/k")" -gt 0 ]; then
      "$meetctl" --meet "$work/k" --print none --yes "$@" >/dev/null 2>&1 || fail "$label: the command after a kill fails"
      [ "$(temporaries "$work/k")" -eq 0 ] || fail "$label: temporaries left after the next command (step $k)"
    fi
    k=$((k + 1))
    [ $k -le 2000 ] || fail "$label: still killed after 2000 steps"
  done
  echo "crash-test: $label killed at $((k - 1)) points, every file old or new"
}

[ -n "${SKIP_KILLED:-}" ] || run_killed "seed" seed 2>/dev/null
m --yes seed >/dev/null
[ -n "${SKIP_KILLED:-}" ] || run_killed "program correct" program correct 1 heatCount=3 2>/dev/null
[ -n "${SKIP_KILLED:-}" ] || run_killed "seed again over a seeded meet" seed 2>/dev/null
# Results for a few events, then the points tally (nyusho.dat, biko.dat and
# the new-record list are written whole).
m --yes seed >/dev/null
for i in 1 2 3 4 5 6; do m timing finish --all-seeded >/dev/null && m post --no-print >/dev/null; done
[ -n "${SKIP_KILLED:-}" ] || run_killed "points tally" points tally 2>/dev/null

# ---- Writes that fail: a full disk at every write step --------------------
# run_failed LABEL VERB…: the command on a copy of the base meet with its K-th
# write step failing (MEETDESK_FAIL_WRITE_AT, ENOSPC), K = 1, 2, … until it
# runs through. Each failing run must exit non-zero naming the file it could
# not write, leave every file old or new (the named one old), no temporary
# file, and never a Race.dat ahead of its taikai.dat.
run_failed() {
  local label=$1; shift
  rm -rf "$work/new" && cp -a "$base" "$work/new"
  "$meetctl" --meet "$work/new" --print none --yes "$@" >/dev/null 2>&1 || fail "$label: the command fails on its own"
  sums "$base" >"$work/old.sum"
  sums "$work/new" >"$work/new.sum"
  local k=1 status named missing
  rm -f "$work/written.before"
  while :; do
    rm -rf "$work/f" && cp -a "$base" "$work/f"
    set +e
    MEETDESK_FAIL_WRITE_AT=$k "$meetctl" --meet "$work/f" --print none --yes "$@" >/dev/null 2>"$work/f.err"
    status=$?
    set -e
    [ $status -eq 0 ] && break
    grep -q 'ディスクに書き込めません: ' "$work/f.err" ||
      fail "$label: write step $k failed without naming the file: $(head -c 300 "$work/f.err")"
    named=$(sed -n 's/.*ディスクに書き込めません: \([^（]*\)（.*/\1/p' "$work/f.err" | head -1)
    named=${named##*/}
    while read -r sum name; do
      grep -qF "$sum  $name" "$work/old.sum" "$work/new.sum" || fail "$label: write step $k failed, $name is neither old nor new"
      if [ "./$named" = "$name" ] && ! grep -qF "$sum  $name" "$work/old.sum" && grep -qF "  $name" "$work/old.sum"; then
        fail "$label: write step $k failed, yet $named is new"
      fi
    done < <(sums "$work/f")
    while read -r sum name; do
      [ -f "$work/f/$name" ] || fail "$label: write step $k failed, $name is missing"
    done <"$work/old.sum"
    [ "$(temporaries "$work/f")" -eq 0 ] || fail "$label: write step $k failed and left a temporary file"
    # Nothing is written after a failure: the files written by a run failing
    # later include those of a run failing earlier.
    sums "$work/f" | grep -vxF -f "$work/old.sum" | sort >"$work/written.now" || true
    if [ -f "$work/written.before" ]; then
      missing=$(comm -23 <(cut -d' ' -f3 "$work/written.before") <(cut -d' ' -f3 "$work/written.now"))
      [ -z "$missing" ] || fail "$label: failing at step $((k - 1)) wrote $missing, failing later at step $k did not"
    fi
    mv "$work/written.now" "$work/written.before"
    if ! cmp -s "$work/f/Race.dat" "$base/Race.dat" && cmp -s "$work/f/taikai.dat" "$base/taikai.dat" &&
       ! cmp -s "$work/new/taikai.dat" "$base/taikai.dat"; then
      fail "$label: write step $k failed with Race.dat written before taikai.dat"
    fi
    k=$((k + 1))
    [ $k -le 2000 ] || fail "$label: still failing after 2000 steps"
  done
  echo "crash-test: $label failed at each of its $((k - 1)) write steps, every file old or new"
}

# One race timed: posting writes its record, its state and what it seeds.
post_race=$(m race states | awk '$2 == 1 { print $1; exit }')
m timing finish "$post_race" >/dev/null
run_failed "post" post --no-print
m post --no-print >/dev/null
confirm_race=$(m race states | awk '$2 == 1 { print $1; exit }')
confirm_rows=$(m race show "$confirm_race" | awk -F= '$1 ~ /^laneNo\./ && $2 != 0 { split($1, f, "."); out = out (out == "" ? "" : ",") (f[2] + 1) " " (3000 + f[2]) } END { print out }')
run_failed "race confirm" race confirm "$confirm_race" --rows "$confirm_rows"
run_failed "points tally (failing)" points tally
run_failed "result-file" result-file
run_failed "federation-report" federation-report
mkdir -p "$work/dump"
m dump write races "$work/dump/" >/dev/null
run_failed "dump read" dump read races "$work/dump/"
run_failed "seed (failing)" seed

# Publishing after a posting with its K-th write step failing: the command
# exits non-zero naming the file, every file of the site is the old one or
# the new one (the publish list aside, it holds the files' times, and the
# writers' lock), nothing of the publish is left on the way, and the next
# publish makes the site whole.
site_sums() { (cd "$1" && find . -type f ! -name .meetdesk-publish ! -name .meetdesk.lock -print0 | sort -z | xargs -0 sha256sum); }
"$meetctl" --meet "$base" --print none publish "$work/site-old" >/dev/null
m --yes race confirm "$confirm_race" --rows "$confirm_rows" >/dev/null 2>&1
cp -a "$work/site-old" "$work/site-new"
"$meetctl" --meet "$base" --print none publish "$work/site-new" >/dev/null
site_sums "$work/site-old" >"$work/site-old.sum"
site_sums "$work/site-new" >"$work/site-new.sum"
! cmp -s "$work/site-old.sum" "$work/site-new.sum" || fail "publish: the posting changed no page"
k=1
while :; do
  rm -rf "$work/site-f" && cp -a "$work/site-old" "$work/site-f"
  set +e
  MEETDESK_FAIL_WRITE_AT=$k "$meetctl" --meet "$base" --print none publish "$work/site-f" >/dev/null 2>"$work/f.err"
  status=$?
  set -e
  [ $status -eq 0 ] && break
  grep -q 'ディスクに書き込めません: ' "$work/f.err" ||
    fail "publish: write step $k failed without naming the file: $(head -c 300 "$work/f.err")"
  while read -r sum name; do
    grep -qF "$sum  $name" "$work/site-old.sum" "$work/site-new.sum" || fail "publish: write step $k failed, $name is neither old nor new"
  done < <(site_sums "$work/site-f")
  left=$(find "$work/site-f" -name '*.pub-*' -o -name .meetdesk-publishing | head -1)
  [ -z "$left" ] || fail "publish: write step $k failed and left ${left#"$work/"}"
  "$meetctl" --meet "$base" --print none publish "$work/site-f" >/dev/null || fail "publish: no publish after step $k failed"
  site_sums "$work/site-f" | cmp -s - "$work/site-new.sum" || fail "publish: the publish after step $k failed did not make the site whole"
  k=$((k + 1))
  [ $k -le 2000 ] || fail "publish: still failing after 2000 steps"
done
echo "crash-test: publish failed at each of its $((k - 1)) write steps, every page old or new"

# A real full disk, where a small tmpfs can be mounted (root): seeding a meet
# on a disk with room for the old files and only part of the new ones fails
# naming a file, and leaves every file old or new and no temporary.
disk="$work/disk"
mkdir -p "$disk"
used=$(du -sk --apparent-size "$work/unseeded" | cut -f1)
if mount -t tmpfs -o size=$((used + 40))k tmpfs "$disk" 2>/dev/null; then
  cp -a "$work/unseeded" "$disk/c"
  sums "$disk/c" >"$work/old.sum"
  set +e
  "$meetctl" --meet "$disk/c" --print none --yes seed >/dev/null 2>"$work/full.err"
  status=$?
  set -e
  rm -rf "$work/new" && cp -a "$work/unseeded" "$work/new"
  "$meetctl" --meet "$work/new" --print none --yes seed >/dev/null 2>&1
  sums "$work/new" >"$work/new.sum"
  result=ok
  if [ $status -eq 0 ]; then
    result="seed went through on a disk of $((used + 40)) KiB"
  elif ! grep -q 'ディスクに書き込めません: ' "$work/full.err"; then
    result="a full disk failed without naming the file: $(head -c 300 "$work/full.err")"
  else
    while read -r sum name; do
      grep -qF "$sum  $name" "$work/old.sum" "$work/new.sum" || result="on a full disk $name is neither old nor new"
    done < <(sums "$disk/c")
    [ "$(temporaries "$disk/c")" -eq 0 ] || result="a full disk left a temporary file"
  fi
  umount "$disk"
  [ "$result" = ok ] || fail "$result"
  echo "crash-test: seed on a full disk (tmpfs of $((used + 40)) KiB) failed naming $(sed -n 's/.*ディスクに書き込めません: \([^（]*\)（.*/\1/p' "$work/full.err" | head -1 | xargs basename), every file old or new"
else
  echo "crash-test: no tmpfs can be mounted here; the full-disk run of seed is left out"
fi
