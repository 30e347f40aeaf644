#!/usr/bin/env bash
# End-to-end runs of the paper-size tools against a real, private CUPS
# scheduler: the relocatable builds of the tools edit the PPDs of queues that
# the scheduler keeps under the test root, through the real lpoptions and
# lpadmin.  Skips (77) only when cupsd is not installed.
#   real_cups_test.sh SOURCE_DIR CUPS_TOOL LPR_TOOL
set -uo pipefail
source_dir=$1 cups_tool=$2 lpr_tool=$3
PATH=$PATH:/usr/sbin
command -v cupsd >/dev/null || { echo "cupsd is not installed: skipped"; exit 77; }

root=$(mktemp -d)
. "$source_dir/scripts/private-cupsd"
trap 'private_cupsd_stop "$root"; rm -rf "$root"' EXIT
mkdir -p "$root/tmp" "$root/opt/corvane"
private_cupsd_start "$root" || exit 1
. "$root/cupsd/env"
export CORVANE_TEST_ROOT=$root

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# expect_eq WHAT EXPECTED ACTUAL
expect_eq() { [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"; }
# expect_line WHAT FILE LINE: FILE holds LINE exactly.
expect_line() { grep -qxF -- "$3" "$2" || fail "$1: no line [$3] in $2"; }

ppd_of() { echo "$root/etc/cups/ppd/$1.ppd"; }
make_queue() {  # QUEUE PPD [URI]
  lpadmin -p "$1" -E -v "${3:-file:///dev/null}" -P "$2" 2>"$root/lpadmin.err" ||
    { cat "$root/lpadmin.err"; fail "lpadmin could not create $1"; }
}
# The PageSize choices CUPS offers for a queue, one a line, the default marked *.
page_sizes() { lpoptions -p "$1" -l | sed -n 's/^PageSize[^:]*: //p' | tr ' ' '\n'; }
offers() { page_sizes "$1" | tr -d '*' | grep -qxF -- "$2"; }
default_size() { page_sizes "$1" | sed -n 's/^\*//p'; }
# The identifier of the label format NAME on the queue's *PageSize line.
id_of() { sed -n "s|^\*PageSize \(CvL[0-9A-F]*\)/$2:.*|\1|p" "$(ppd_of "$1")" | head -1; }
# cupstestppd's FAIL lines, apart from those about translation strings.
fail_lines() { cupstestppd "$1" 2>&1 | grep 'FAIL\*\*' | grep -vi 'translation' | sort -u; }
new_fail_lines() { comm -13 <(fail_lines "$1") <(fail_lines "$2"); }
# A PPD with every default line written "*DefaultX: value", for comparisons.
normalised() { sed 's/^\(\*Default[A-Za-z]*:\)[[:space:]]*/\1 /' "$1"; }

# After an addition of NAME to QUEUE (input PPD INPUT): CUPS offers the
# identifier, the queue's PPD holds the four entries, and cupstestppd finds
# nothing new.  Sets `id` to the identifier.
check_added() {  # QUEUE NAME INPUT IMAGEABLE_AREA PAPER_DIMENSION
  local queue=$1 name=$2 input=$3 ppd
  ppd=$(ppd_of "$queue")
  id=$(id_of "$queue" "$name")
  [[ $id =~ ^CvL[0-9A-F]{12}$ ]] || fail "$queue: no well-formed identifier for $name [$id]"
  offers "$queue" "$id" || fail "$queue: CUPS does not offer $id"
  expect_line "$queue page size" "$ppd" "*PageSize $id/$name:"$'\t\t''"          "'
  expect_line "$queue page region" "$ppd" "*PageRegion $id/$name:"$'\t\t''"          "'
  expect_line "$queue imageable area" "$ppd" "*ImageableArea $id/$name:"$'\t'"\"$4\""
  expect_line "$queue paper dimension" "$ppd" "*PaperDimension $id/$name:"$'\t'"\"$5\""
  local new
  new=$(new_fail_lines "$input" "$ppd")
  [ -z "$new" ] || fail "$queue: cupstestppd has new FAIL lines after the addition: $new"
}

# After the removal of the format ID from QUEUE, whose default named it: the
# default falls back to 50x30, or to DEFAULT when the PPD has no 50x30.
check_removed() {  # QUEUE ID [DEFAULT]
  local queue=$1 id=$2
  lpstat -v "$queue" >/dev/null 2>&1 || fail "$queue: the queue is gone"
  offers "$queue" "$id" && fail "$queue: CUPS still offers $id"
  grep -qF -- "$id" "$(ppd_of "$queue")" && fail "$queue: the PPD still names $id"
  expect_line "$queue default" "$(ppd_of "$queue")" $'*DefaultPageSize:\t'"${3:-50x30}"
}
# The first page-size choice of a PPD.
first_size() { sed -n 's/^\*PageSize \([^/: ]*\).*/\1/p' "$1" | head -1; }

sample_ppd=$source_dir/samples/ppd/label-printer.ppd

# 1. The CUPS tool on the shipped sample PPD, with the worked example: 29 by
#    70 mm, margins 1.5 / 3 / 1.5 / 3.  The default is then pointed at the new
#    format, and the removal brings back the PPD as it was, defaults reset.
make_queue Sample "$sample_ppd"
"$cups_tool" -P Sample -n "New Label Format" -w 29 -h 70 -l 1.5 -t 3 -r 1.5 -b 3 ||
  fail "addition exited $?"
check_added Sample "New Label Format" "$sample_ppd" "4.25 8.50 77.95 189.92" "82.20 198.43"
[[ $id =~ ^CvL101D046[0-9A-F]{5}$ ]] || fail "identifier $id does not carry 16 bytes, 29 mm, 70 mm"
grep -q '^\*UIConstraints:.*CvL' "$(ppd_of Sample)" && fail "a 70 mm label got margin constraints"
lpadmin -p Sample -o "PageSize=$id"
expect_eq "default after lpadmin -o PageSize" "$id" "$(default_size Sample)"
"$cups_tool" -P Sample -d "New Label Format" || fail "removal exited $?"
check_removed Sample "$id"
expect_eq "default after removal" 50x30 "$(default_size Sample)"
diff <(normalised "$sample_ppd") <(normalised "$(ppd_of Sample)") >/dev/null ||
  fail "the PPD after addition and removal differs from the original beyond its defaults"

# 2. A short label gets its margin constraints, which the sample PPD's CvMargin
#    option makes valid; adding it again under the same name replaces it.
"$cups_tool" -P Sample -n Short -w 40 -h 29 -l 2 -t 2 -r 2 -b 2 || fail "short addition exited $?"
"$cups_tool" -P Sample -n Short -w 40 -h 29 -l 2 -t 2 -r 2 -b 2 || fail "second short addition exited $?"
expect_eq "page-size lines of Short" 1 "$(grep -c '^\*PageSize CvL[0-9A-F]*/Short:' "$(ppd_of Sample)")"
check_added Sample Short "$sample_ppd" "5.67 5.67 107.72 76.54" "113.39 82.20"
expect_eq "constraint lines of a 29 mm label" 16 "$(grep -c "^\*UIConstraints:.*$id\$" "$(ppd_of Sample)")"
expect_line "first constraint" "$(ppd_of Sample)" $'*UIConstraints:\t*CvMargin 15\t*PageSize '"$id"
"$cups_tool" -P Sample -d Short || fail "short removal exited $?"
check_removed Sample "$id"

# 3. A device URI holding ? and & survives the re-registration whole, and a
#    queue that was not shared is not shared afterwards either.
uri='ipp://127.0.0.1:9/printers/label?waitjob=false&contimeout=30'
make_queue Remote "$sample_ppd" "$uri"
# A description with an apostrophe: lpoptions quotes it without escaping.
lpadmin -p Remote -D "Bob's printer" -o printer-is-shared=false
"$cups_tool" -P Remote -n Remote30 -w 30 -h 80 -l 1 -t 1 -r 1 -b 1 || fail "addition exited $?"
expect_eq "device URI after re-registration" "device for Remote: $uri" "$(lpstat -v Remote)"
offers Remote "$(id_of Remote Remote30)" || fail "Remote: the format is not offered"
lpoptions -p Remote | tr ' ' '\n' | grep -qx printer-is-shared=false || fail "Remote: the queue became shared"

# 4. The sample label-printer PPDs that ppdc builds.  They have no CvMargin
#    option, so the label is long enough to need no margin constraint.
ppdc -d "$root/ppdc" /usr/share/cups/drv/sample.drv || fail "ppdc could not build the samples"
for model in dymo intelbar zebra zebracpl zebraep1 zebraep2; do
  input=$root/ppdc/$model.ppd
  [ -f "$input" ] || { fail "ppdc built no $model.ppd"; continue; }
  make_queue "$model" "$input"
  "$cups_tool" -P "$model" -n "Label 62" -w 62 -h 100 -l 3 -t 3 -r 3 -b 3 || fail "$model: addition exited $?"
  check_added "$model" "Label 62" "$input" "8.50 8.50 167.24 274.96" "175.75 283.46"
  lpadmin -p "$model" -o "PageSize=$id"
  "$cups_tool" -P "$model" -d "Label 62" || fail "$model: removal exited $?"
  check_removed "$model" "$id" "$(first_size "$input")"
done

# 5. The LPRng tool's whole road: installed in a km3030 driver tree under the
#    test root, it starts the real CUPS tool there, which drives lpadmin.
tree=$root/opt/corvane/km3030/bin
inf=$tree/inf
mkdir -p "$tree/lpd"
cp -r "$source_dir/samples/driver/km3030/bin/inf" "$tree/"
cp "$cups_tool" "$tree/lpd/cvpapertoolcups"
cp "$lpr_tool" "$tree/cvpapertoollpr_km3030"
make_queue KM-3030 "$sample_ppd"
"$tree/cvpapertoollpr_km3030" -P KM-3030 -n Papar_Name -w 30 -h 30 -g 3.0 -b 3 -t 3 -r 1.5 -l 1.5 -S 1 ||
  fail "LPRng addition exited $?"
check_added KM-3030 Papar_Name "$sample_ppd" "4.25 8.50 80.79 76.54" "85.04 85.04"
expect_eq "identifier in the tape list" "$id" "$(grep -o 'CvL[0-9A-F]*' "$inf/cvkm3030func")"
expect_eq "line after [CustomTape]" "$id/Papar_Name" "$(sed -n '/\[CustomTape\]/{n;p}' "$inf/cvkm3030func")"
expect_eq "print-area entry" "$id/Papar_Name:"$'\t215\t191' "$(tail -1 "$inf/paperinfkm3030pt1")"
expect_eq "imaging-area entry" "$id"$'\t:\t4.25\t8.50\t80.79\t76.54' "$(tail -1 "$inf/ImagingArea")"
expect_eq "paper-dimension entry" "$id"$'\t:\t85.04\t85.04' "$(tail -1 "$inf/PaperDimension")"
media=$inf/customtape/Papar_Name.bin
expect_eq "media file size" 132 "$(stat -c %s "$media" 2>/dev/null)"
expect_eq "media file start" "1b695577013f051e1e00007400d800c0" "$(head -c 16 "$media" | od -An -tx1 | tr -d ' \n')"
# Point the queue's default and the driver's settings at the format.
lpadmin -p KM-3030 -o "PageSize=$id"
sed -i "s/^MediaSize=.*/MediaSize=$id/" "$inf/cvkm3030rc"
"$tree/cvpapertoollpr_km3030" -P KM-3030 -d Papar_Name || fail "LPRng removal exited $?"
check_removed KM-3030 "$id"
expect_line "settings reset" "$inf/cvkm3030rc" "MediaSize=50x30"
for file in cvkm3030func paperinfkm3030pt1 cvkm3030rc ImagingArea PaperDimension; do
  cmp -s "$source_dir/samples/driver/km3030/bin/inf/$file" "$inf/$file" ||
    fail "$file differs from the original after addition and removal"
done
[ -f "$media" ] || fail "the removal deleted the media file"

[ "$failures" = 0 ] && echo "real CUPS end to end: all checks passed"
exit $((failures != 0))
