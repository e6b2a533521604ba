#include "platform/comma_list.h"

std::vector<std::string> SplitCommaList(std::string_view text) {
  std::vector<std::string> items;
  if (text.empty()) return items;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(',', start);
    items.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return items;
    start = end + 1;
  }
}
