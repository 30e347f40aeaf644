#!/usr/bin/env bash
# The paper-size tools against a real, private CUPS scheduler and the PPDs of
# Debian's DYMO and Brother drivers.  Skips (77) only without cupsd.
#   real_cups_test.sh SOURCE_DIR CUPS_TOOL LPR_TOOL
set -uo pipefail
source_dir=$1 cups_tool=$2 lpr_tool=$3 lib=/usr/lib/cups
PATH=$PATH:/usr/sbin
command -v cupsd >/dev/null || { echo "cupsd is not installed: skipped"; exit 77; }
ls $lib/driver/{dymo,ptouch} /usr/bin/{gs,cupstestppd,ppdc} $lib/filter/{pstops,gstoraster,foomatic-rip,raster2dymolw,rastertoptch} \
  >/dev/null || { echo "FAIL: drivers or filters missing (above): install the packages of scripts/packages"; exit 1; }

root=$(mktemp -d) && chmod 755 "$root"  # the filters run as lp
. "$source_dir/scripts/private-cupsd"
trap 'private_cupsd_stop "$root"; rm -rf "$root"' EXIT
# The scheduler's ServerBin is the system's, but the drivers' last filters keep
# the raster they get as capture/QUEUE (whole once the job is done).
bin=$root/serverbin cap=$root/capture kept=$root/ppds
mkdir -p "$root/tmp" "$root/opt/corvane" "$bin/filter" "$cap" "$kept"/{driver,orig,added} && chmod 1777 "$cap"
for dir in "$lib"/*; do [ "${dir##*/}" = filter ] || ln -s "$dir" "$bin/"; done
ln -s "$lib"/filter/* "$bin/filter/"
printf '#!/bin/sh\nexec cat >"%s/$PRINTER"\n' "$cap" >"$bin/capture" && chmod 755 "$bin/capture"
for name in raster2dymolw raster2dymolm rastertoptch; do ln -sf ../capture "$bin/filter/$name"; done
PRIVATE_CUPSD_SERVERBIN=$bin private_cupsd_start "$root" || exit 1
. "$root/cupsd/env" && export CORVANE_TEST_ROOT=$root

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_eq() { [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"; }  # WHAT EXPECTED ACTUAL
expect_line() { grep -qxF -- "$3" "$2" || fail "$1: no line [$3] in $2"; }  # WHAT FILE LINE
# run COMMAND…: exits 0, no stderr but lpadmin's notice (where a failed CUPS command is said).
run() {
  "$@" 2>"$root/stderr" || fail "$* exited $?"
  grep -v 'drivers are deprecated' "$root/stderr" && fail "$* said that"
}
ppd_of() { echo "$root/etc/cups/ppd/$1.ppd"; }
make_queue() { lpadmin -p "$1" -E -v "${3:-file:///dev/null}" -P "$2" 2>/dev/null || fail "no queue $1"; }
# The PageSize choices CUPS offers for a queue, one a line, the default marked *.
page_sizes() { lpoptions -p "$1" -l | sed -n 's/^PageSize[^:]*: //p' | tr ' ' '\n'; }
offers() { page_sizes "$1" | tr -d '*' | grep -qxF -- "$2"; }
same_but_defaults() {  # ORIGINAL QUEUE: the queue's PPD differs at most in *Default lines
  cmp -s <(grep -v '^\*Default' "$1") <(grep -v '^\*Default' "$(ppd_of "$2")") || fail "$2: more than defaults changed"
}
entries() {  # W H L T R B (mm): the ImageableArea and PaperDimension values, in points
  awk -v v="$*" 'function p(mm) { return sprintf("%.2f", mm / 25.4 * 72) } BEGIN { split(v, a)
    print p(a[3]) " " p(a[4]) " " p(a[1] - a[5]) " " p(a[2] - a[6]); print p(a[1]) " " p(a[2]) }'
}
# cupstestppd's FAIL lines (not on translations) in DIR as "KEY: line", KEY = file name up to a "+".
fail_lines() {
  (cd "$1" && cupstestppd ./*.ppd 2>&1) | awk '/^[^ \t].*: (PASS|FAIL)$/ { key = substr($1, 3); sub(/[+:].*/, "", key) }
    /FAIL\*\*/ && !/ranslation/ { sub(/^[ \t]*/, ""); print key ": " $0 }' | sort -u
}
# After an addition: CUPS offers the format, the PPD has its entries.  Sets `id`, keeps the PPD as KEY.
check_added() {  # QUEUE NAME KEY IMAGEABLE_AREA PAPER_DIMENSION
  local queue=$1 name=$2 ppd key
  ppd=$(ppd_of "$queue")
  id=$(sed -n "s|^\*PageSize \(CvL[0-9A-F]*\)/$name:.*|\1|p" "$ppd" | head -1)
  [[ $id =~ ^CvL[0-9A-F]{12}$ ]] || fail "$queue: no well-formed identifier for $name [$id]"
  offers "$queue" "$id" || fail "$queue: CUPS does not offer $id"
  for key in PageSize PageRegion; do expect_line "$queue $key" "$ppd" "*$key $id/$name:"$'\t\t''"          "'; done
  expect_line "$queue imageable area" "$ppd" "*ImageableArea $id/$name:"$'\t'"\"$4\""
  expect_line "$queue paper dimension" "$ppd" "*PaperDimension $id/$name:"$'\t'"\"$5\""
  cp "$ppd" "$kept/added/$3.ppd"
}
# After a removal of ID, the queue's defaults named it (lpadmin -o PageSize sets all four).
check_removed() {  # QUEUE ID DEFAULT
  offers "$1" "$2" && fail "$1: CUPS still offers $2"
  grep -qF -- "$2" "$(ppd_of "$1")" && fail "$1: the PPD still names $2"
  for key in PageSize PageRegion ImageableArea PaperDimension; do
    expect_line "$1 default" "$(ppd_of "$1")" "*Default$key:"$'\t'"$3"
  done
}

