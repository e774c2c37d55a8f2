// Delta debugging: the shortest sub-sequence found that still fails.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace reliability {

// `fails` replays a candidate from scratch and returns the index of the step
// at which it fails, or nothing when it passes. Steps after that index are
// dropped at once. Chunks are removed in halves, then quarters and so on down
// to single steps (ddmin); at most `budget` replays are spent, and the best
// sequence found so far is returned when they run out.
template <typename Step>
std::vector<Step> shrinkFailing(
    std::vector<Step> steps,
    const std::function<std::optional<std::size_t>(const std::vector<Step>&)>& fails,
    int budget) {
  auto attempt = [&](const std::vector<Step>& candidate) {
    if (budget <= 0) return false;
    --budget;
    const std::optional<std::size_t> at = fails(candidate);
    if (!at) return false;
    steps.assign(candidate.begin(),
                 candidate.begin() + static_cast<std::ptrdiff_t>(std::min(*at + 1, candidate.size())));
    return true;
  };

  std::size_t chunks = 2;
  while (steps.size() >= 2 && budget > 0) {
    const std::size_t size = steps.size();
    chunks = std::min(chunks, size);
    auto begin = [&](std::size_t c) {
      return steps.begin() + static_cast<std::ptrdiff_t>(c * size / chunks);
    };
    // First a chunk on its own, then everything but a chunk.
    bool alone = false;
    for (std::size_t c = 0; c < chunks && !alone && chunks > 2; ++c)
      alone = attempt(std::vector<Step>(begin(c), begin(c + 1)));
    if (alone) {
      chunks = 2;
      continue;
    }
    bool removed = false;
    for (std::size_t c = 0; c < chunks && !removed; ++c) {
      std::vector<Step> rest(steps.begin(), begin(c));
      rest.insert(rest.end(), begin(c + 1), steps.end());
      removed = attempt(rest);
    }
    if (removed) {
      chunks = std::max<std::size_t>(chunks - 1, 2);
    } else if (chunks == size) {
      break;  // no single step can go
    } else {
      chunks = std::min(chunks * 2, size);
    }
  }
  return steps;
}

}  // namespace reliability
