#include "platform/faults.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/comma_list.h"
#include "platform/setting_text.h"

namespace faults {
namespace {

struct Rule {
  unsigned first;
  unsigned count;  // 0: for ever
};

// Looked up by the caller's text as it is (std::less<>), so that counting a call, which every
// frame does several times, allocates only for an operation's first call.
struct Registry {
  std::mutex lock;
  std::map<std::string, std::vector<Rule>, std::less<>> rules;
  std::map<std::string, unsigned, std::less<>> calls;
  std::map<std::string, unsigned, std::less<>> fired;
  bool countAlways = false;
};

// Whether Hit looks at the registry at all: a rule is set or counting was asked for. Changed
// under the registry's lock; read without it.
constinit std::atomic<bool> armed{false};

Registry& registry() {
  static Registry r;
  return r;
}

bool parseUnsigned(const std::string& text, unsigned* value) {
  std::uint64_t v = 0;
  if (!ParseSettingNumber(text, 0, 999999999, &v)) return false;
  *value = static_cast<unsigned>(v);
  return true;
}

bool parseRule(const std::string& item, std::string* operation, Rule* rule) {
  auto at = item.rfind('@');
  if (at == std::string::npos || at == 0) return false;
  *operation = item.substr(0, at);
  std::string when = item.substr(at + 1);
  rule->count = 1;
  if (!when.empty() && when.back() == '+') {
    rule->count = 0;
    when.pop_back();
  } else if (auto x = when.find('x'); x != std::string::npos) {
    if (!parseUnsigned(when.substr(x + 1), &rule->count) || rule->count == 0) return false;
    when = when.substr(0, x);
  }
  return parseUnsigned(when, &rule->first) && rule->first > 0;
}

using RuleList = std::vector<std::pair<std::string, Rule>>;

// An empty list is malformed too: a rule list says which calls fail.
bool parseList(const std::string& rules, RuleList* parsed) {
  const std::vector<std::string> items = SplitCommaList(rules);
  if (items.empty()) return false;
  for (const std::string& item : items) {
    std::string operation;
    Rule rule{};
    if (!parseRule(item, &operation, &rule)) return false;
    parsed->emplace_back(operation, rule);
  }
  return true;
}

}  // namespace

void Fail(const std::string& operation, unsigned first, unsigned count) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  r.rules[operation].push_back(Rule{first, count});
  armed.store(true, std::memory_order_release);
}

bool Hit(const char* operation) {
  if (!armed.load(std::memory_order_acquire)) return false;
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  const std::string_view name(operation);
  auto counted = r.calls.find(name);
  if (counted == r.calls.end()) counted = r.calls.emplace(name, 0).first;
  const unsigned n = ++counted->second;
  auto found = r.rules.find(name);
  if (found == r.rules.end()) return false;
  for (const Rule& rule : found->second) {
    if (n >= rule.first && (rule.count == 0 || n - rule.first < rule.count)) {
      ++r.fired[found->first];
      return true;
    }
  }
  return false;
}

unsigned Fired(const std::string& operation) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto found = r.fired.find(operation);
  return found == r.fired.end() ? 0 : found->second;
}

unsigned Calls(const std::string& operation) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto found = r.calls.find(operation);
  return found == r.calls.end() ? 0 : found->second;
}

void CountCalls() {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  r.countAlways = true;
  armed.store(true, std::memory_order_release);
}

void Reset() {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  r.rules.clear();
  r.calls.clear();
  r.fired.clear();
  armed.store(r.countAlways, std::memory_order_release);
}

bool Parse(const std::string& rules) {
  RuleList parsed;
  if (!parseList(rules, &parsed)) return false;
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  for (auto& [operation, rule] : parsed) r.rules[operation].push_back(rule);
  armed.store(true, std::memory_order_release);
  return true;
}

bool WellFormed(const std::string& rules) {
  RuleList parsed;
  return parseList(rules, &parsed);
}

}  // namespace faults
