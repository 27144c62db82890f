// SSZL, decoded through a real 4096-byte ring, one item at a time.
#include <cstdlib>
#include <cstring>

#include "codec/buffers.h"
#include "reference_decoders.h"

namespace {

// The stored byte at `index`, or zero at and past the end of the stored
// bytes.
uint8_t StoredByte(const uint8_t* stored, uint32_t stored_size, uint64_t index) {
  return index < stored_size ? stored[index] : 0;
}

}  // namespace

SszlStop ReferenceDecodeSszlInto(const uint8_t* stored, uint32_t stored_size, uint8_t* out) {
  uint32_t packed_size = LoadLe32(stored + 8);
  uint32_t unpacked_size = LoadLe32(stored + 12);
  uint8_t ring[4096];
  std::memset(ring, 0, sizeof ring);
  uint64_t j = 0;  // input index, counted from offset 16
  uint64_t i = 0;  // output index
  auto next_byte = [&]() { return StoredByte(stored, stored_size, 16 + j++); };
  auto put = [&](uint8_t byte) {
    out[i] = byte;
    ring[i % 4096] = byte;
    ++i;
  };
  while (j <= packed_size && i <= unpacked_size) {
    uint8_t flags = next_byte();
    for (int item = 0; item < 8; ++item) {
      if (flags & 1) {
        put(next_byte());
      } else {
        uint8_t b0 = next_byte();
        uint8_t b1 = next_byte();
        uint32_t position = b0 + 256u * (b1 >> 4);
        uint32_t length = (b1 & 0x0F) + 3u;
        for (uint32_t k = 0; k < length; ++k) put(ring[(position + 18 + k) % 4096]);
      }
      flags >>= 1;
    }
  }
  // Output the coded data never produced is zero.
  if (i < unpacked_size) std::memset(out + i, 0, unpacked_size - i);
  return {j, static_cast<uint32_t>(i)};
}

uint32_t ReferenceDecodeSszl(const uint8_t* stored, uint32_t stored_size, uint8_t** decoded,
                             SszlStop* stop) {
  *decoded = nullptr;
  if (stored_size < 16) return 0;
  if (LoadLe32(stored) != 0x4C5A5353) return 0;
  uint32_t unpacked_size = LoadLe32(stored + 12);
  if (unpacked_size == 0 || unpacked_size > UINT32_MAX - kBufferSlack) return 0;
  uint8_t* out = static_cast<uint8_t*>(std::malloc(uint64_t{unpacked_size} + kBufferSlack));
  if (out == nullptr) return 0;
  *decoded = out;
  SszlStop where = ReferenceDecodeSszlInto(stored, stored_size, out);
  if (stop != nullptr) *stop = where;
  return unpacked_size;
}
