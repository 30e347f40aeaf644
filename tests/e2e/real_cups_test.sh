#!/usr/bin/env bash
# The paper-size tools against a real, private CUPS scheduler and the PPDs of
# Debian's DYMO and Brother drivers.  Skips (77) only without cupsd.
#   real_cups_test.sh SOURCE_DIR CUPS_TOOL LPR_TOOL
set -uo pipefail
source_dir=$1 cups_tool=$2 lpr_tool=$3 lib=/usr/lib/cups PATH=$PATH:/usr/sbin
command -v cupsd >/dev/null || { echo "cupsd is not installed: skipped"; exit 77; }
ls $lib/driver/{dymo,ptouch} /usr/bin/{gs,cupstestppd,ppdc} $lib/filter/{pstops,gstoraster,foomatic-rip,raster2dymolw,rastertoptch} \
  >/dev/null || { echo "FAIL: drivers or filters missing (above): install the packages of scripts/packages"; exit 1; }

root=$(mktemp -d) && chmod 755 "$root"  # the filters run as lp
. "$source_dir/scripts/private-cupsd"
trap 'private_cupsd_stop "$root"; rm -rf "$root"' EXIT
# The scheduler's ServerBin is the system's, but the drivers' last filters keep
# the raster they get as capture/QUEUE (whole once the job is done).
bin=$root/serverbin cap=$root/capture kept=$root/ppds
mkdir -p "$root/tmp" "$cap" "$kept"/{driver,orig,added} && chmod 1777 "$cap" && cp -as "$lib" "$bin"
printf '#!/bin/sh\nexec cat >"%s/$PRINTER"\n' "$cap" >"$bin/capture" && chmod 755 "$bin/capture"
for name in raster2dymolw raster2dymolm rastertoptch; do ln -sf ../capture "$bin/filter/$name"; done
PRIVATE_CUPSD_SERVERBIN=$bin private_cupsd_start "$root" || exit 1
. "$root/cupsd/env" && export CORVANE_TEST_ROOT=$root

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_eq() { [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"; }  # WHAT EXPECTED ACTUAL
run() {  # COMMAND…: exits 0, no stderr but lpadmin's notice (where a failed CUPS command is said)
  "$@" 2>"$root/stderr" || fail "$* exited $?"
  grep -v 'drivers are deprecated' "$root/stderr" && fail "$* said that"
}
ppd_of() { echo "$root/etc/cups/ppd/$1.ppd"; }
make_queue() {  # QUEUE PPD [URI]; keeps the PPD CUPS stored as orig/QUEUE.ppd
  lpadmin -p "$1" -E -v "${3:-file:///dev/null}" -P "$2" 2>/dev/null && cp "$(ppd_of "$1")" "$kept/orig/" || fail "no queue $1"
}
page_sizes() { lpoptions -p "$1" -l | sed -n 's/^PageSize[^:]*: //p' | tr ' ' '\n'; }  # one a line, the default marked *
# cupstestppd's FAIL and WARN lines in DIR as "QUEUE: line", of files QUEUE[+…].ppd; not those on
# translations, nor its advice to name a size in the standard way, which a format's identifier is not.
problem_lines() {
  (cd "$1" && cupstestppd -W all ./*.ppd 2>&1) | awk '/^[^ \t].*: (PASS|FAIL)$/ { key = substr($1, 3); sub(/\+.*|\.ppd:$/, "", key) }
    /FAIL\*\*|WARN/ && !/ranslation|Size "CvL.* standard name/ { sub(/^[ \t]*/, ""); print key ": " $0 }' | sort -u
}
# Adds label NAME to QUEUE; CUPS offers it, the PPD has each entry once (kept as added/QUEUE+NAME).  Sets `id`.
add() {  # QUEUE NAME IMAGEABLE_AREA PAPER_DIMENSION OPTION…
  local queue=$1 name=$2 area=$3 dimension=$4 ppd
  run "$cups_tool" -P "$queue" -n "$name" "${@:5}"
  ppd=$(ppd_of "$queue")
  id=$(sed -n "s|^\*PageSize \(CvL[0-9A-F]*\)/$name:.*|\1|p" "$ppd")  # two lines if NAME is there twice
  [[ $id =~ ^CvL[0-9A-F]{12}$ ]] || fail "$queue: no well-formed identifier for $name [$id]"
  page_sizes "$queue" | tr -d '*' | grep -qxF -- "$id" || fail "$queue: CUPS does not offer $id"
  expect_eq "$queue: its four lines, each once" 4 "$(tr -d '\r' <"$ppd" | grep -cxF -e "*PageSize $id/$name:"$'\t\t''"          "' \
    -e "*PageRegion $id/$name:"$'\t\t''"          "' -e "*ImageableArea $id/$name:"$'\t'"\"$area\"" \
    -e "*PaperDimension $id/$name:"$'\t'"\"$dimension\"")"
  cp "$ppd" "$kept/added/$queue+$name.ppd"
}
# Removes NAME; the PPD is then ORIGINAL byte for byte, but with DEFAULT, if given, as the
# four size defaults (lpadmin -o PageSize sets all four); that one is kept for cupstestppd.
remove() {  # QUEUE NAME ORIGINAL [DEFAULT]
  local want="${4:+s/^(\*Default(PageSize|PageRegion|ImageableArea|PaperDimension):).*/\1\t$4/}"
  run "$cups_tool" -P "$1" -d "$2"
  diff <(sed -E "$want" "$3") "$(ppd_of "$1")" || fail "$1: not ${4:+defaults $4 in }$3 after the removal (as above)"
  [ -z "${4:-}" ] || cp "$(ppd_of "$1")" "$kept/added/$1+removed.ppd"
}

