#include "codec/sszl_encoder.h"

#include <algorithm>

#include "codec/buffers.h"
#include "codec/lz_parse.h"
#include "codec/sszl.h"

// Matches are found in a window of the 4096 bytes before the current one. A match at output index i
// copying from distance d (1 to 4096) is written as position (i - d + 4078) mod 4096. Before the
// first 4096 bytes the ring's unwritten slots read as zeros: a run of zeros there is a match at
// distance 4096.
//
// Every literal costs 9 bits (its flag and its byte) and every match 17
// bits whatever its length: at level 9 the cheapest parse of each block is
// found exactly from each position's longest match.
namespace {

constexpr uint32_t kWindow = 4096;
constexpr uint32_t kMinMatch = 3;
constexpr uint32_t kMaxMatch = 18;
constexpr uint32_t kLiteralBits = 9;
constexpr uint32_t kMatchBits = 17;

// The longest match at `i`: from the window, or from the zeros of the
// ring's unwritten slots while output byte i + length - 1 is still among the
// first 4096.
FoundMatch FindMatch(const MatchFinder<uint8_t>& finder, uint32_t i) {
  FoundMatch zeros = {0, kWindow};
  if (i < kWindow) {
    uint32_t limit = std::min({kMaxMatch, finder.size - i, kWindow - i});
    while (zeros.length < limit && finder.data[i + zeros.length] == 0) ++zeros.length;
  }
  return LongestMatch(finder, i, zeros);
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

void PutMatch(GroupWriter* w, uint32_t i, uint32_t length, uint32_t distance) {
  PutItem(w, false);
  uint32_t position = (i - distance + kWindow - 18) % kWindow;
  w->out[w->at++] = static_cast<uint8_t>(position & 0xFF);
  w->out[w->at++] = static_cast<uint8_t>((position >> 8) << 4 | (length - kMinMatch));
}

int ChainLimit(int level) {
  static const int kLimits[] = {4, 8, 16, 32, 64, 128, 256, 512, 1024};
  return kLimits[std::clamp(level, kSszlMinLevel, kSszlMaxLevel) - 1];
}

}  // namespace

uint64_t SszlEncodeBound(uint64_t size) { return kSszlHeaderSize + size + (size + 7) / 8; }

uint64_t EncodeSszl(const uint8_t* data, uint32_t size, uint8_t* out, int level) {
  MatchFinder<uint8_t> finder =
      MakeMatchFinder(data, size, kWindow, kMinMatch, kMaxMatch, ChainLimit(level));
  GroupWriter writer = {out, kSszlHeaderSize, 0, 0};
  auto literal = [&](uint32_t i) { PutLiteral(&writer, data[i]); };
  auto match = [&](uint32_t i, uint32_t length, uint32_t distance) {
    PutMatch(&writer, i, length, distance);
  };
  if (level >= kSszlMaxLevel) {
    auto find = [&](uint32_t i) {
      FoundMatch found = FindMatch(finder, i);
      InsertPosition(&finder, i);
      return found;
    };
    ParseCheapest(size, kMinMatch, kLiteralBits, kMatchBits, find, literal, match);
  } else {
    auto find = [&](uint32_t i) { return FindMatch(finder, i); };
    auto insert = [&](uint32_t i) { InsertPosition(&finder, i); };
    ParseGreedy(size, level >= 4, find, insert, literal, match);
  }

  uint64_t packed_size = writer.at - kSszlHeaderSize;
  StoreLe32(out, kSszlMagic);
  StoreLe32(out + 4, 0);
  StoreLe32(out + 8, static_cast<uint32_t>(packed_size));
  StoreLe32(out + 12, size);
  return writer.at;
}
