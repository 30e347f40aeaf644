// Hostile values for the slots of both tools.
#include "hostile_values.h"

#include <algorithm>
#include <random>
#include <set>

namespace hardening {

namespace {

constexpr size_t kUnlimited = static_cast<size_t>(-1);
constexpr size_t kRunBytes = 32;  // longest run of bytes or pairs in one value

std::string Bytes(int first, int last) {
  std::string bytes;
  for (int byte = first; byte <= last; ++byte) bytes += static_cast<char>(byte);
  return bytes;
}

// Control bytes 1-31 (a value never holds a zero byte) and DEL.
std::string ControlBytes() { return Bytes(1, 31) + '\x7f'; }

// The bytes 1-255 that `rule` takes.
std::string AcceptedBytes(const SlotRule& rule) {
  std::string bytes;
  for (char c : Bytes(1, 255)) {
    if (rule.refused_bytes.find(c) == std::string::npos) bytes += c;
  }
  return bytes;
}

// A sequence over `symbols` in which every ordered pair of them stands side
// by side once (a de Bruijn sequence of order 2).
std::string EveryPair(const std::string& symbols) {
  const size_t k = symbols.size();
  if (k == 0) return "";
  std::vector<size_t> a(2 * k, 0);
  std::string sequence;
  // The classic recursive construction over Lyndon words.
  auto db = [&](auto&& self, size_t t, size_t p) -> void {
    if (t > 2) {
      if (2 % p == 0) {
        for (size_t i = 1; i <= p; ++i) sequence += symbols[a[i]];
      }
      return;
    }
    a[t] = a[t - p];
    self(self, t + 1, p);
    for (size_t j = a[t - p] + 1; j < k; ++j) {
      a[t] = j;
      self(self, t + 1, t);
    }
  };
  db(db, 1, 1);
  return sequence + sequence[0];  // closes the cycle: the last pair wraps around
}

// Cuts `text` into values of at most `size` bytes; with `overlap` each value
// repeats the last byte of the one before, so no adjacent pair is split.
std::vector<std::string> Runs(const std::string& text, size_t size, bool overlap) {
  std::vector<std::string> runs;
  const size_t step = overlap ? size - 1 : size;
  for (size_t at = 0; at < text.size(); at += step) {
    runs.push_back(text.substr(at, size));
    if (at + size >= text.size()) break;
  }
  return runs;
}

std::string Cycled(const std::string& bytes, size_t size) {
  std::string text(size, ' ');
  for (size_t i = 0; i < size; ++i) text[i] = bytes[i % bytes.size()];
  return text;
}

}  // namespace

SlotRule CupsQueueRule() { return {127, ControlBytes() + " /\\?'\"#"}; }
SlotRule CupsAddNameRule() { return {32, ControlBytes() + ":\""}; }
SlotRule CupsDeleteNameRule() { return {32, ""}; }
SlotRule DeviceUriRule() { return {kUnlimited, ""}; }
SlotRule LprQueueRule() { return {2048, ""}; }
SlotRule LprAddNameRule() { return {99, ControlBytes() + "/"}; }
SlotRule LprDeleteNameRule() { return {99, ""}; }

bool Refuses(const SlotRule& rule, std::string_view value) {
  return value.empty() || value.size() > rule.max_bytes ||
         value.find_first_of(rule.refused_bytes) != std::string_view::npos;
}

std::vector<std::string> HostileValues(const SlotRule& rule, size_t minimum) {
  std::vector<std::string> values;
  std::set<std::string> seen;
  auto add = [&](const std::string& value) {
    if (seen.insert(value).second) values.push_back(value);
  };
  const size_t run = std::min(rule.max_bytes, kRunBytes);
  const std::string accepted = AcceptedBytes(rule);

  for (char c : rule.refused_bytes) {
    add(std::string(1, c));
    add(std::string("a") + c + "b");
  }
  for (const std::string& value : Runs(accepted, run, false)) add(value);
  std::string meta;
  for (char c : kShellMeta) {
    if (accepted.find(c) != std::string::npos) meta += c;
  }
  for (const std::string& value : Runs(EveryPair(meta), run, true)) add(value);

  const std::string c = kCanary;
  for (const std::string& value : std::initializer_list<std::string>{";>" + c,
                                                                     "|>" + c,
                                                                     "&>" + c,
                                                                     "&&>" + c,
                                                                     "||>" + c,
                                                                     "$(>" + c + ")",
                                                                     "`>" + c + "`",
                                                                     "\n>" + c,
                                                                     "'>" + c + "'",
                                                                     "\">" + c + "\"",
                                                                     "';>" + c + ";'",
                                                                     "\";>" + c + ";\"",
                                                                     "\\\";>" + c + ";\\\"",
                                                                     "'\\'';>" + c + ";'",
                                                                     "\"$(>" + c + ")\"",
                                                                     "'$(>" + c + ")'",
                                                                     "$(touch " + c + ")",
                                                                     "`touch " + c + "`",
                                                                     "${IFS}>" + c,
                                                                     "!>" + c,
                                                                     "#>" + c,
                                                                     "x;lpadmin -x v",
                                                                     "$(lpadmin -x v)",
                                                                     "`lpoptions -d v`"}) {
    add(value);
  }
  for (const char* value : {"-", "--", "-P", "-n", "-d", "-w", "-show", "-specid", "-x", "-E", "-v",
                            "-n x", "--help", "-P-P"}) {
    add(value);
  }
  add("usb://Maker/Model?serial=AB12&interface=1");
  add("socket://10.0.0.5:9100/?contimeout=30&waiteof=false");
  add("dnssd://My%20Label._ipp._tcp.local/?uuid=1234");
  if (rule.max_bytes != kUnlimited) {
    add(std::string(rule.max_bytes, 'a'));
    add(std::string(rule.max_bytes + 1, 'a'));
  }
  add(Cycled(accepted, 4096));
  add(Cycled(std::string(kShellMeta), 4096));

  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> any_byte(1, 255);
  std::uniform_int_distribution<size_t> any_length(1, 40),
      length(1, std::min<size_t>(rule.max_bytes, 40));
  std::uniform_int_distribution<size_t> pick(0, accepted.size() - 1);
  for (int i = 0; i < 16; ++i) {
    std::string value(any_length(random), ' ');
    for (char& b : value) b = static_cast<char>(any_byte(random));
    add(value);
  }
  while (values.size() < minimum) {
    std::string value(length(random), ' ');
    for (char& b : value) b = accepted[pick(random)];
    add(value);
  }
  return values;
}

}  // namespace hardening