sample=$source_dir/samples/ppd/label-printer.ppd
# 1. A queue's state outlives the re-registration: URI with ? and &, description with an apostrophe
#    (lpoptions quotes it without escaping), location, not shared, default, class, paused with two jobs.
uri='ipp://127.0.0.1:9/printers/label?waitjob=false&contimeout=30'
make_queue Remote "$sample" "$uri" && make_queue Other "$sample"
lpadmin -p Remote -D "Bob's printer" -L "Shelf 2" -o printer-is-shared=false -o PageSize=62x100
lpadmin -p Remote -c Labels && lpadmin -p Other -c Labels && cupsdisable Remote
for _ in 1 2; do lp -d Remote -o raw "$sample" >/dev/null; done
# lpadmin -P itself drops the reason "paused"; the queue stays stopped.
state() {
  lpoptions -p Remote | tr ' ' '\n' | grep -v '^printer-state-reasons='
  lpstat -v Remote -p Remote -c Labels; lpstat -o Remote | cut -d' ' -f1 | xargs; page_sizes Remote | grep '^\*'
}
before=$(state)
for word in "for Remote: $uri" "='Bob's" "='Shelf" shared=false "Remote disabled" "Remote-1 Remote-2" "*62x100" "class Labels:"; do
  grep -qF -- "$word" <<<"$before" || fail "Remote was not set up: no [$word]"; done
add Remote Remote30 "2.83 2.83 82.20 223.94" "85.04 226.77" -w 30 -h 80 -l 1 -t 1 -r 1 -b 1
diff <(echo "$before") <(state) || fail "Remote changed by the addition, as above"
run "$cups_tool" -P Remote -d Remote30
diff <(echo "$before") <(state) || fail "Remote changed by the removal, as above"

