// Removing a label format from the PPD (through the CUPS tool) and from the information files.
#include "driver_tree.h"
#include "info_files.h"
#include "shell_command.h"

Outcome RemoveLabel(LprRequest request, LabelGeometry /*geometry*/) {
  TraceEnter(kTraceSource, "RemoveLabel");
  const int status = RunCommand(RemovalCommand(request));
  if (status != 0) {
    return Failure({}, kCommandError,
                   CupsToolFailed(request, status) + ": no information file changed");
  }
  // Every identifier either file gives the name, so that the lines a run cut
  // short left behind go too.
  const std::vector<std::string> ids = NamedLabelIds(request.model, request.label_name);
  if (ids.empty()) return Failure({}, kNotPresent, "");
  return ChangeInfoFiles(request.model, ids, nullptr);
}
