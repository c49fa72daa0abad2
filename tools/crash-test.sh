#!/usr/bin/env bash
# Kills meetctl (SIGKILL, through the write helper's MEETDESK_CRASH_AT hook) at
# every step of its whole-file writes while it seeds a meet, while the program
# editor rewrites projun.dat and while the points tally runs, and checks after
# each kill that every data file of the meet folder is whole: its old bytes or
# its new bytes, never a mix, none missing. Then the next command must leave no temporary file.
# Usage: tools/crash-test.sh [BUILD_DIR]   (default build/)
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

run_killed "seed" seed 2>/dev/null
m --yes seed >/dev/null
run_killed "program correct" program correct 1 heatCount=3 2>/dev/null
run_killed "seed again over a seeded meet" seed 2>/dev/null
# Results for a few events, then the points tally (nyusho.dat, biko.dat and
# the new-record list are written whole).
m --yes seed >/dev/null
for i in 1 2 3 4 5 6; do m timing finish --all-seeded >/dev/null && m post --no-print >/dev/null; done
run_killed "points tally" points tally 2>/dev/null
