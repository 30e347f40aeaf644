# Writes a label-printer PPD of about `bytes` bytes: the printer's own page
# sizes and many user-made label formats with their regions, imageable areas,
# paper dimensions and margin constraints.  The format "Bench Target" comes
# last in every group, so finding it reads the whole page-size group.
#   awk -v bytes=1000000 -f bench/make_ppd.awk > file.ppd
function id(i, name) { return sprintf("CvL%02X%02X%03X%05X", length(name), 20 + i % 80, (20 + i % 200) % 4096, i % 1048576) }
function name(i) { return (i == n) ? "Bench Target" : sprintf("Label %d x %d mm no %d", 20 + i % 80, 20 + i % 200, i) }
function pt(mm) { return sprintf("%.2f", mm / 25.4 * 72) }
BEGIN {
  n = int(bytes / 380); if (n < 1) n = 1
  print "*PPD-Adobe: \"4.3\""
  print "*FormatVersion: \"4.3\""
  print "*FileVersion: \"1.0\""
  print "*LanguageVersion: English"
  print "*LanguageEncoding: ISOLatin1"
  print "*PCFileName: \"CVBENCH.PPD\""
  print "*Manufacturer: \"Corvane\""
  print "*ModelName: \"Corvane KM-3030\""
  print "*NickName: \"Corvane KM-3030 Label Printer, 1.0\""
  print "*OpenUI *PageSize/Media Size: PickOne"
  print "*OrderDependency: 10 AnySetup *PageSize"
  print "*DefaultPageSize: 50x30"
  print "*PageSize 50x30/50 x 30 mm: \"<</PageSize[141.73 85.04]/ImagingBBox null>>setpagedevice\""
  for (i = 1; i <= n; i++) printf "*PageSize %s/%s:\t\t\"          \"\n", id(i, name(i)), name(i)
  print "*CloseUI: *PageSize"
  print "*OpenUI *PageRegion/Media Size: PickOne"
  print "*OrderDependency: 10 AnySetup *PageRegion"
  print "*DefaultPageRegion: 50x30"
  print "*PageRegion 50x30/50 x 30 mm: \"<</PageSize[141.73 85.04]/ImagingBBox null>>setpagedevice\""
  for (i = 1; i <= n; i++) printf "*PageRegion %s/%s:\t\t\"          \"\n", id(i, name(i)), name(i)
  print "*CloseUI: *PageRegion"
  print "*DefaultImageableArea: 50x30"
  print "*ImageableArea 50x30/50 x 30 mm: \"4.25 8.50 137.48 76.54\""
  for (i = 1; i <= n; i++) printf "*ImageableArea %s/%s:\t\"4.25 8.50 %s %s\"\n", id(i, name(i)), name(i), pt(18.5 + i % 80), pt(17 + i % 200)
  print "*DefaultPaperDimension: 50x30"
  print "*PaperDimension 50x30/50 x 30 mm: \"141.73 85.04\""
  for (i = 1; i <= n; i++) printf "*PaperDimension %s/%s:\t\"%s %s\"\n", id(i, name(i)), name(i), pt(20 + i % 80), pt(20 + i % 200)
  print "*OpenUI *CvMargin/Margin: PickOne"
  print "*DefaultCvMargin: 3"
  for (m = 3; m <= 30; m++) printf "*CvMargin %d/%d mm: \"\"\n", m, m
  print "*CloseUI: *CvMargin"
  for (i = 1; i <= n; i++) {
    k = int((20 + i % 200 + 1) * 0.5)
    for (m = (k > 3 ? k : 3); m <= 30 && i % 4 == 0; m++) printf "*UIConstraints:\t*CvMargin %d\t*PageSize %s\n", m, id(i, name(i))
  }
  print "*% End of bench PPD"
}
