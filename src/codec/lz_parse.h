// What kobrex's two encoders share: hash chains that find the longest match
// over a window of units (bytes for SSZL, 16-bit units for Wp16), and the
// two ways of cutting the input into literals and matches.
//
// In both codecs every literal costs the same number of bits and every match
// the same whatever its length and distance, so the cheapest parse of a
// block follows exactly from the longest match at each of its positions.
#ifndef KOBREX_CODEC_LZ_PARSE_H_
#define KOBREX_CODEC_LZ_PARSE_H_

#include <algorithm>
#include <cstdint>
#include <vector>

struct FoundMatch {
  uint32_t length;    // 0 when there is none
  uint32_t distance;  // in units
};

template <typename Unit>
struct MatchFinder {
  const Unit* data;
  uint32_t size;       // units of data
  uint32_t window;     // the farthest distance
  uint32_t min_match;  // units; also the hashed prefix
  uint32_t max_match;
  int chain_limit;            // candidates tried per search
  std::vector<int32_t> head;  // the newest position per hash
  std::vector<int32_t> prev;  // the position before it, per slot
  uint32_t slot_mask;         // slots: a power of two above the window
};

constexpr uint32_t kMatchHashBits = 16;

template <typename Unit>
MatchFinder<Unit> MakeMatchFinder(const Unit* data, uint32_t size, uint32_t window,
                                  uint32_t min_match, uint32_t max_match, int chain_limit) {
  uint32_t slots = 1;
  while (slots <= window) slots <<= 1;
  return {data,
          size,
          window,
          min_match,
          max_match,
          chain_limit,
          std::vector<int32_t>(1u << kMatchHashBits, -1),
          std::vector<int32_t>(slots, -1),
          slots - 1};
}

template <typename Unit>
uint32_t HashPrefix(const MatchFinder<Unit>& finder, uint32_t i) {
  uint64_t key = 0;
  for (uint32_t k = 0; k < finder.min_match; ++k)
    key = key << (8 * sizeof(Unit)) | finder.data[i + k];
  return static_cast<uint32_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - kMatchHashBits));
}

// Makes position `i` a candidate for the searches after it.
template <typename Unit>
void InsertPosition(MatchFinder<Unit>* finder, uint32_t i) {
  if (i + finder->min_match > finder->size) return;
  uint32_t h = HashPrefix(*finder, i);
  finder->prev[i & finder->slot_mask] = finder->head[h];
  finder->head[h] = static_cast<int32_t>(i);
}

// The longest match at `i` among the inserted positions of the window, or
// `best` when none is longer. Matches shorter than min_match count as none.
template <typename Unit>
FoundMatch LongestMatch(const MatchFinder<Unit>& finder, uint32_t i, FoundMatch best) {
  uint32_t limit = std::min(finder.max_match, finder.size - i);
  if (limit < finder.min_match) return {0, 0};
  const Unit* current = finder.data + i;
  int32_t candidate = finder.head[HashPrefix(finder, i)];
  int64_t oldest = int64_t{i} - finder.window;
  for (int steps = 0;
       candidate >= 0 && candidate >= oldest && steps < finder.chain_limit && best.length < limit;
       ++steps) {
    const Unit* source = finder.data + candidate;
    // Only a candidate that also matches at the best length can beat it.
    if (source[best.length] == current[best.length]) {
      uint32_t length = 0;
      while (length < limit && source[length] == current[length]) ++length;
      if (length > best.length) best = {length, i - static_cast<uint32_t>(candidate)};
    }
    int32_t next = finder.prev[static_cast<uint32_t>(candidate) & finder.slot_mask];
    if (next >= candidate) break;  // a slot taken over by a newer position
    candidate = next;
  }
  if (best.length < finder.min_match) best.length = 0;
  return best;
}

// The cheapest parse of `size` units, block by block (blocks bound the
// memory; no match crosses a block's end). `find(i)` returns the longest
// match at i and inserts i; `literal(i)` and `match(i, length, distance)`
// write the items in order.
template <typename Find, typename Literal, typename Match>
void ParseCheapest(uint32_t size, uint32_t min_match, uint32_t literal_bits, uint32_t match_bits,
                   Find find, Literal literal, Match match) {
  constexpr uint32_t kBlock = 1u << 16;
  std::vector<FoundMatch> found;
  std::vector<uint64_t> cost;    // cost[k]: fewest bits for the block from k on
  std::vector<uint32_t> choice;  // 0: a literal at k, else the match length
  for (uint32_t start = 0; start < size;) {
    uint32_t count = std::min(kBlock, size - start);
    found.resize(count);
    for (uint32_t k = 0; k < count; ++k) {
      found[k] = find(start + k);
      found[k].length = std::min(found[k].length, count - k);
      if (found[k].length < min_match) found[k].length = 0;
    }
    cost.assign(count + 1, 0);
    choice.assign(count, 0);
    for (uint32_t k = count; k-- > 0;) {
      cost[k] = literal_bits + cost[k + 1];
      for (uint32_t length = min_match; length <= found[k].length; ++length) {
        if (match_bits + cost[k + length] < cost[k]) {
          cost[k] = match_bits + cost[k + length];
          choice[k] = length;
        }
      }
    }
    for (uint32_t k = 0; k < count;) {
      if (choice[k] == 0) {
        literal(start + k);
        ++k;
      } else {
        match(start + k, choice[k], found[k].distance);
        k += choice[k];
      }
    }
    start += count;
  }
}

// A greedy parse: the longest match wherever there is one. With `lazy` a
// match is put off by one unit when the next unit starts a longer one.
// `find(i)` searches without inserting; `insert(i)` inserts.
template <typename Find, typename Insert, typename Literal, typename Match>
void ParseGreedy(uint32_t size, bool lazy, Find find, Insert insert, Literal literal, Match match) {
  uint32_t inserted = 0;  // positions below it are inserted
  auto insert_to = [&](uint32_t end) {
    for (; inserted < end; ++inserted) insert(inserted);
  };
  for (uint32_t i = 0; i < size;) {
    FoundMatch here = find(i);
    if (here.length != 0 && lazy && i + 1 < size) {
      insert_to(i + 1);
      if (find(i + 1).length > here.length) {
        literal(i);
        ++i;
        continue;
      }
    }
    if (here.length == 0) {
      insert_to(i + 1);
      literal(i);
      ++i;
    } else {
      insert_to(i + here.length);
      match(i, here.length, here.distance);
      i += here.length;
    }
  }
}

#endif  // KOBREX_CODEC_LZ_PARSE_H_
