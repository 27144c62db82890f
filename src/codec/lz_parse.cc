#include "codec/lz_parse.h"

#include <cstddef>

void ChooseCheapestParse(const std::vector<uint32_t>& longest, uint32_t min_match,
                         uint32_t literal_bits, uint32_t match_bits,
                         std::vector<uint32_t>* choice) {
  size_t count = longest.size();
  choice->assign(count, 0);
  // cost[k]: the fewest bits that code the items from k to the block's end.
  std::vector<uint64_t> cost(count + 1, 0);
  for (size_t k = count; k-- > 0;) {
    cost[k] = literal_bits + cost[k + 1];
    for (uint32_t length = min_match; length <= longest[k]; ++length) {
      if (match_bits + cost[k + length] < cost[k]) {
        cost[k] = match_bits + cost[k + length];
        (*choice)[k] = length;
      }
    }
  }
}