# 1. The sample PPD with the worked example, 29 by 70 mm, margins 1.5 / 3 /
#    1.5 / 3, as the default; its removal.  A short label, added twice.
sample=$source_dir/samples/ppd/label-printer.ppd
cp "$sample" "$kept/orig/Sample.ppd" && make_queue Sample "$sample"
run "$cups_tool" -P Sample -n "New Label Format" -w 29 -h 70 -l 1.5 -t 3 -r 1.5 -b 3
check_added Sample "New Label Format" Sample+long "4.25 8.50 77.95 189.92" "82.20 198.43"
[[ $id =~ ^CvL101D046[0-9A-F]{5}$ ]] || fail "identifier $id does not carry 16 bytes, 29 mm, 70 mm"
grep -q '^\*UIConstraints:.*CvL' "$(ppd_of Sample)" && fail "a 70 mm label got margin constraints"
lpadmin -p Sample -o "PageSize=$id"
run "$cups_tool" -P Sample -d "New Label Format"
check_removed Sample "$id" 50x30
same_but_defaults "$sample" Sample
for _ in 1 2; do run "$cups_tool" -P Sample -n Short -w 40 -h 29 -l 2 -t 2 -r 2 -b 2; done
expect_eq "page-size lines of Short added twice" 1 "$(grep -c '^\*PageSize CvL[0-9A-F]*/Short:' "$(ppd_of Sample)")"
check_added Sample Short Sample+short "5.67 5.67 107.72 76.54" "113.39 82.20"
expect_eq "constraint lines of a 29 mm label" 16 "$(grep -c "^\*UIConstraints:.*$id\$" "$(ppd_of Sample)")"
expect_line "first constraint" "$(ppd_of Sample)" $'*UIConstraints:\t*CvMargin 15\t*PageSize '"$id"
run "$cups_tool" -P Sample -d Short
check_removed Sample "$id" 50x30

