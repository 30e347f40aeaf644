// Removing a label format from the PPD (through the CUPS tool) and from the information files.
#include "driver_tree.h"
#include "info_files.h"
#include "shell_command.h"

int RemoveLabel(LprRequest request, LabelGeometry /*geometry*/) {
  TraceEnter(kTraceSource, "RemoveLabel");
  const int status = RunCommand(RemovalCommand(request));
  if (status != 0) {
    ReportFailure(request, CupsToolFailed(request, status) + ": no information file changed");
    return kCommandError;
  }
  // Every identifier either file gives the name, so that the lines a run cut
  // short left behind go too.
  const std::vector<std::string> ids = NamedLabelIds(request.model, request.label_name);
  if (ids.empty()) return kNotPresent;
  return ChangeInfoFiles(&request, ids, nullptr);
}
