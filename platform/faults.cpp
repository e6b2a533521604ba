#include "platform/faults.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/comma_list.h"

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
  bool environmentRead = false;
};

Registry& registry() {
  static Registry r;
  return r;
}

bool parseUnsigned(const std::string& text, unsigned* value) {
  if (text.empty() || text.size() > 9) return false;
  unsigned v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<unsigned>(c - '0');
  }
  *value = v;
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

void readEnvironment(Registry& r) {
  if (r.environmentRead) return;
  r.environmentRead = true;
  const char* text = std::getenv("KALETH_FAULTS");
  if (text == nullptr || *text == '\0') return;
  RuleList parsed;
  if (!parseList(text, &parsed)) {
    std::fprintf(stderr, "KALETH_FAULTS: ignoring malformed rules '%s'\n", text);
    return;
  }
  for (auto& [operation, rule] : parsed) r.rules[operation].push_back(rule);
}

}  // namespace

void Fail(const std::string& operation, unsigned first, unsigned count) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  r.rules[operation].push_back(Rule{first, count});
}

bool Hit(const char* operation) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  readEnvironment(r);
  const std::string_view name(operation);
  auto counted = r.calls.find(name);
  if (counted == r.calls.end()) counted = r.calls.emplace(name, 0).first;
  const unsigned n = ++counted->second;
  auto found = r.rules.find(name);
  if (found == r.rules.end()) return false;
  for (const Rule& rule : found->second) {
    if (n >= rule.first && (rule.count == 0 || n - rule.first < rule.count)) return true;
  }
  return false;
}

unsigned Calls(const std::string& operation) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto found = r.calls.find(operation);
  return found == r.calls.end() ? 0 : found->second;
}

void Reset() {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  r.rules.clear();
  r.calls.clear();
  r.environmentRead = false;
}

bool Parse(const std::string& rules) {
  RuleList parsed;
  if (!parseList(rules, &parsed)) return false;
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  for (auto& [operation, rule] : parsed) r.rules[operation].push_back(rule);
  return true;
}

}  // namespace faults