# 2. Every PPD the DYMO and Brother drivers hand out (fetched as cupsd does), ppdc's label printers and
#    the driver's own sample (the one with margin constraints), also as other PPDs spell it (a TAB
#    after "*CloseUI:", CR LF lines, no line feed at the end): a label as wide as the printer takes,
#    40 mm long, added and removed.  On one of each maker a page printed on it reaches the driver's
#    filter at its size, and the defaults fall back to the first size.
for driver in dymo ptouch; do "$lib/driver/$driver" list | cut -d'"' -f2; done >"$root/uris"
expect_eq "DYMO and Brother PPDs" "25 33" "$(grep -c ^dymo: "$root/uris") $(grep -c ^ptouch: "$root/uris")"
xargs -P2 -I{} sh -c '"$0/${1%%:*}" cat "$1" >"$2/${1##*/}"' "$lib/driver" {} "$kept/driver" <"$root/uris"
ppdc -d "$root/ppdc" /usr/share/cups/drv/sample.drv || fail "ppdc could not build its samples"
for model in dymo intelbar zebra zebracpl zebraep1 zebraep2; do cp "$root/ppdc/$model.ppd" "$kept/driver/ppdc-$model.ppd"; done
cp "$sample" "$kept/driver/Sample.ppd" && sed 's/^\*CloseUI: \*Page/*CloseUI:\t*Page/' "$sample" >"$kept/driver/Sample-tab.ppd"
sed 's/$/\r/' "$sample" >"$kept/driver/Sample-crlf.ppd" && printf %s "$(cat "$sample")" >"$kept/driver/Sample-unended.ppd"
printf '%%!PS\n10 10 moveto 20 0 rlineto 0 20 rlineto fill showpage\n' >"$root/page.ps"
for input in "$kept"/driver/*.ppd; do
  queue=$(basename "$input" .ppd) first=
  make_queue "$queue" "$input"
  # As wide as the widest page size, or *MaxMediaWidth if less, in whole mm; its entries in points.
  { read -r width; read -r area; read -r dimension; } < <(awk '/^\*PaperDimension/ { sub(/.*:[ \t]*"/, ""); if ($1 + 0 > w) w = $1 }
    /^\*MaxMediaWidth/ { gsub(/[^0-9.]/, ""); m = $0 }
    function p(mm) { return sprintf("%.2f", mm / 25.4 * 72) }
    END { if (m != "" && m + 0 < w) w = m; w = int(w / 72 * 25.4)
      print w; print p(1) " " p(2) " " p(w - 1.5) " " p(40 - 2.5); print p(w) " " p(40) }' "$input")
  add "$queue" L40 "$area" "$dimension" -w "$width" -h 40 -l 1 -t 2 -r 1.5 -b 2.5
  if [[ $queue == lw450 || $queue == Brother-QL-570-ptouch-ql ]]; then
    lp -d "$queue" -o "PageSize=$id" "$root/page.ps" >/dev/null || fail "$queue: lp failed"
    for _ in $(seq 600); do [ -f "$cap/$queue" ] && [ -z "$(lpstat -o "$queue")" ] && break; sleep 0.1; done
    # Raster: sync word, page header with ImagingBoundingBox[4] at byte 284, PageSize[2] at 352.
    [[ $(head -c4 "$cap/$queue" 2>&1) == [23t]SaR ]] && order=little || order=big
    got=$(od -An -tu4 --endian=$order -j 288 -N 76 "$cap/$queue" 2>&1 | xargs | awk '{ print $18, $19, $1, $2, $3, $4 }')
    awk -v a="$dimension $area" -v b="$got" 'BEGIN { n = split(a, x); ok = split(b, y) == n
      for (i = 1; i <= n; i++) ok = ok && (x[i] - y[i]) ^ 2 <= 1; exit !ok }' ||
      fail "$queue: the page reached the driver as [$got] (size, imaging box), not within a point of [$dimension $area]"
    lpadmin -p "$queue" -o "PageSize=$id"
    first=$(sed -n 's/^\*PageSize \([^/: ]*\).*/\1/p' "$kept/orig/$queue.ppd" | head -1)
  fi
  remove "$queue" L40 "$kept/orig/$queue.ppd" "$first"
done

expect_eq "cupstestppd FAIL and WARN lines the originals do not have" "" \
  "$(comm -13 <(problem_lines "$kept/orig") <(problem_lines "$kept/added"))"
grep -q $'\r$' "$kept/orig/Sample-crlf.ppd" || fail "CUPS stored Sample-crlf without its CR LF line endings"

# 3. The LPRng tool on a paused queue that holds a job: adding a format of a name again keeps it the
#    queue's default through one lpadmin; a PPD set up afresh has lost the formats, and -sync puts
#    them back through one lpadmin, leaving the job and the pause.
tree=$root/opt/corvane/km3030/bin lpr=$root/cvpapertoollpr_km3030 calls=$root/lpadmin.calls
mkdir -p "$tree/lpd" "$root/bin" && cp -r "$source_dir/samples/driver/km3030/bin/inf" "$tree/"
ln -s "$cups_tool" "$tree/lpd/cvpapertoolcups" && ln -s "$lpr_tool" "$lpr"
printf '#!/bin/sh\necho "$*" >>%s\nexec %s "$@"\n' "$calls" "$(command -v lpadmin)" >"$root/bin/lpadmin" && chmod 755 "$root/bin/lpadmin"
counted() { rm -f "$calls"; PATH=$root/bin:$PATH run "$@"; expect_eq "$* runs lpadmin once" 1 "$(wc -l <"$calls")"; }
id_of() { "$lpr" -list "${2:-Model}" | awk -F'\t' -v name="$1" '$4 == name { print $1 }'; }  # NAME [QUEUE]
make_queue Model "$sample" && cupsdisable Model && lp -d Model -o raw "$sample" >/dev/null
for n in 1 2 3; do run "$lpr" -P Model -n "Format $n" -w $((20 + n)) -h 30 -l 1 -t 1 -r 1 -b 1; done
lpadmin -p Model -o PageSize="$(id_of "Format 2")"
counted "$lpr" -P Model -n "Format 2" -w 22 -h 30 -l 2 -t 1 -r 1 -b 1
expect_eq "the default after Format 2 was added again" "*$(id_of "Format 2")" "$(page_sizes Model | grep '^\*')"
lpadmin -p Model -P "$sample" 2>/dev/null
expect_eq "the PPD set up afresh" "- - -" "$("$lpr" -list Model | cut -f5 | xargs)"
counted "$lpr" -sync Model >"$root/synced"
expect_eq "what -sync restored" "ppd ppd ppd" "$(cut -f5 "$root/synced" | xargs)"
expect_eq "the page sizes after -sync" "$(id_of "Format 1") $(id_of "Format 2") $(id_of "Format 3")" \
  "$(page_sizes Model | grep -x 'CvL.*' | sort | xargs)"
