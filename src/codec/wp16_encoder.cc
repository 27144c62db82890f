#include "codec/wp16_encoder.h"

#include <algorithm>
#include <vector>

#include "codec/buffers.h"
#include "codec/lz_parse.h"
#include "codec/wp16.h"

// Matches are found in a window of the 2047 units before the current one. Distance 0 makes a run of
// zero units: each unit is its own source, which the decoder has cleared.
//
// Every token costs 17 bits (its flag and its two bytes), a literal unit and
// a match of 2 to 33 units alike: at level 9 the cheapest parse of each block
// is found exactly from each unit's longest match.
namespace {

constexpr uint32_t kWindowUnits = 2047;
constexpr uint32_t kMinMatch = 2;
constexpr uint32_t kMaxMatch = 33;
constexpr uint32_t kTokenBits = 17;

// The longest match at `i`: from the window, or a run of zero units at
// distance 0.
FoundMatch FindMatch(const MatchFinder<uint16_t>& finder, uint32_t i) {
  FoundMatch zeros = {0, 0};
  uint32_t limit = std::min(kMaxMatch, finder.size - i);
  while (zeros.length < limit && finder.data[i + zeros.length] == 0) ++zeros.length;
  return LongestMatch(finder, i, zeros);
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

void PutMatch(TokenWriter* w, uint32_t length, uint32_t distance) {
  PutToken(w, false, static_cast<uint16_t>(distance << 5 | (length - kMinMatch)));
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
  uint32_t count = static_cast<uint32_t>(units.size());
  MatchFinder<uint16_t> finder =
      MakeMatchFinder(units.data(), count, kWindowUnits, kMinMatch, kMaxMatch, ChainLimit(level));
  TokenWriter writer = {out, kWp16HeaderSize, 0, 0, 0};
  auto literal = [&](uint32_t i) { PutToken(&writer, true, units[i]); };
  auto match = [&](uint32_t, uint32_t length, uint32_t distance) {
    PutMatch(&writer, length, distance);
  };
  if (level >= kWp16MaxLevel) {
    auto find = [&](uint32_t i) {
      FoundMatch found = FindMatch(finder, i);
      InsertPosition(&finder, i);
      return found;
    };
    ParseCheapest(count, kMinMatch, kTokenBits, kTokenBits, find, literal, match);
  } else {
    auto find = [&](uint32_t i) { return FindMatch(finder, i); };
    auto insert = [&](uint32_t i) { InsertPosition(&finder, i); };
    ParseGreedy(count, level >= 4, find, insert, literal, match);
  }
  // The last control word's unused flags stay 0: matches, which the budget,
  // spent by then, turns into nothing.
  if (writer.tokens > 0) StoreLe32(out + writer.control_at, writer.control);
  StoreLe32(out, kWp16Magic);
  StoreLe32(out + 4, size);
  return writer.at;
}
