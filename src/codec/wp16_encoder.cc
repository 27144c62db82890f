#include "codec/wp16_encoder.h"

#include <algorithm>
#include <vector>

#include "codec/buffers.h"
#include "codec/lz_parse.h"
#include "codec/wp16.h"

// Matches are found with hash chains over pairs of units, in a window of the
// 2047 units before the current one. Distance 0 makes a run of zero units:
// each unit is its own source, which the decoder has cleared.
//
// Every token costs 17 bits (its flag and its two bytes), a literal unit and
// a match of 2 to 33 units alike: at level 9 the cheapest parse of each block
// is found exactly from each unit's longest match.
namespace {

constexpr uint32_t kWindowUnits = 2047;
constexpr uint32_t kMinMatch = 2;
constexpr uint32_t kMaxMatch = 33;
constexpr uint32_t kHashBits = 16;
constexpr uint32_t kTokenBits = 17;
constexpr uint32_t kParseBlock = 1u << 16;
constexpr uint32_t kChainSlots = 2048;  // a power of two above the window

struct Match {
  uint32_t length;    // 0 when there is none of kMinMatch units
  uint32_t distance;  // 0 (zeros) to 2047
};

struct MatchFinder {
  const std::vector<uint16_t>* units;
  int chain_limit;
  std::vector<int32_t> head;
  std::vector<int32_t> prev;
};

uint32_t HashPair(const uint16_t* p) {
  uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 16;
  return (v * 2654435761u) >> (32 - kHashBits);
}

void Insert(MatchFinder* finder, uint32_t i) {
  const std::vector<uint16_t>& units = *finder->units;
  if (i + kMinMatch > units.size()) return;
  uint32_t h = HashPair(units.data() + i);
  finder->prev[i % kChainSlots] = finder->head[h];
  finder->head[h] = static_cast<int32_t>(i);
}

Match FindMatch(const MatchFinder& finder, uint32_t i) {
  const std::vector<uint16_t>& units = *finder.units;
  Match best = {0, 0};
  uint32_t limit = std::min<uint32_t>(kMaxMatch, static_cast<uint32_t>(units.size()) - i);
  if (limit < kMinMatch) return best;
  const uint16_t* current = units.data() + i;
  uint32_t zeros = 0;
  while (zeros < limit && current[zeros] == 0) ++zeros;
  if (zeros >= kMinMatch) best = {zeros, 0};
  int32_t candidate = finder.head[HashPair(current)];
  int32_t oldest = static_cast<int32_t>(i) - static_cast<int32_t>(kWindowUnits);
  for (int steps = 0;
       candidate >= 0 && candidate >= oldest && steps < finder.chain_limit && best.length < limit;
       ++steps) {
    const uint16_t* source = units.data() + candidate;
    if (source[best.length] == current[best.length]) {
      uint32_t length = 0;
      while (length < limit && source[length] == current[length]) ++length;
      if (length > best.length) best = {length, i - static_cast<uint32_t>(candidate)};
    }
    int32_t next = finder.prev[static_cast<uint32_t>(candidate) % kChainSlots];
    if (next >= candidate) break;  // a slot reused by a newer position
    candidate = next;
  }
  if (best.length < kMinMatch) best.length = 0;
  return best;
}

// Writes control words, each before the 32 tokens it describes.
struct TokenWriter {
  uint8_t* out;
  uint64_t at;
  uint64_t control_at;
  uint32_t control;
  int tokens;  // tokens under the current control word
};

void PutToken(TokenWriter* w, bool literal, uint16_t value) {
  if (w->tokens == 32) {
    StoreLe32(w->out + w->control_at, w->control);
    w->tokens = 0;
  }
  if (w->tokens == 0) {
    w->control_at = w->at;
    w->at += 4;
    w->control = 0;
  }
  if (literal) w->control |= 1u << w->tokens;
  ++w->tokens;
  StoreLe16(w->out + w->at, value);
  w->at += 2;
}

void PutMatch(TokenWriter* w, Match match) {
  PutToken(w, false, static_cast<uint16_t>(match.distance << 5 | (match.length - kMinMatch)));
}

int ChainLimit(int level) {
  static const int kLimits[] = {4, 8, 16, 32, 64, 128, 256, 512, 1024};
  return kLimits[std::clamp(level, kWp16MinLevel, kWp16MaxLevel) - 1];
}

}  // namespace

uint64_t Wp16EncodeBound(uint64_t size) {
  uint64_t units = (size + 1) / 2;
  return kWp16HeaderSize + 2 * units + 4 * ((units + 31) / 32);
}

uint64_t EncodeWp16(const uint8_t* data, uint32_t size, uint8_t* out, int level) {
  std::vector<uint16_t> units((uint64_t{size} + 1) / 2, 0);
  for (uint32_t k = 0; k < size; ++k) {
    units[k / 2] = static_cast<uint16_t>(units[k / 2] | data[k] << (8 * (k % 2)));
  }
  uint32_t count_all = static_cast<uint32_t>(units.size());
  MatchFinder finder = {&units, ChainLimit(level), std::vector<int32_t>(1u << kHashBits, -1),
                        std::vector<int32_t>(kChainSlots, -1)};
  TokenWriter writer = {out, kWp16HeaderSize, 0, 0, 0};

  if (level >= kWp16MaxLevel) {
    std::vector<Match> found;
    std::vector<uint32_t> longest, choice;
    for (uint32_t start = 0; start < count_all;) {
      uint32_t count = std::min(kParseBlock, count_all - start);
      found.resize(count);
      longest.resize(count);
      for (uint32_t k = 0; k < count; ++k) {
        found[k] = FindMatch(finder, start + k);
        longest[k] = std::min(found[k].length, count - k);
        if (longest[k] < kMinMatch) longest[k] = 0;
        Insert(&finder, start + k);
      }
      ChooseCheapestParse(longest, kMinMatch, kTokenBits, kTokenBits, &choice);
      for (uint32_t k = 0; k < count;) {
        if (choice[k] == 0) {
          PutToken(&writer, true, units[start + k]);
          ++k;
        } else {
          PutMatch(&writer, {choice[k], found[k].distance});
          k += choice[k];
        }
      }
      start += count;
    }
  } else {
    for (uint32_t i = 0; i < count_all;) {
      Match match = FindMatch(finder, i);
      if (match.length == 0) {
        Insert(&finder, i);
        PutToken(&writer, true, units[i]);
        ++i;
      } else {
        for (uint32_t k = 0; k < match.length; ++k) Insert(&finder, i + k);
        PutMatch(&writer, match);
        i += match.length;
      }
    }
  }
  // The last control word's unused flags stay 0: matches, which the budget,
  // spent by then, turns into nothing.
  if (writer.tokens > 0) StoreLe32(out + writer.control_at, writer.control);
  StoreLe32(out, kWp16Magic);
  StoreLe32(out + 4, size);
  return writer.at;
}
