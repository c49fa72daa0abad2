#!/usr/bin/env bash
# Makes the fuzz targets' seed corpora again from real meets made with
# meetctl and from the kinds of bad file the tests plant, then keeps, per
# target, what libFuzzer's -merge=1 finds new coverage in (topped up to 20
# inputs with the smallest of the rest). The result replaces
# tests/fuzz/corpus/TARGET/ (the named seed file each whole-screen target's
# meet folder is made from stays).
#   tools/fuzz-corpus.sh [TARGET…]     (default: every target of tools/fuzz.sh)
# The meets: the demo meet as ./run makes it (timed heats, finals and relays
# posted, points tallied), a 合同 meet (combined races under optional
# categories), a short-course meet by school grade with relay orders typed,
# and a meet of 5,000 swimmers seeded and partly posted. Every input is cut
# to at most 8 KB: a file's header records and a few of its records with the
# count made to fit, the whole file when it is small.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1 QT_QPA_PLATFORM=offscreen

mapfile -t all < <(tools/fuzz.sh --list)
targets=("${all[@]}")
[ $# -gt 0 ] && targets=("$@")

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
nice cmake --build build --target meetctl >/dev/null
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DMEETDESK_FUZZ=ON >/dev/null
nice cmake --build build-fuzz --target "${targets[@]/#/fuzz_}" >/dev/null
meetctl=$root/build/app/meetctl

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
meets=()

# make_meet NAME SWIMMERS SAMPLE-OPTIONS SETTINGS… : a new meet, its program,
# standards and heats; the folder is left in $folder, meetctl as m.
make_meet() {
  local name=$1 swimmers=$2 sample=$3
  shift 3
  folder=$work/$name
  ctl=$folder/ctl/dr_kyo.ctl
  mkdir -p "$folder/entries" "$folder/meets"
  # shellcheck disable=SC2086
  "$meetctl" sample-entries "$folder/entries/$name.Mos" --swimmers "$swimmers" $sample >/dev/null
  m new "$folder/entries/$name.Mos" "$folder/meets" >/dev/null
  while [ $# -gt 0 ]; do m settings set "$1" "$2" >/dev/null; shift 2; done
  m --yes program generate >/dev/null 2>&1
  m --yes sample-standards >/dev/null
  m --yes seed >/dev/null
  meets+=("$folder")
}
m() { "$meetctl" --ctl "$ctl" --print none "$@"; }
swim() { m --yes "$@" >/dev/null 2>&1 || true; }
meet_dir() { echo "$1/meets/$(ls "$1/meets")"; }

echo "fuzz-corpus: making meets in $work"
make_meet demo 600 "" meetName "メットデスク練習大会" laneCount 8 laneCountUsed 8 minEntrants 1 seedingMode 0 \
  classMode 1 timingSystem 1
m program init --from 1 --start 093000 --unit-times 30,100,200,430,900,1800,3000,30,100,200,430,900,1800,3000 \
  --day 1 >/dev/null
m program print >/dev/null
for step in 1 2 3 4; do swim timing finish --all-seeded; swim post --no-print; done
mkdir -p "$work/dumps"
m dump write races "$work/dumps" >/dev/null
for race in $(awk -F, '$7 == 24 && $5 > 100 { print NR }' "$work/dumps/qkyogi.txt" | head -6); do
  swim timing finish "$race" --lap-length 25
done
swim timing finish 3 --dq 2 --missing 5
swim post --no-print
swim points tally --range 1 400
swim pages build

make_meet godo 400 "" laneCount 8 laneCountUsed 8 minEntrants 1 classMode 1 timingSystem 1
m --yes categories preset 2 >/dev/null
m settings set seedingMode 4 >/dev/null
m settings set optionalCategories 1 >/dev/null
swim seed
for step in 1 2; do swim timing finish --all-seeded; swim post --no-print; done
swim points tally

make_meet grades 300 "--scheme 2 --course 0 --seed 7" laneCount 6 laneCountUsed 6 minEntrants 1 classMode 2 \
  timingSystem 1
# Relay orders typed on the relay races: the first lanes' members in turn.
for race in $(m race states | awk '{ print $1 }' | head -200); do
  code=$(m race show "$race" | sed -n 's/^eventCode=//p')
  [ "${code:-0}" -gt 22 ] && [ "${code:-0}" -lt 30 ] || continue
  swim relay order "$race" 1 1 2 3 4
  swim relay order "$race" 2 5 6 7 8
done
for step in 1 2; do swim timing finish --all-seeded --lap-length 50; swim post --no-print; done
swim points tally --range 1 400

make_meet big 5000 "--seed 11" laneCount 10 laneCountUsed 10 minEntrants 1 classMode 1 timingSystem 1
swim timing finish --all-seeded
swim post --no-print
swim points tally --range 1 400

for f in "${meets[@]}"; do
  ctl=$f/ctl/dr_kyo.ctl
  mkdir -p "$f/dumps"
  for kind in races program pages relays; do m dump write "$kind" "$f/dumps" >/dev/null 2>&1 || true; done
done

echo "fuzz-corpus: cutting inputs"
raw=$work/raw
meet_list=()
for f in "${meets[@]}"; do meet_list+=("$(meet_dir "$f")"); done
python3 - "$raw" "${meet_list[@]}" <<'PY'
import glob, os, struct, sys

raw, meets = sys.argv[1], sys.argv[2:]
LIMIT = 8 * 1024
made = {}

CHECK_CUTS = ("whole", "window1-0", "window3-0", "truncated", "count-max", "count-negative", "garbage-tail", "lf", "half")

def put(target, name, data):
    # The meet check reads every file at each run: a few cuts of the first two meets.
    if target == "check" and (not name.startswith(("m0-", "m1-")) or not name.endswith(CHECK_CUTS)):
        return
    data = bytes(data)[:LIMIT]
    d = os.path.join(raw, target)
    os.makedirs(d, exist_ok=True)
    n = made.setdefault(target, 0)
    made[target] = n + 1
    with open(os.path.join(d, "%04d-%s" % (n, name)), "wb") as f:
        f.write(data)

def find(folder, name):
    for p in glob.glob(os.path.join(folder, "*")):
        if os.path.basename(p).lower() == name.lower():
            return p
    return None

def read(path):
    with open(path, "rb") as f:
        return f.read()

# Fixed-record files: (targets, file name, record length, first counted
# record, count offset, count size).
LAYOUTS = [
    (["taikai_records", "taikai"], "taikai.dat", 256, 11, 0, 2),
    (["relay_records", "relay"], "relay.dat", 256, 11, 0, 2),
    (["hpro_records", "hpro"], "hpro.dat", 128, 11, 0, 2),
    (["projun_records", "projun"], "projun.dat", 64, 11, 0, 2),
    (["nyusho_records", "nyusho"], "nyusho.dat", 318, 11, 0, 2),
    (["biko_records", "biko"], "biko.dat", 48, 2, 0, 2),
    (["optkubun_records", "optkubun"], "optkubun.dat", 32, 2, 0, 2),
    (["shikaku_records", "shikaku"], "shikaku.dat", 384, 1, None, 0),
]
CHECK_KINDS = ["kijun.dat", "taikai.dat", "relay.dat", "Race.dat", "projun.dat", "hpro.dat", "shikaku.dat",
               "biko.dat", "optkubun.dat", "fz.Mos", "goal", "lap"]

def with_count(head, at, size, n):
    head = bytearray(head)
    if at is None:
        return head
    head[at:at + size] = struct.pack("<h" if size == 2 else "<i", max(-2**(8 * size - 1), min(n, 2**(8 * size - 1) - 1)))
    return head

def cuts(data, length, first, at, size):
    """A file's cuts: whole when small, else the header records and windows
    of records with the count made to fit; then the bad kinds the tests plant."""
    out = []
    records = (len(data) + length - 1) // length
    head = data[:(first - 1) * length]
    body = [data[i * length:(i + 1) * length] for i in range(first - 1, records)]
    if len(data) <= LIMIT:
        out.append(("whole", data))
    for k in (1, 3, 8, 20):
        if k > len(body) or (first - 1 + k) * length > LIMIT:
            continue
        for start in sorted({0, len(body) // 2, len(body) - k}):
            win = b"".join(body[start:start + k])
            out.append(("window%d-%d" % (k, start), bytes(with_count(head, at, size, k)) + win))
    sample = out[-1][1] if out else data[:LIMIT]
    out.append(("truncated", sample[: max(0, len(sample) - length // 2 - 1)]))
    out.append(("header-only", sample[:(first - 1) * length or length]))
    out.append(("ten-bytes", sample[:10]))
    out.append(("eleven-bytes", sample[:11]))
    if at is not None:
        for n, tag in ((32767, "count-max"), (-1, "count-negative"), (-32768, "count-min")):
            out.append((tag, bytes(with_count(sample[:length], at, size, n)) + sample[length:]))
    out.append(("garbage-tail", sample + bytes((i * 37 + 11) & 0xff for i in range(length + 7))))
    return out

goal_lines, lap_lines = [], []
for mi, meet in enumerate(meets):
    tag = "m%d" % mi
    for targets, name, length, first, at, size in LAYOUTS:
        p = find(meet, name)
        if not p:
            continue
        for cut, data in cuts(read(p), length, first, at, size):
            for t in targets:
                put(t, "%s-%s" % (tag, cut), data)
            if name in CHECK_KINDS:
                put("check", "%s-%s-%s" % (tag, name, cut), bytes([CHECK_KINDS.index(name)]) + data[:LIMIT - 1])
    # The entry file lives in the entry folder beside the meets.
    for p in glob.glob(os.path.join(os.path.dirname(os.path.dirname(meet)), "entries", "*.Mos")):
        for cut, data in cuts(read(p), 384, 11, 0, 4):
            put("entry_records", "%s-%s" % (tag, cut), data)
            put("entry", "%s-%s" % (tag, cut), data)
            put("check", "%s-entry-%s" % (tag, cut), bytes([CHECK_KINDS.index("fz.Mos")]) + data[:LIMIT - 1])
    p = find(meet, "Race.dat")
    if p:
        states = read(p)
        for race, state in ((1, b"8"), (2, b"6"), (len(states.rstrip(b"0")) + 1, b"7"), (1025, b"1"), (32757, b"8"),
                            (32767, b"8"), (0, b"7")):
            put("race_state_bytes", "%s-race%d" % (tag, race), struct.pack("<H", race) + state + states)
        timing = bytearray(states)
        timing[1:len(states.rstrip(b"0")):7] = b"6" * len(timing[1:len(states.rstrip(b"0")):7])
        for cut, data in (("whole", states), ("short", states[:37]), ("empty", b""), ("two-records", states * 2),
                          ("garbage", bytes((i * 91 + 3) & 0xff for i in range(1100))), ("timing", bytes(timing)),
                          ("one-byte", states[:1]), ("record-and-one", states + b"1"), ("printed", b"8" * len(states)),
                          ("nul", states.replace(b"0", b"\0"))):
            put("race_state_bytes", "%s-%s" % (tag, cut), b"\x03\x00" + b"8" + data)
            put("race_states", "%s-%s" % (tag, cut), data)
            put("check", "%s-Race.dat-%s" % (tag, cut), bytes([CHECK_KINDS.index("Race.dat")]) + data[:LIMIT - 1])
    p = find(meet, "kijun.dat")
    if p:
        k = read(p)
        values = k.rstrip(b"\r\n").split(b",")
        variants = [("whole", k), ("lf", k.replace(b"\r\n", b"\n")), ("half", b",".join(values[:40])),
                    ("one", values[0]), ("empty", b""), ("extra", k.rstrip(b"\r\n") + b",9,9,9\r\n"),
                    ("garbage", bytes((i * 53 + 7) & 0xff for i in range(300))),
                    ("big-numbers", b",".join(v if i % 3 else b"99999999999" for i, v in enumerate(values)))]
        for cut, data in variants:
            put("kijun_line", "%s-%s" % (tag, cut), data)
            put("kijun", "%s-%s" % (tag, cut), data)
            put("check", "%s-kijun-%s" % (tag, cut), bytes([CHECK_KINDS.index("kijun.dat")]) + data)
    goal_lines += sorted(glob.glob(os.path.join(meet, "goal", "*")))[:6]
    lap_lines += sorted(glob.glob(os.path.join(meet, "lap", "*")))[:6]
    # The text dumps: the first lines of each, and the bad kinds.
    dumps = os.path.join(os.path.dirname(os.path.dirname(meet)), "dumps")
    for kind, name in enumerate(["qkyogi.txt", "qpro.txt", "qhpro.txt", "qrlay.txt"]):
        p = os.path.join(dumps, name)
        if not os.path.exists(p):
            continue
        lines = read(p).split(b"\r\n")
        for n in (1, 4, 30):
            text = b"\r\n".join(lines[:n]) + b"\r\n"
            if len(text) < LIMIT:
                put("dump_lines", "%s-%s-%d" % (tag, name, n), bytes([kind]) + text)
                if kind == 0:
                    put("dumps", "%s-%s-%d" % (tag, name, n), text)
        first = lines[0]
        for cut, text in (("short-line", first[: len(first) // 2]), ("lf", first + b"\n" + first + b"\n"),
                          ("extra-value", first + b",1"), ("big-number", first.replace(b",", b",99999999999,", 1)),
                          ("control", first.replace(b",", b",\x01", 1)), ("bad-sjis", first + b"\x81")):
            put("dump_lines", "%s-%s-%s" % (tag, name, cut), bytes([kind]) + text)
            if kind == 0:
                put("dumps", "%s-%s-%s" % (tag, name, cut), text)
    # Qsik.txt: a line of 50 standard times from the meet's own standards.
    p = find(meet, "shikaku.dat")
    if p:
        s = read(p)
        rows = []
        for r in range(270, 276):
            rec = s[r * 384:(r + 1) * 384]
            times = [struct.unpack_from("<i", rec, 2 + 4 * c)[0] for c in range(50)]
            rows.append(b",".join(b"%d" % t for t in times))
        put("dump_lines", "%s-Qsik" % tag, b"\x04" + b"\r\n".join(rows) + b"\r\n")
        put("dumps", "%s-Qsik" % tag, b"\r\n".join(rows) + b"\r\n")

# Timing files: as the stand-in writes them, and the bad kinds.
for i, p in enumerate(goal_lines):
    g = read(p)
    for cut, data in (("whole", g), ("lf", g.replace(b"\r\n", b"\n")), ("half", g[: len(g) // 2])):
        put("goal_lines", "g%d-%s" % (i, cut), data)
        put("goal", "g%d-%s" % (i, cut), data)
for cut, data in (("garbage", bytes((i * 29 + 5) & 0xff for i in range(400))), ("no-time", b"1,9999\r\n2,abc\r\n"),
                  ("quoted", b'"1","3012"\r\n"2" ,"3100" x\r\n'), ("empty", b""), ("blank-lines", b"\r\n\r\n\n"),
                  ("long", b"1," + b"9" * 40 + b"\r\n"), ("eleven", b"".join(b"%d,%d\r\n" % (n, 3000 + n) for n in range(1, 12)))):
    put("goal_lines", cut, data)
    put("goal", cut, data)
for i, p in enumerate(lap_lines):
    l = read(p)
    for final in (0, 3012, 999999):
        put("lap_lines", "l%d-%d" % (i, final), struct.pack("<i", final) + l)
    put("lap", "l%d" % i, l)
for cut, data in (("garbage", bytes((i * 17 + 1) & 0xff for i in range(500))), ("no-lane", b"x,00:15.10\r\n"),
                  ("long-split", b"3,0000:15.100000,G\r\n"), ("many", b"".join(b"4,00:%02d.00\r\n" % (n % 60) for n in range(80))),
                  ("lane-11", b"11,00:15.10,G\r\n"), ("quoted", b'"2","00:15.10","G"\r\n')):
    put("lap_lines", cut, struct.pack("<i", 3012) + data)
    put("lap", cut, data)

# The folder configuration as the hub writes it, and the bad kinds.
good = b"/w\r\n/work/meets/demo,/w\r\n/work/entries,demo.Mos\r\n"
for cut, data in (("whole", good), ("lf", good.replace(b"\r\n", b"\n")), ("one-line", b"/w\r\n"),
                  ("two-lines", b"/w\r\n/m,/w\r\n"), ("nul", good.replace(b"demo,", b"de\x00mo,")), ("empty", b""),
                  ("sjis", "/w\r\n/大会/春,/w\r\n/申込,春季.Mos\r\n".encode("cp932")), ("bad-sjis", good + b"\x82"),
                  ("root", b"/\r\n/,/\r\n/,x.Mos\r\n"), ("trailing", b"/w\r\n/m/,/w\r\n/e//,a.Mos\r\n"),
                  ("extra", good + b"x,y,z\r\n"), ("cr-only", good.replace(b"\r\n", b"\r")),
                  ("windows", b"C:\r\nC:\\meets\\demo,C:\r\nC:\\entries,DEMO.MOS\r\n"),
                  ("blanks", b" /w \r\n /m a ,/w\r\n /e b , x.Mos \r\n"), ("commas", b",,,,,,\r\n"),
                  ("four-values", b"/w\r\n/m,/w\r\n/e\r\n"), ("no-line-end", good.rstrip(b"\r\n")),
                  ("kana", "/w\r\n/ﾒｰﾄ,/w\r\n/ｴﾝﾄﾘｰ,ｱ.Mos\r\n".encode("cp932")), ("long", b"/w\r\n/" + b"m" * 5000 + b",/w\r\n/e,x\r\n"),
                  ("tabs", b"/w\r\n/m\t,/w\r\n/e\t,\tx.Mos\r\n"), ("quoted", b'"/w"\r\n"/m","/w"\r\n"/e","x.Mos"\r\n')):
    put("folder_lines", cut, data)
    put("folders", cut, data)

# Requests to the live server: what browsers and the pages send, and the
# hostile ones the server's tests plant.
reqs = [
    b"GET / HTTP/1.1\r\nHost: desk\r\n\r\n",
    b"GET /event/1 HTTP/1.1\r\nHost: desk\r\nAccept-Encoding: gzip, deflate\r\n\r\n",
    b"GET /api/race/3 HTTP/1.1\r\nHost: desk\r\nIf-None-Match: \"abc\", W/\"x-gz\"\r\n\r\n",
    b"HEAD /points HTTP/1.0\r\n\r\n",
    b"GET /api/meet HTTP/1.0\r\nConnection: keep-alive\r\n\r\n",
    b"OPTIONS * HTTP/1.1\r\nHost: desk\r\n\r\n",
    b"GET /api/stream HTTP/1.1\r\nLast-Event-ID: 4\r\n\r\n",
    b"GET /swimmer/12 HTTP/1.1\r\n\r\nGET /team/00012 HTTP/1.1\r\nConnection: close\r\n\r\n",
    b"GET http://desk:8080/api/search?q=a HTTP/1.1\r\n\r\n",
    b"\r\n\r\nGET /race/1?x#y HTTP/1.1\nHost: d\n\n",
    b"POST /api/meet HTTP/1.1\r\nContent-Length: 5\r\n\r\nhello",
    b"PUT / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n",
    b"GET / HTTP/2.0\r\n\r\n",
    b"GET /\x01 HTTP/1.1\r\n\r\n",
    b"GET / HTTP/1.1\r\n folded\r\n\r\n",
    b"GET / HTTP/1.1\r\nContent-Length: 0\r\nContent-Length: 1\r\n\r\n",
    b"GET / HTTP/1.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n\r\n",
    b"GET /" + b"a" * 9000 + b" HTTP/1.1\r\n\r\n",
    b"GET / HTTP/1.1\r\nX: " + b"b" * 12000 + b"\r\n\r\n",
    b"GET / HTTP/1.1\r\nHost: desk\r\n",
    b"GET /event/2 HTTP/1.1\r\nAccept-Encoding: gzip;q=0\r\nConnection: close\r\n\r\n",
    b"DELETE /api/meet HTTP/1.1\r\n\r\n",
]
for i, r in enumerate(reqs):
    for cut in (0, len(r) // 2, len(r)):
        put("http_request", "r%d-%d" % (i, cut), struct.pack("<H", cut) + r)
PY

echo "fuzz-corpus: minimising"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The seed file each whole-screen target's meet folder is made from.
declare -A named=([kijun]=kijun.dat [taikai]=taikai.dat [relay]=relay.dat [race_states]=Race.dat [projun]=projun.dat
  [hpro]=hpro.dat [shikaku]=shikaku.dat [biko]=biko.dat [optkubun]=optkubun.dat [entry]=fz.Mos [goal]=G0001
  [lap]=R0001)
for t in "${targets[@]}"; do
  [ -d "$raw/$t" ] || { echo "fuzz-corpus: $t: nothing cut for it, corpus kept" >&2; continue; }
  new=$work/min/$t
  mkdir -p "$new"
  keep=${named[$t]:-}
  [ -n "$keep" ] && cp "tests/fuzz/corpus/$t/$keep" "$new/"
  "build-fuzz/tests/fuzz/fuzz_$t" -merge=1 -timeout=60 -rss_limit_mb=2048 "$new" "$raw/$t" >"$work/$t.merge.log" 2>&1 ||
    { echo "fuzz-corpus: $t: merge failed, see below" >&2; tail -20 "$work/$t.merge.log" >&2; exit 1; }
  merged=$(ls "$new" | wc -l)
  # At least 20 inputs: the smallest of those the merge left out, one of each cut in turn.
  if [ "$merged" -lt 20 ]; then
    (cd "$raw/$t" && ls -S -r) | while read -r f; do
      [ "$(ls "$new" | wc -l)" -ge 20 ] && break
      sum=$(sha1sum <"$raw/$t/$f" | cut -c1-40)
      [ -e "$new/$sum" ] || cp "$raw/$t/$f" "$new/$sum"
    done
  fi
  rm -rf "tests/fuzz/corpus/$t"
  cp -r "$new" "tests/fuzz/corpus/$t"
  echo "fuzz-corpus: $t: $(ls "$raw/$t" | wc -l) cut, $merged kept by -merge=1, $(ls "tests/fuzz/corpus/$t" | wc -l) in the corpus ($(du -sk "tests/fuzz/corpus/$t" | cut -f1) KB)"
done
