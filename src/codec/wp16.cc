#include "codec/wp16.h"

#include <cstring>

#include "codec/buffers.h"

namespace {

// A step starts with out_pos <= unpacked_size and writes at most one match
// of 33 units: nothing lands beyond unpacked_size + 66, inside the slack.
constexpr uint32_t kMaxMatchUnits = 33;
static_assert(2 * kMaxMatchUnits <= kBufferSlack, "a step's overrun must fit the slack");

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

}  // namespace

bool IsWp16Stream(const uint8_t* stored, uint32_t stored_size) {
  return stored_size >= 4 && LoadLe32(stored) == kWp16Magic;
}

int DecodeWp16(const uint8_t* stored, uint32_t stored_size, uint8_t* decoded,
               uint32_t unpacked_size) {
  if (!IsWp16Stream(stored, stored_size)) return 0;
  std::memset(decoded, 0, unpacked_size);
  uint32_t expanded_size = Load32Bounded(stored, stored_size, 4);
  uint32_t units_left = (expanded_size >> 1) + (expanded_size & 1);

  // Wide, so that it cannot wrap however close stored_size is to 2^32.
  uint64_t in_pos = kWp16HeaderSize;
  uint32_t out_pos = 0;
  uint32_t control_word = 0;
  uint32_t flags_left = 0;
  // The limit test before every step; equality does not stop. Each step
  // consumes two or more stored bytes, so the loop ends.
  while (in_pos <= stored_size && out_pos <= unpacked_size) {
    if (flags_left == 0) {
      control_word = Load32Bounded(stored, stored_size, in_pos);
      in_pos += 4;
      flags_left = 32;
    }
    uint32_t flag = control_word & 1;
    control_word >>= 1;
    --flags_left;
    uint16_t token = Load16Bounded(stored, stored_size, in_pos);
    in_pos += 2;
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
      // Each unit is its own source, not yet produced: zero.
      std::memset(decoded + out_pos, 0, 2 * length);
      out_pos += 2 * length;
      continue;
    }
    uint32_t back = 2 * distance;
    for (uint32_t k = 0; k < length; ++k, out_pos += 2) {
      if (out_pos >= back) {
        std::memcpy(decoded + out_pos, decoded + out_pos - back, 2);
      } else {
        decoded[out_pos] = 0;
        decoded[out_pos + 1] = 0;
      }
    }
  }
  return 1;
}
