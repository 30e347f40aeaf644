// Adding one label format to a PPD.
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
  const PpdInsertion insertion{{request, geometry}, found == kLabelFound ? old_id : ""};
  const std::string scratch = FixedPath(kScratchPpdPath);
  const Outcome edited = WriteEditedPpd(request.ppd_path, scratch, {insertion});
  if (edited.code == kPpdUnchanged) return {};  // nothing to tell CUPS
  if (edited.code != kDone) return edited;
  IdRenames renamed;
  if (!insertion.replaces.empty() && insertion.replaces != request.label_id)
    renamed.emplace(insertion.replaces, request.label_id);
  return ReRegisterQueue(scratch, renamed);
}