expect_eq "-list after -sync" "ppd ppd ppd" "$("$lpr" -list Model | cut -f5 | xargs)"
expect_eq "Model's job and pause" "1 disabled" "$(lpstat -o Model | wc -l) $(lpstat -p Model | grep -o disabled)"
# A removal whose lpadmin fails leaves the format in CUPS; -list shows it as ppd-only, and the same
# removal again takes it out.
mkdir "$root/failing" && printf '#!/bin/sh\nexit 1\n' >"$root/failing/lpadmin" && chmod 755 "$root/failing/lpadmin"
gone=$(id_of "Format 3") && PATH=$root/failing:$PATH "$lpr" -P Model -d "Format 3" 2>/dev/null
expect_eq "-list after a removal lpadmin failed" "$gone ppd-only" "$("$lpr" -list Model | awk -F'\t' '$4 == "Format 3" { print $1, $5 }')"
run "$lpr" -P Model -d "Format 3"
page_sizes Model | grep -qx "$gone" && fail "CUPS still offers $gone after the second removal"

# 4. A format named by the calling user's default (lpoptions), the queue's own (lpadmin -o
#    PageSize-default) and the PPD's (lpadmin -o PageSize): a margin change keeps its identifier, so
#    all three stay and a job prints at it; a width change moves all three through one lpadmin; a
#    removal leaves nothing naming it.
mkdir -m 777 "$root/out" && make_queue Shelf "$sample" "file://$root/out/Shelf.ps"
defaults() { echo $(HOME=/nonexistent lpoptions -p Shelf | grep -o 'PageSize=[^ ]*') $(lpoptions -p Shelf |
  grep -o 'PageSize=[^ ]*') $(awk '/^\*DefaultPageSize:/ { print $2 }' "$(ppd_of Shelf)"); }
run "$lpr" -P Shelf -n Shelf -w 50 -h 25 -l 1.5 -t 1 -r 1.5 -b 1
old=$(id_of Shelf Shelf)
lpoptions -p Shelf -o PageSize="$old" >/dev/null && lpadmin -p Shelf -o PageSize-default="$old" -o PageSize="$old"
grep -qx "Dest Shelf PageSize=$old" "$HOME/.cups/lpoptions" || fail "the user's default was not set"
counted "$lpr" -P Shelf -n Shelf -w 50 -h 25 -l 2 -t 1 -r 2 -b 1
expect_eq "the defaults after a margin change" "PageSize=$old PageSize=$old $old" "$([ "$(id_of Shelf Shelf)" = "$old" ] && defaults)"
lp -d Shelf "$root/page.ps" >/dev/null
for _ in $(seq 300); do [ -s "$root/out/Shelf.ps" ] && [ -z "$(lpstat -o Shelf)" ] && break; sleep 0.1; done
grep -qa "^%%BeginFeature: \*PageSize $old" "$root/out/Shelf.ps" || fail "the job was not printed at $old"
counted "$lpr" -P Shelf -n Shelf -w 51 -h 25 -l 2 -t 1 -r 2 -b 1
new=$(id_of Shelf Shelf)
expect_eq "the defaults after a width change" "PageSize=$new PageSize=$new $new" "$([ "$new" != "$old" ] && defaults)"
run "$lpr" -P Shelf -d Shelf
grep -l "$new" "$(ppd_of Shelf)" "$HOME/.cups/lpoptions" <(lpoptions -p Shelf) <(HOME=/nonexistent lpoptions -p Shelf) &&
  fail "$new is still named after its removal (above)"
[ "$failures" = 0 ] && echo "real CUPS end to end: all checks passed"
exit $((failures != 0))
