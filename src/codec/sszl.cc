#include "codec/sszl.h"

#include <algorithm>
#include <cstring>

#include "codec/buffers.h"

// The decoder writes straight into the output buffer and keeps no ring: ring
// slot s holds the latest output byte whose index is congruent to s modulo
// 4096, so a match at output index i with position p copies from distance
// d = ((i - p - 19) & 4095) + 1 (1 to 4096), and a source before output byte
// 0 is a slot never written, which holds zero. From output index 4096 on
// every source lies inside the output.
//
// Entry assumptions of the group loop, tested once per flag byte as the
// format's group test: j <= packed_size and i <= unpacked_size.
namespace {

constexpr uint32_t kRingSize = 4096;
constexpr uint32_t kRingMask = kRingSize - 1;
// Position p names ring slot p + 18: position 4078 names output byte 0.
constexpr uint32_t kPositionBias = 18;
constexpr uint32_t kMinMatch = 3;
constexpr uint32_t kMaxMatch = 18;

// A group is a flag byte and eight items of at most two bytes: it reads at
// most 17 bytes. Eight matches of 18 bytes write at most 144.
constexpr uint32_t kGroupMaxInput = 1 + 8 * 2;
constexpr uint32_t kGroupMaxOutput = 8 * kMaxMatch;

// The fast groups copy in blocks of 8 bytes: a run of literals by one block
// per run of at most 8, reading and writing up to 7 bytes past the run; a
// match by three blocks, 24 bytes from its start (its 18 bytes and 6 more).
// A group's last item starts at most 7 * 18 = 126 bytes after the group's
// output index i, so a fast group reads at most 17 + 7 bytes from its start,
// and writes at most 144 + 7 bytes from i <= unpacked_size.
constexpr uint32_t kBlock = 8;
constexpr uint32_t kFastGroupInputReach = kGroupMaxInput + kBlock - 1;
constexpr uint32_t kFastGroupOutputReach = kGroupMaxOutput + kBlock - 1;
// A group of eight literals: its flag byte 0xFF and eight stored bytes.
// Four of them are decoded at once when the fourth starts where a fast
// group may: they read 4 * 9 = 36 bytes, fewer than the fourth's start + 24,
// and write 32 bytes from i, ending 7 bytes past the fourth group's i, as
// a single literal group would.
constexpr uint32_t kLiteralGroup = 1 + kBlock;
static_assert(kFastGroupOutputReach <= kBufferSlack, "a group's overrun must fit the slack");

inline uint32_t Distance(uint32_t i, uint32_t b0, uint32_t b1) {
  uint32_t position = b0 | (b1 >> 4) << 8;
  return ((i - position - kPositionBias - 1) & kRingMask) + 1;
}

// One group, item by item, near the end of the stored bytes: `group` holds
// its 17 bytes. Returns the input bytes the group used.
inline uint32_t DecodeGroupCarefully(const uint8_t* group, uint8_t* out, uint32_t* i_inout) {
  uint32_t i = *i_inout;
  uint32_t flags = group[0];
  uint32_t used = 1;
  for (int item = 0; item < 8; ++item, flags >>= 1) {
    if (flags & 1) {
      out[i++] = group[used++];
      continue;
    }
    uint32_t b0 = group[used];
    uint32_t b1 = group[used + 1];
    used += 2;
    uint32_t length = (b1 & 0x0F) + kMinMatch;
    uint32_t distance = Distance(i, b0, b1);
    for (uint32_t k = 0; k < length; ++k, ++i) out[i] = i >= distance ? out[i - distance] : 0;
  }
  *i_inout = i;
  return used;
}

// Copies a match from `distance` back, in three blocks of 8: 24 bytes are
// written from `target`, covering the longest match (the caller advances by
// the match's own length).
inline void CopyMatch(uint8_t* target, uint32_t distance) {
  const uint8_t* source = target - distance;
  if (distance >= kBlock) {
    // Each block's source ends at least 8 bytes before its target begins,
    // so blocks in order copy what overlapping bytes would.
    Copy8(target, source);
    Copy8(target + 8, source + 8);
    Copy8(target + 16, source + 16);
  } else if (distance == 1) {
    uint64_t run = source[0] * 0x0101010101010101u;
    std::memcpy(target, &run, 8);
    std::memcpy(target + 8, &run, 8);
    std::memcpy(target + 16, &run, 8);
  } else {
    // The pattern of `distance` bytes: the first 8 one by one, then blocks
    // from the smallest whole number of periods back that is 8 or more.
    static constexpr uint8_t kPeriod[kBlock] = {0, 8, 8, 9, 8, 10, 12, 14};
    for (uint32_t k = 0; k < kBlock; ++k) target[k] = source[k];
    uint32_t period = kPeriod[distance];
    Copy8(target + 8, target + 8 - period);
    Copy8(target + 16, target + 16 - period);
  }
}

// A match whose source begins before output byte 0, near the start: byte by
// byte, the bytes before the start reading zero.
inline void CopyMatchFromBeforeStart(uint8_t* out, uint32_t i, uint32_t distance, uint32_t length) {
  for (uint32_t k = i; k < i + length; ++k) out[k] = k >= distance ? out[k - distance] : 0;
}

// The groups whose kFastGroupInputReach bytes are all stored bytes, up to
// input index `input_limit` (at most packed_size + 1). Advances j and i.
// kNearStart: the groups that start before output index 4096, where a
// match may reach before the start, and no others; otherwise those that
// start at 4096 or later, where no match can.
template <bool kNearStart>
inline void DecodeGroupsFast(const uint8_t* coded, uint64_t input_limit, uint8_t* out,
                             uint32_t unpacked_size, uint64_t* j, uint32_t* i) {
  const uint8_t* in = coded + *j;
  const uint8_t* in_end = coded + input_limit;
  uint8_t* op = out + *i;
  // The group test, op <= out + unpacked_size, and near the start also the
  // end of the near-start groups.
  uint8_t* const op_last =
      kNearStart ? out + std::min(unpacked_size, kRingSize - 1) : out + unpacked_size;
  while (in < in_end && op <= op_last) {
    __builtin_prefetch(in + kPrefetchAhead);
    __builtin_prefetch(op + kPrefetchAhead, 1);
    uint32_t flags = *in++;
    if (flags == 0xFF) {  // eight literals: most groups of incompressible data
      Copy8(op, in);
      op += 8;
      in += 8;
      // Then four groups at a time while all four are literal groups and
      // the last of them passes its test (so the three before it do).
      while (in + 3 * kLiteralGroup < in_end && op + 3 * kBlock <= op_last &&
             (in[0] & in[kLiteralGroup] & in[2 * kLiteralGroup] & in[3 * kLiteralGroup]) == 0xFF) {
        __builtin_prefetch(in + kPrefetchAhead);
        __builtin_prefetch(op + kPrefetchAhead, 1);
        Copy8(op, in + 1);
        Copy8(op + 8, in + 1 + kLiteralGroup);
        Copy8(op + 16, in + 1 + 2 * kLiteralGroup);
        Copy8(op + 24, in + 1 + 3 * kLiteralGroup);
        op += 4 * kBlock;
        in += 4 * kLiteralGroup;
      }
      continue;
    }
    // Visit the matches only: the literals before each, and those after
    // the last, are one run, copied in one block (a run may be empty).
    uint32_t matches = ~flags & 0xFF;
    uint32_t items_done = 0;
    while (matches != 0) {
      uint32_t item = static_cast<uint32_t>(__builtin_ctz(matches));
      uint32_t literals = item - items_done;
      Copy8(op, in);
      op += literals;
      in += literals;
      uint32_t b0 = in[0];
      uint32_t b1 = in[1];
      in += 2;
      uint32_t length = (b1 & 0x0F) + kMinMatch;
      uint32_t produced = static_cast<uint32_t>(op - out);
      uint32_t distance = Distance(produced, b0, b1);
      if (!kNearStart || distance <= produced) {
        CopyMatch(op, distance);
      } else {
        CopyMatchFromBeforeStart(out, produced, distance, length);
      }
      op += length;
      items_done = item + 1;
      matches &= matches - 1;
    }
    uint32_t literals = 8 - items_done;
    Copy8(op, in);
    op += literals;
    in += literals;
  }
  *j = static_cast<uint64_t>(in - coded);
  *i = static_cast<uint32_t>(op - out);
}

}  // namespace

