#include "codec/sszl_encoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "codec/buffers.h"
#include "codec/lz_parse.h"
#include "codec/sszl.h"

// Matches are found with hash chains over 3-byte prefixes, in a window of
// the 4096 bytes before the current one. A match at output index i copying
// from distance d (1 to 4096) is written as position (i - d + 4078) mod 4096.
// Before the first 4096 bytes the ring's unwritten slots read as zeros: a
// run of zeros there is a match at distance 4096.
//
// Every literal costs 9 bits (its flag and its byte) and every match 17
// bits whatever its length: at level 9 the cheapest parse of each block is
// found exactly from each position's longest match.
namespace {

constexpr uint32_t kWindow = 4096;
constexpr uint32_t kMinMatch = 3;
constexpr uint32_t kMaxMatch = 18;
constexpr uint32_t kHashBits = 15;
constexpr uint32_t kLiteralBits = 9;
constexpr uint32_t kMatchBits = 17;
constexpr uint32_t kParseBlock = 1u << 16;

struct Match {
  uint32_t length;    // 0 when there is none of kMinMatch bytes
  uint32_t distance;  // 1 to 4096
};

struct MatchFinder {
  const uint8_t* data;
  uint32_t size;
  int chain_limit;
  std::vector<int32_t> head;  // newest position per hash
  std::vector<int32_t> prev;  // the position before, per window slot
};

uint32_t Hash3(const uint8_t* p) {
  uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16;
  return (v * 2654435761u) >> (32 - kHashBits);
}

void Insert(MatchFinder* finder, uint32_t i) {
  if (i + kMinMatch > finder->size) return;
  uint32_t h = Hash3(finder->data + i);
  finder->prev[i % kWindow] = finder->head[h];
  finder->head[h] = static_cast<int32_t>(i);
}

// The longest match for the bytes at `i` (positions before `i` inserted).
Match FindMatch(const MatchFinder& finder, uint32_t i) {
  Match best = {0, 0};
  uint32_t limit = std::min(kMaxMatch, finder.size - i);
  if (limit < kMinMatch) return best;
  const uint8_t* current = finder.data + i;
  // Zeros from the ring's unwritten slots, while output byte i + length - 1
  // still lies in the first 4096.
  if (i < kWindow) {
    uint32_t zeros = 0;
    uint32_t zero_limit = std::min(limit, kWindow - i);
    while (zeros < zero_limit && current[zeros] == 0) ++zeros;
    if (zeros >= kMinMatch) best = {zeros, kWindow};
  }
  int32_t candidate = finder.head[Hash3(current)];
  int32_t oldest = static_cast<int32_t>(i) - static_cast<int32_t>(kWindow);
  for (int steps = 0;
       candidate >= 0 && candidate >= oldest && steps < finder.chain_limit && best.length < limit;
       ++steps) {
    const uint8_t* source = finder.data + candidate;
    // Only a candidate that also matches at the best length can beat it.
    if (source[best.length] == current[best.length]) {
      uint32_t length = 0;
      while (length < limit && source[length] == current[length]) ++length;
      if (length > best.length) best = {length, i - static_cast<uint32_t>(candidate)};
    }
    int32_t next = finder.prev[static_cast<uint32_t>(candidate) % kWindow];
    if (next >= candidate) break;  // a slot reused by a newer position
    candidate = next;
  }
  if (best.length < kMinMatch) best.length = 0;
  return best;
}

// Writes groups of a flag byte and eight items.
struct GroupWriter {
  uint8_t* out;
  uint64_t at;       // next byte to write
  uint64_t flag_at;  // where the current group's flag byte stands
  int items;         // items in the current group
};

void PutItem(GroupWriter* w, bool literal) {
  if (w->items == 8) w->items = 0;
  if (w->items == 0) {
    w->flag_at = w->at++;
    w->out[w->flag_at] = 0;
  }
  if (literal) w->out[w->flag_at] |= static_cast<uint8_t>(1u << w->items);
  ++w->items;
}

void PutLiteral(GroupWriter* w, uint8_t byte) {
  PutItem(w, true);
  w->out[w->at++] = byte;
}

void PutMatch(GroupWriter* w, uint32_t i, Match match) {
  PutItem(w, false);
  uint32_t position = (i - match.distance + kWindow - 18) % kWindow;
  w->out[w->at++] = static_cast<uint8_t>(position & 0xFF);
  w->out[w->at++] = static_cast<uint8_t>((position >> 8) << 4 | (match.length - kMinMatch));
}

int ChainLimit(int level) {
  static const int kLimits[] = {4, 8, 16, 32, 64, 128, 256, 512, 1024};
  return kLimits[std::clamp(level, kSszlMinLevel, kSszlMaxLevel) - 1];
}

}  // namespace

uint64_t SszlEncodeBound(uint64_t size) { return kSszlHeaderSize + size + (size + 7) / 8; }

uint64_t EncodeSszl(const uint8_t* data, uint32_t size, uint8_t* out, int level) {
  MatchFinder finder = {data, size, ChainLimit(level), std::vector<int32_t>(1u << kHashBits, -1),
                        std::vector<int32_t>(kWindow, -1)};
  GroupWriter writer = {out, kSszlHeaderSize, 0, 0};

  if (level >= kSszlMaxLevel) {
    // Block by block: the longest match at every position, then the
    // cheapest parse of the block. Blocks bound the memory; a match never
    // crosses a block's end.
    std::vector<Match> found;
    std::vector<uint32_t> longest, choice;
    for (uint32_t start = 0; start < size;) {
      uint32_t count = std::min(kParseBlock, size - start);
      found.resize(count);
      longest.resize(count);
      for (uint32_t k = 0; k < count; ++k) {
        found[k] = FindMatch(finder, start + k);
        longest[k] = found[k].length <= count - k ? found[k].length : count - k;
        if (longest[k] < kMinMatch) longest[k] = 0;
        Insert(&finder, start + k);
      }
      ChooseCheapestParse(longest, kMinMatch, kLiteralBits, kMatchBits, &choice);
      for (uint32_t k = 0; k < count;) {
        if (choice[k] == 0) {
          PutLiteral(&writer, data[start + k]);
          ++k;
        } else {
          PutMatch(&writer, start + k, {choice[k], found[k].distance});
          k += choice[k];
        }
      }
      start += count;
    }
  } else {
    // Greedy, with one step of lazy evaluation from level 4 on: a match is
    // put off when the next byte starts a longer one.
    bool lazy = level >= 4;
    uint32_t i = 0;
    while (i < size) {
      Match match = FindMatch(finder, i);
      if (match.length != 0 && lazy && i + 1 < size) {
        Insert(&finder, i);
        Match next = FindMatch(finder, i + 1);
        if (next.length > match.length) {
          PutLiteral(&writer, data[i]);
          ++i;
          continue;  // position i + 1 is searched again; it is inserted once
        }
        for (uint32_t k = 1; k < match.length; ++k) Insert(&finder, i + k);
        PutMatch(&writer, i, match);
        i += match.length;
        continue;
      }
      if (match.length == 0) {
        Insert(&finder, i);
        PutLiteral(&writer, data[i]);
        ++i;
      } else {
        for (uint32_t k = 0; k < match.length; ++k) Insert(&finder, i + k);
        PutMatch(&writer, i, match);
        i += match.length;
      }
    }
  }

  uint64_t packed_size = writer.at - kSszlHeaderSize;
  StoreLe32(out, kSszlMagic);
  StoreLe32(out + 4, 0);
  StoreLe32(out + 8, static_cast<uint32_t>(packed_size));
  StoreLe32(out + 12, size);
  return writer.at;
}