# 2. A queue's state outlives the re-registration: URI with ? and &, description with an apostrophe
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
  grep -qF -- "$word" <<<"$before" || fail "Remote was not set up: no [$word]"
done
run "$cups_tool" -P Remote -n Remote30 -w 30 -h 80 -l 1 -t 1 -r 1 -b 1
check_added Remote Remote30 Sample+remote "2.83 2.83 82.20 223.94" "85.04 226.77"
diff <(echo "$before") <(state) || fail "Remote changed by the addition, as above"
run "$cups_tool" -P Remote -d Remote30
diff <(echo "$before") <(state) || fail "Remote changed by the removal, as above"

# 3. Every PPD the DYMO and Brother drivers hand out (fetched as cupsd does) and ppdc's label
#    printers: a label as wide as the printer takes, 40 mm long, added and removed.  On one of each a page printed on it reaches the
#    driver's filter at its size, and the defaults fall back to the first size.
for driver in dymo ptouch; do "$lib/driver/$driver" list | cut -d'"' -f2; done >"$root/uris"
expect_eq "DYMO and Brother PPDs" "25 33" "$(grep -c ^dymo: "$root/uris") $(grep -c ^ptouch: "$root/uris")"
xargs -P2 -I{} sh -c '"$0/${1%%:*}" cat "$1" >"$2/${1##*/}"' "$lib/driver" {} "$kept/driver" <"$root/uris"
# and the label printers among the sample PPDs CUPS's ppdc builds.
ppdc -d "$root/ppdc" /usr/share/cups/drv/sample.drv || fail "ppdc could not build its samples"
for model in dymo intelbar zebra zebracpl zebraep1 zebraep2; do cp "$root/ppdc/$model.ppd" "$kept/driver/ppdc-$model.ppd"; done
special=" lw450 Brother-QL-570-ptouch-ql "
printf '%%!PS\n10 10 moveto 20 0 rlineto 0 20 rlineto fill showpage\n' >"$root/page.ps"
declare -A ids printed
for input in "$kept"/driver/*.ppd; do
  queue=$(basename "$input" .ppd)
  make_queue "$queue" "$input" && cp "$(ppd_of "$queue")" "$kept/orig/$queue.ppd"
  # As wide as the widest page size, or *MaxMediaWidth if less, in whole mm.
  width=$(awk '/^\*PaperDimension/ { sub(/.*:[ \t]*"/, ""); if ($1 + 0 > w) w = $1 }
    /^\*MaxMediaWidth/ { gsub(/[^0-9.]/, ""); m = $0 }
    END { if (m != "" && m + 0 < w) w = m; print int(w / 72 * 25.4) }' "$input")
  run "$cups_tool" -P "$queue" -n L40 -w "$width" -h 40 -l 1 -t 2 -r 1.5 -b 2.5
  { read -r area; read -r dimension; } < <(entries "$width" 40 1 2 1.5 2.5)
  check_added "$queue" L40 "$queue" "$area" "$dimension"
  ids[$queue]=$id printed[$queue]="$dimension $area"
  [[ $special == *" $queue "* ]] || continue
  lp -d "$queue" -o "PageSize=$id" "$root/page.ps" >/dev/null || fail "$queue: lp failed"
done
for queue in $special; do
  for _ in $(seq 300); do [ -f "$cap/$queue" ] && [ -z "$(lpstat -o "$queue")" ] && break; sleep 0.1; done
  # Raster: sync word, page header with ImagingBoundingBox[4] at byte 284, PageSize[2] at 352.
  [[ $(head -c4 "$cap/$queue" 2>&1) == [23t]SaR ]] && order=little || order=big
  got=$(od -An -tu4 --endian=$order -j 288 -N 76 "$cap/$queue" 2>&1 | xargs | awk '{ print $18, $19, $1, $2, $3, $4 }')
  awk -v a="${printed[$queue]}" -v b="$got" 'BEGIN { n = split(a, x); if (split(b, y) != n) exit 1
    for (i = 1; i <= n; i++) if ((x[i] - y[i]) * (x[i] - y[i]) > 1) exit 1 }' ||
    fail "$queue: the page reached the driver as [$got] (size, imaging box), not within a point of [${printed[$queue]}]"
  lpadmin -p "$queue" -o "PageSize=${ids[$queue]}"
done
for queue in "${!ids[@]}"; do
  run "$cups_tool" -P "$queue" -d L40
  if [[ $special == *" $queue "* ]]; then
    first=$(sed -n 's/^\*PageSize \([^/: ]*\).*/\1/p' "$kept/orig/$queue.ppd" | head -1)
    check_removed "$queue" "${ids[$queue]}" "$first"
    same_but_defaults "$kept/orig/$queue.ppd" "$queue"
    cp "$(ppd_of "$queue")" "$kept/added/$queue+fallback.ppd"
  else
    cmp -s "$kept/orig/$queue.ppd" "$(ppd_of "$queue")" || fail "$queue: not the PPD CUPS stored after the removal"
  fi
