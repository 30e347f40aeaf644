// Adding label formats to a PPD and having CUPS take the PPD up.
#include "fixed_paths.h"
#include "label_id.h"
#include "ppd_edit.h"
#include "reregister_queue.h"

Outcome AddLabel(LabelRequest request, LabelGeometry geometry) {
  TraceEnter(kTraceSource, "AddLabel");
  if (request.label_id.empty()) {
    request.label_id = MakeLabelId(request.label_name.size(),
                                   static_cast<uint32_t>(request.width_mm), request.length_mm);
  }
  // A format of the same name is replaced in the same edit, so the queue
  // never goes without the name and a default that named it follows it.
  char old_id[kLabelIdLength + 1];
  const int found = Lookup_Label(request.ppd_path, request.label_name, old_id);
  if (found == kLabelFileUnreadable) return FileFailure(request.ppd_path);
  return InsertIntoPpd(request.ppd_path,
                       {{{request, geometry}, found == kLabelFound ? old_id : ""}});
}

Outcome InsertIntoPpd(const std::string& ppd_path, const std::vector<PpdInsertion>& insertions) {
  const std::string scratch = FixedPath(kScratchPpdPath);
  Outcome edited = WriteEditedPpd(ppd_path, scratch, insertions);
  if (edited.code == kPpdUnchanged) return {};  // nothing to tell CUPS
  if (edited.code != kDone) return edited;
  IdRenames renamed;
  for (const PpdInsertion& insertion : insertions) {
    const std::string& new_id = insertion.format.request.label_id;
    if (!insertion.replaces.empty() && insertion.replaces != new_id)
      renamed.emplace(insertion.replaces, new_id);
  }
  return ReRegisterQueue(scratch, renamed);
}
