# Writes one of the five LPRng information files of the km3030 model with `n`
# label formats; "Bench Target" is the last of them.
#   awk -v n=1000 -v kind=func|pt1|rc|imaging|paper -f bench/make_info.awk
function id(i, name) { return sprintf("CvL%02X%02X%03X%05X", length(name), 20 + i % 80, (20 + i % 200) % 4096, i % 1048576) }
function name(i) { return (i == n) ? "Bench Target" : sprintf("Label %d x %d mm no %d", 20 + i % 80, 20 + i % 200, i) }
BEGIN {
  if (kind == "func") {
    print "[Model]\nName=KM-3030\n[Tape]\n50x30/50 mm x 30 mm\n[CustomTape]"
    for (i = n; i >= 1; i--) printf "%s/%s\n", id(i, name(i)), name(i)
    print "[End]"
  } else if (kind == "pt1") {
    print "50x30/50 mm x 30 mm:\t375\t191"
    for (i = 1; i <= n; i++) printf "%s/%s:\t%d\t%d\n", id(i, name(i)), name(i), 100 + i % 300, 100 + i % 700
  } else if (kind == "rc") {
    print "[KM-3030]\nMediaSize=50x30\nResolution=203\nDarkness=10"
  } else if (kind == "imaging") {
    print "50x30\t:\t4.25\t8.50\t137.48\t76.54"
    for (i = 1; i <= n; i++) printf "%s\t:\t4.25\t8.50\t%.2f\t%.2f\n", id(i, name(i)), (18.5 + i % 80) / 25.4 * 72, (17 + i % 200) / 25.4 * 72
  } else {
    print "50x30\t:\t141.73\t85.04"
    for (i = 1; i <= n; i++) printf "%s\t:\t%.2f\t%.2f\n", id(i, name(i)), (20 + i % 80) / 25.4 * 72, (20 + i % 200) / 25.4 * 72
  }
}