done

# 4. The LPRng tool in a km3030 driver tree runs the CUPS tool there, which drives lpadmin.
tree=$root/opt/corvane/km3030/bin inf_orig=$source_dir/samples/driver/km3030/bin/inf
inf=$tree/inf media=$tree/inf/customtape/Papar_Name.bin
mkdir -p "$tree/lpd" && cp -r "$inf_orig" "$tree/"
cp "$cups_tool" "$tree/lpd/cvpapertoolcups" && cp "$lpr_tool" "$tree/cvpapertoollpr_km3030"
make_queue KM-3030 "$sample"
run "$tree/cvpapertoollpr_km3030" -P KM-3030 -n Papar_Name -w 30 -h 30 -g 3.0 -b 3 -t 3 -r 1.5 -l 1.5 -S 1
check_added KM-3030 Papar_Name Sample+km3030 "4.25 8.50 80.79 76.54" "85.04 85.04"
infos="cvkm3030func paperinfkm3030pt1 cvkm3030rc ImagingArea PaperDimension"
expect_eq "driver files, data/km3030-added.diff" "$(cat "$source_dir/tests/e2e/data/km3030-added.diff")" \
  "$(for file in $infos; do diff "$inf_orig/$file" "$inf/$file"; done | sed "s/$id/ID/g")"
expect_eq "media file size" 132 "$(stat -c %s "$media" 2>/dev/null)"
expect_eq "media file start" "1b695577013f051e1e00007400d800c0" "$(head -c 16 "$media" | od -An -tx1 | tr -d ' \n')"
lpadmin -p KM-3030 -o "PageSize=$id"
sed -i "s/^MediaSize=.*/MediaSize=$id/" "$inf/cvkm3030rc"  # the default and the driver's settings name it
run "$tree/cvpapertoollpr_km3030" -P KM-3030 -d Papar_Name
check_removed KM-3030 "$id" 50x30
for file in $infos; do cmp -s "$inf_orig/$file" "$inf/$file" || fail "$file changed after the removal"; done
[ -f "$media" ] || fail "the removal deleted the media file"

# cupstestppd, once over the originals and once over every edited PPD kept.
fail_lines "$kept/orig" >"$root/fails.orig"
new=$(comm -13 "$root/fails.orig" <(fail_lines "$kept/added"))
[ -z "$new" ] || fail "cupstestppd FAIL lines the originals do not have: $new"
echo "cupstestppd: $(wc -l <"$root/fails.orig") FAIL lines in $(ls "$kept/orig" | wc -l) originals"
[ "$failures" = 0 ] && echo "real CUPS end to end: all checks passed"
exit $((failures != 0))
