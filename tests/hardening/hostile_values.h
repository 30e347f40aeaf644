// Hostile values for the slots of both tools, and the rule by which each
// tool refuses a command line that carries one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hardening {

// What a slot takes: its longest value and the bytes for which the tool
// refuses the whole command line (usage text, status 0).
struct SlotRule {
  size_t max_bytes = 0;
  std::string refused_bytes;
};

// Rules of the tools' slots, as their command lines define them.
SlotRule CupsQueueRule();       // -P: 127 bytes, none of 1-32, 127, / \ ? ' " #
SlotRule CupsAddNameRule();     // -n: 32 bytes, none of 1-31, 127, : "
SlotRule CupsDeleteNameRule();  // -d: 32 bytes, anything
SlotRule DeviceUriRule();       // device URI from lpoptions: any length, anything
SlotRule LprQueueRule();        // -P: 2048 bytes, anything
SlotRule LprAddNameRule();      // -n: 99 bytes, none of 1-31, 127, /
SlotRule LprDeleteNameRule();   // -d: 99 bytes, anything

// Whether the tool refuses a command line with `value` in the slot: empty,
// longer than the slot takes, or holding a refused byte.
bool Refuses(const SlotRule& rule, std::string_view value);

// The file name that the injection values try to create in the working
// directory; it must never appear.
inline constexpr char kCanary[] = "CANARY";

// The shell metacharacters of the quoting torture test.
inline constexpr std::string_view kShellMeta = "|&;<>()$`\\\"' \t\n*?[]#~=%!{}^";

// At least `minimum` distinct values for a slot: every refused byte alone
// and inside a word; every byte the slot takes, in runs; every ordered pair
// of the metacharacters the slot takes, side by side in runs; command
// injections that would create kCanary or run a CUPS command; values that
// start with "-"; the three real device URIs; values at, and one past, the
// slot's length limit and of 4 KiB; and seeded random strings, first over all
// bytes, then over the bytes the slot takes, until `minimum` is reached.
std::vector<std::string> HostileValues(const SlotRule& rule, size_t minimum);

}  // namespace hardening
