// Where the engine's skip over a block stops, for every starting line at once.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace marvo::check {

// The skip from line s counts depth +1 on an opening line and -1 on a closing one, and stops on
// the closing line where the depth comes back to 0. With prefix sums P the stop is the first
// closing line k >= s with P(k) == P(s - 1).
class SkipStops {
 public:
  // `marksOf(k)` gives the marks of line k of `count` lines.
  template <class MarksOf>
  SkipStops(int count, MarksOf marksOf, std::uint8_t opens, std::uint8_t closes) {
    before_.resize(static_cast<std::size_t>(count) + 1, 0);
    std::int64_t sum = 0;
    for (int k = 0; k < count; ++k) {
      const std::uint8_t marks = marksOf(k);
      before_[static_cast<std::size_t>(k)] = sum;
      if (marks & opens) ++sum;
      if (marks & closes) closing_[--sum].push_back(k);
    }
    before_[static_cast<std::size_t>(count)] = sum;
  }
  // The line where a skip that starts at s stops, or -1 when it runs past the end.
  int stop(int s) const {
    auto it = closing_.find(before_[static_cast<std::size_t>(s)]);
    if (it == closing_.end()) return -1;
    auto k = std::lower_bound(it->second.begin(), it->second.end(), s);
    return k == it->second.end() ? -1 : *k;
  }

 private:
  std::vector<std::int64_t> before_;
  std::unordered_map<std::int64_t, std::vector<int>> closing_;
};

}  // namespace marvo::check
