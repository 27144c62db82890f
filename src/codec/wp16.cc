#include "codec/wp16.h"

#include <cstring>

#include "codec/buffers.h"

// Two ways through the token stream, giving the same bytes:
//
// - One step exactly as the format's rule, with the limit test before it;
//   every stored byte at or past stored_size reads as zero.
// - A whole control word of 32 tokens with no test at all, when at its
//   start the bounds show that none of the 32 limit tests could stop and no
//   match could be shortened by the budget: the word and its tokens lie
//   inside the stored bytes, the most units it can make still leave out_pos
//   at or below unpacked_size, and the budget covers them. The bound is the
//   one from the word's popcount (33 units a match), or near the end its
//   exact units.
namespace {

constexpr uint32_t kControlBytes = 4;
constexpr uint32_t kTokenBytes = 2;
constexpr uint32_t kTokensPerWord = 32;
constexpr uint32_t kMaxMatchUnits = 33;

// A step starts with out_pos <= unpacked_size and writes one match of at
// most 33 units: the one-step path writes below unpacked_size + 66.
static_assert(2 * kMaxMatchUnits <= kBufferSlack, "a step's overrun must fit the slack");

// The whole-word path copies in blocks of 16 bytes: two at least for a run
// of literals (at most 31 units, 62 bytes, or none), three at least for a
// match (at most 66 bytes). A run reads and writes up to 32 bytes past its
// end, a match writes up to 48 past its end, and a match of distance 0
// writes 66 zero bytes from its start. So a whole word reads at most
// kFastWordInputReach bytes from its control word, and writes at most 48
// bytes past its last unit; its units end at or below unpacked_size.
constexpr uint32_t kBlock = 16;
constexpr uint32_t kFastWordInputReach = kControlBytes + kTokensPerWord * kTokenBytes + 2 * kBlock;
constexpr uint32_t kFastWordOverrun = 3 * kBlock;
static_assert(kFastWordOverrun <= kBufferSlack, "a word's overrun must fit the slack");

// The 32-bit and 16-bit values at `at`, with every byte at or past `size`
// read as zero.
uint32_t Load32Bounded(const uint8_t* stored, uint32_t size, uint64_t at) {
  if (at + 4 <= size) return LoadLe32(stored + at);
  uint32_t value = 0;
  for (uint32_t k = 0; k < 4; ++k) {
    if (at + k < size) value |= static_cast<uint32_t>(stored[at + k]) << (8 * k);
  }
  return value;
}

uint16_t Load16Bounded(const uint8_t* stored, uint32_t size, uint64_t at) {
  if (at + 2 <= size) return LoadLe16(stored + at);
  return at < size ? stored[at] : 0;
}

// Copies `bytes` bytes from `source` in blocks of 16, `kFirst` blocks at
// least: most runs and matches take no more, so the loop after them is
// seldom entered and its branch seldom mispredicted.
template <uint32_t kFirst>
inline void CopyBlocks(uint8_t* target, const uint8_t* source, uint32_t bytes) {
  for (uint32_t k = 0; k < kFirst * kBlock; k += kBlock) Copy16(target + k, source + k);
  for (uint32_t k = kFirst * kBlock; k < bytes; k += kBlock) Copy16(target + k, source + k);
}
// Runs of literals, mostly short, take two blocks first; matches three.
constexpr uint32_t kRunBlocks = 2;
constexpr uint32_t kMatchBlocks = 3;

// The number of set bits (no instruction for it is assumed).
inline uint32_t CountBits(uint32_t v) {
  v = v - ((v >> 1) & 0x55555555u);
  v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
  return (((v + (v >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24;
}

// A match of `length` units from `distance` units back, inside the output
// (out_pos >= 2 * distance, distance >= 1), in blocks where its overlap
// allows: blocks from whole periods of the repeated pattern back.
inline void CopyMatch(uint8_t* target, uint32_t distance, uint32_t length) {
  uint32_t back = 2 * distance;
  uint32_t bytes = 2 * length;
  if (back >= kBlock) {
    // Each block's source ends at least 16 bytes before its target begins.
    CopyBlocks<kMatchBlocks>(target, target - back, bytes);
    return;
  }
  // The first 16 bytes unit by unit, then blocks from the smallest whole
  // number of periods back that is 16 bytes or more (by distance, from a
  // table: a division costs more than the copy).
  static constexpr uint8_t kPeriod[kBlock / 2] = {0, 16, 16, 18, 16, 20, 24, 28};
  for (uint32_t k = 0; k < kBlock; k += 2) std::memcpy(target + k, target + k - back, 2);
  uint32_t period = kPeriod[distance];
  for (uint32_t k = kBlock; k < bytes; k += kBlock) Copy16(target + k, target + k - period);
}

// `length` units from `distance` units back, unit by unit, to out_pos: a
// unit whose source lies before the start of the output reads as zero.
inline void CopyUnitsOneByOne(uint8_t* out, uint32_t out_pos, uint32_t distance, uint32_t length) {
  uint32_t back = 2 * distance;
  for (uint32_t at = out_pos; at < out_pos + 2 * length; at += 2) {
    if (at >= back) {
      std::memcpy(out + at, out + at - back, 2);
    } else {
      out[at] = 0;
      out[at + 1] = 0;
    }
  }
}

// True when a word making `units` units can run with no test: the budget
// covers them and out_pos stays at or below unpacked_size.
inline bool WordFits(uint32_t units, uint32_t units_left, uint32_t out_pos,
                     uint32_t unpacked_size) {
  return units_left >= units && out_pos <= unpacked_size && unpacked_size - out_pos >= 2 * units;
}

// The units the 32 tokens of `control_word` make when no match is
// shortened: the exact bound of a whole word.
inline uint32_t WordUnits(uint32_t control_word, const uint8_t* in) {
  uint32_t units = 0;
  for (uint32_t k = 0; k < kTokensPerWord; ++k, control_word >>= 1) {
    units += control_word & 1 ? 1 : (LoadLe16(in + kTokenBytes * k) & 0x1Fu) + 2;
  }
  return units;
}

// The 32 tokens of `control_word`, whose tokens start at `in`, with no
// limit test: the caller has checked the whole-word bounds. Returns the
// units made.
inline uint32_t DecodeWord(uint32_t control_word, const uint8_t* in, uint8_t* out,
                           uint32_t* out_pos_inout) {
  uint32_t out_pos = *out_pos_inout;
  uint32_t start = out_pos;
  // Visit the matches only: the literals before each, and those after the
  // last, are one run of units copied as they stand.
  uint32_t matches = ~control_word;
  uint32_t tokens_done = 0;
  while (matches != 0) {
    uint32_t token_index = static_cast<uint32_t>(__builtin_ctz(matches));
    uint32_t run = token_index - tokens_done;
    CopyBlocks<kRunBlocks>(out + out_pos, in, 2 * run);
    out_pos += 2 * run;
    in += 2 * run;
    uint32_t token = LoadLe16(in);
    in += kTokenBytes;
    uint32_t length = (token & 0x1Fu) + 2;
    uint32_t distance = token >> 5;
    uint8_t* target = out + out_pos;
    if (distance == 0) {
      // Each unit is its own source, not yet produced: zero.
      std::memset(target, 0, 2 * kMaxMatchUnits);
    } else if (out_pos >= 2 * distance) {
      CopyMatch(target, distance, length);
    } else {
      CopyUnitsOneByOne(out, out_pos, distance, length);  // reaches before the start
    }
    out_pos += 2 * length;
    tokens_done = token_index + 1;
    matches &= matches - 1;
  }
  uint32_t run = kTokensPerWord - tokens_done;
  CopyBlocks<kRunBlocks>(out + out_pos, in, 2 * run);
  out_pos += 2 * run;
  *out_pos_inout = out_pos;
  return (out_pos - start) / 2;
}

}  // namespace

bool IsWp16Stream(const uint8_t* stored, uint32_t stored_size) {
  return stored_size >= 4 && LoadLe32(stored) == kWp16Magic;
}

int DecodeWp16(const uint8_t* stored, uint32_t stored_size, uint8_t* decoded,
               uint32_t unpacked_size) {
  Wp16Stop stop;
  return DecodeWp16Stopping(stored, stored_size, decoded, unpacked_size, &stop);
}

int DecodeWp16Stopping(const uint8_t* stored, uint32_t stored_size, uint8_t* decoded,
                       uint32_t unpacked_size, Wp16Stop* stop) {
  *stop = {0, 0};
  if (!IsWp16Stream(stored, stored_size)) return 0;
  // The clear of the first unpacked_size bytes is made at the end, for the
  // bytes past the last unit: every byte before it is written by a step,
  // since no step reads a byte it has not written (distance 0 writes zeros,
  // sources before the start read as zero).
  uint32_t expanded_size = Load32Bounded(stored, stored_size, 4);
  uint32_t units_left = (expanded_size >> 1) + (expanded_size & 1);

  // Wide, so that it cannot wrap however close stored_size is to 2^32.
  uint64_t in_pos = kWp16HeaderSize;
  uint32_t out_pos = 0;
  uint32_t control_word = 0;
  uint32_t flags_left = 0;
  for (;;) {
    if (flags_left == 0 && in_pos + kFastWordInputReach <= stored_size) {
      __builtin_prefetch(stored + in_pos + kPrefetchAhead);
      __builtin_prefetch(decoded + out_pos + kPrefetchAhead, 1);
      uint32_t word = LoadLe32(stored + in_pos);
      uint32_t literals = CountBits(word);
      uint32_t most_units = literals + kMaxMatchUnits * (kTokensPerWord - literals);
      // Near the end of the budget or of the output the bound from the
      // popcount is too coarse: the word's own lengths give the exact one.
      if (!WordFits(most_units, units_left, out_pos, unpacked_size)) {
        most_units = WordUnits(word, stored + in_pos + kControlBytes);
      }
      if (WordFits(most_units, units_left, out_pos, unpacked_size)) {
        units_left -= DecodeWord(word, stored + in_pos + kControlBytes, decoded, &out_pos);
        in_pos += kControlBytes + kTokensPerWord * kTokenBytes;
        continue;
      }
    }
    // The limit test before every step; equality does not stop. Each step
    // consumes two or more stored bytes, so the loop ends.
    if (in_pos > stored_size || out_pos > unpacked_size) break;
    if (flags_left == 0) {
      control_word = Load32Bounded(stored, stored_size, in_pos);
      in_pos += kControlBytes;
      flags_left = kTokensPerWord;
    }
    uint32_t flag = control_word & 1;
    control_word >>= 1;
    --flags_left;
    uint16_t token = Load16Bounded(stored, stored_size, in_pos);
    in_pos += kTokenBytes;
    if (flag) {
      StoreLe16(decoded + out_pos, token);
      out_pos += 2;
      --units_left;  // a literal never looks at the budget; it may wrap
      continue;
    }
    uint32_t length = (token & 0x1Fu) + 2;
    uint32_t distance = token >> 5;
    if (length > units_left) length = units_left;
    units_left -= length;
    if (distance == 0) {
      std::memset(decoded + out_pos, 0, 2 * length);  // each unit its own source: zero
      out_pos += 2 * length;
      continue;
    }
    CopyUnitsOneByOne(decoded, out_pos, distance, length);
    out_pos += 2 * length;
  }
  // The clear, for what the stream never produced (blocks may have written a
  // few bytes there).
  if (out_pos < unpacked_size) std::memset(decoded + out_pos, 0, unpacked_size - out_pos);
  *stop = {in_pos, out_pos};
  return 1;
}