uint32_t SszlDeclaredSize(const uint8_t* stored, uint32_t stored_size) {
  if (stored_size < kSszlHeaderSize || LoadLe32(stored) != kSszlMagic) return 0;
  return LoadLe32(stored + 12);
}

SszlStop DecodeSszlCoded(const uint8_t* stored, uint32_t stored_size, uint8_t* out) {
  uint32_t packed_size = LoadLe32(stored + 8);
  uint32_t unpacked_size = LoadLe32(stored + 12);
  const uint8_t* coded = stored + kSszlHeaderSize;
  uint32_t available = stored_size - kSszlHeaderSize;  // coded bytes actually stored
  // Groups starting below these input indexes may be read in place.
  uint64_t fast_end = available >= kFastGroupInputReach ? available - kFastGroupInputReach + 1 : 0;
  uint64_t direct_end = available >= kGroupMaxInput ? available - kGroupMaxInput + 1 : 0;
  // The input index counts on past 2^32 - 1 rather than wrap: an index
  // beyond packed_size ends decoding whatever packed_size is.
  uint64_t j = 0;
  uint32_t i = 0;
  while (j <= packed_size && i <= unpacked_size) {
    if (j < fast_end) {
      uint64_t input_limit = std::min(fast_end, uint64_t{packed_size} + 1);
      if (i >= kRingSize) {
        DecodeGroupsFast<false>(coded, input_limit, out, unpacked_size, &j, &i);
      } else {
        DecodeGroupsFast<true>(coded, input_limit, out, unpacked_size, &j, &i);
      }
    } else if (j < direct_end) {
      j += DecodeGroupCarefully(coded + j, out, &i);
    } else {
      // Near the end of the stored bytes: the group's bytes from a copy in
      // which everything past the stored bytes is zero.
      uint8_t group[kGroupMaxInput] = {};
      if (j < available) {
        uint64_t present = std::min(available - j, uint64_t{kGroupMaxInput});
        std::memcpy(group, coded + j, static_cast<size_t>(present));
      }
      j += DecodeGroupCarefully(group, out, &i);
    }
  }
  // The copies in blocks may have written a few bytes past the last item;
  // output the coded data never produced is zero.
  if (i < unpacked_size) std::memset(out + i, 0, unpacked_size - i);
  return {j, i};
}

uint32_t DecodeSszl(const uint8_t* stored, uint32_t stored_size, uint8_t** decoded) {
  *decoded = nullptr;
  uint32_t unpacked_size = SszlDeclaredSize(stored, stored_size);
  if (unpacked_size == 0) return 0;
  // The buffer's size must stay a 32-bit size, as the format's sizes are.
  if (unpacked_size > UINT32_MAX - kBufferSlack) return 0;
  uint8_t* out = AllocateSlackBuffer(unpacked_size);
  if (out == nullptr) return 0;
  *decoded = out;
  DecodeSszlCoded(stored, stored_size, out);
  return unpacked_size;
}
