#include "codec/sszl.h"

#include <cstdlib>
#include <cstring>

#include "codec/buffers.h"

namespace {

constexpr uint32_t kRingSize = 4096;
constexpr uint32_t kRingMask = kRingSize - 1;
// Position p names ring slot p + 18: the slot of output byte 0 is named by
// position 4078.
constexpr uint32_t kPositionBias = 18;
constexpr uint32_t kMinMatch = 3;

// A group is a flag byte and eight items of at most two bytes each: it reads
// at most 17 bytes. Eight matches of 18 bytes write at most 144.
constexpr uint32_t kGroupMaxInput = 1 + 8 * 2;
constexpr uint32_t kGroupMaxOutput = 8 * 18;
// A group starts with i <= unpacked_size, so it writes below
// unpacked_size + 144: inside the output buffer's slack.
static_assert(kGroupMaxOutput <= kBufferSlack, "a group's overrun must fit the slack");

// Decodes one group from `group` (17 readable bytes) into `out` at `i`, and
// returns the number of input bytes the group used.
//
// The ring is never kept: ring slot s holds the latest output byte whose
// index is congruent to s modulo 4096, so a match at output index i copies
// from distance d = ((i - position - 19) & 4095) + 1, and a source before
// output byte 0 is a slot never written, which holds zero.
inline uint32_t DecodeGroup(const uint8_t* group, uint8_t* out, uint32_t* i_inout) {
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
    uint32_t position = b0 | (b1 >> 4) << 8;
    uint32_t length = (b1 & 0x0F) + kMinMatch;
    uint32_t distance = ((i - position - kPositionBias - 1) & kRingMask) + 1;
    if (distance <= i) {
      const uint8_t* source = out + i - distance;
      uint8_t* target = out + i;
      for (uint32_t k = 0; k < length; ++k) target[k] = source[k];
    } else {
      // The first bytes come from before the start: zeros.
      for (uint32_t k = 0; k < length; ++k) {
        uint32_t at = i + k;
        out[at] = at >= distance ? out[at - distance] : 0;
      }
    }
    i += length;
  }
  *i_inout = i;
  return used;
}

}  // namespace

uint32_t SszlDeclaredSize(const uint8_t* stored, uint32_t stored_size) {
  if (stored_size < kSszlHeaderSize || LoadLe32(stored) != kSszlMagic) return 0;
  return LoadLe32(stored + 12);
}

uint32_t DecodeSszl(const uint8_t* stored, uint32_t stored_size, uint8_t** decoded) {
  *decoded = nullptr;
  uint32_t unpacked_size = SszlDeclaredSize(stored, stored_size);
  if (unpacked_size == 0) return 0;
  uint32_t packed_size = LoadLe32(stored + 8);
  // The buffer's size must stay a 32-bit size, as the format's sizes are.
  if (unpacked_size > UINT32_MAX - kBufferSlack) return 0;
  uint8_t* out = AllocateSlackBuffer(unpacked_size);
  if (out == nullptr) return 0;
  *decoded = out;

  const uint8_t* coded = stored + kSszlHeaderSize;
  uint32_t available = stored_size - kSszlHeaderSize;  // coded bytes actually there
  // The input index counts on past 2^32 - 1 rather than wrap: an index
  // beyond packed_size ends decoding whatever packed_size is.
  uint64_t j = 0;
  uint32_t i = 0;
  // The group test, once per flag byte, less-than-or-equal on both sides.
  while (j <= packed_size && i <= unpacked_size) {
    if (available >= kGroupMaxInput && j <= available - kGroupMaxInput) {
      j += DecodeGroup(coded + j, out, &i);
    } else {
      // Near the end of the stored bytes: the group's bytes from a copy in
      // which everything past the stored bytes is zero.
      uint8_t group[kGroupMaxInput] = {};
      if (j < available) {
        uint64_t present = available - j < kGroupMaxInput ? available - j : kGroupMaxInput;
        std::memcpy(group, coded + j, static_cast<size_t>(present));
      }
      j += DecodeGroup(group, out, &i);
    }
  }
  if (i < unpacked_size) std::memset(out + i, 0, unpacked_size - i);
  return unpacked_size;
}
