// Finding the printer model in the name the tool was invoked under.
#include "lpr_tool.h"

namespace {

struct ModelKey {
  std::string_view key;
  std::string_view model;
};

// Searched in this order; the first key found decides.
constexpr ModelKey kModelTable[] = {
    {"410", "zr410"},   {"460", "zr460"},   {"480", "zr480"},
    {"560", "zr560kd"}, {"630", "zr630wx"}, {"3030", "km3030"},
};

}  // namespace

std::string FindModel(std::string_view program) {
  for (const ModelKey& entry : kModelTable) {
    if (program.find(entry.key) != std::string_view::npos) return std::string(entry.model);
  }
  return "";
}
