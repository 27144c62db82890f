// Wp16, decoded one flag per step, as the step-by-step rule reads.
#include <cstring>

#include "codec/buffers.h"
#include "reference_decoders.h"

namespace {

// The stored byte at `index`, or zero at and past the end of the stored
// bytes.
uint8_t StoredByte(const uint8_t* stored, uint32_t stored_size, uint64_t index) {
  return index < stored_size ? stored[index] : 0;
}

uint32_t Word(const uint8_t* stored, uint32_t stored_size, uint64_t at, int bytes) {
  uint32_t value = 0;
  for (int k = 0; k < bytes; ++k)
    value |= uint32_t{StoredByte(stored, stored_size, at + k)} << (8 * k);
  return value;
}

}  // namespace

int ReferenceDecodeWp16(const uint8_t* stored, uint32_t stored_size, uint8_t* decoded,
                        uint32_t unpacked_size, Wp16Stop* stop) {
  if (stop != nullptr) *stop = {0, 0};
  if (stored_size < 4 || Word(stored, stored_size, 0, 4) != 0x36317057) return 0;
  std::memset(decoded, 0, unpacked_size);
  uint32_t expanded_size = Word(stored, stored_size, 4, 4);
  uint32_t units_left = (expanded_size >> 1) + (expanded_size & 1);
  uint64_t in_pos = 8;
  uint32_t out_pos = 0, control_word = 0, flags_left = 0;
  for (;;) {
    if (in_pos > stored_size || out_pos > unpacked_size) {
      if (stop != nullptr) *stop = {in_pos, out_pos};
      return 1;
    }
    if (flags_left == 0) {
      control_word = Word(stored, stored_size, in_pos, 4);
      in_pos += 4;
      flags_left = 32;
    }
    uint32_t flag = control_word & 1;
    control_word >>= 1;
    flags_left -= 1;
    if (flag == 1) {
      decoded[out_pos] = StoredByte(stored, stored_size, in_pos);
      decoded[out_pos + 1] = StoredByte(stored, stored_size, in_pos + 1);
      in_pos += 2;
      out_pos += 2;
      units_left -= 1;
    } else {
      uint32_t t = Word(stored, stored_size, in_pos, 2);
      in_pos += 2;
      uint32_t length = (t & 0x1F) + 2;
      uint32_t distance = t >> 5;
      if (length > units_left) length = units_left;
      units_left -= length;
      for (uint32_t k = 0; k < length; ++k) {
        int64_t source = int64_t{out_pos} - 2 * int64_t{distance};
        uint8_t low = source >= 0 ? decoded[source] : 0;
        uint8_t high = source >= 0 ? decoded[source + 1] : 0;
        decoded[out_pos] = low;
        decoded[out_pos + 1] = high;
        out_pos += 2;
      }
    }
  }
}
