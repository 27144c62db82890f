// DecodeWp16 on any bytes and any output size: it must stay inside the
// caller's buffers and give exactly what the plain one-flag decoder gives.
#include <cstdint>
#include <cstring>
#include <vector>

#include "codec/buffers.h"
#include "codec/wp16.h"
#include "reference_decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first three bytes choose unpacked_size (up to 256 KiB), the rest are
  // the stored bytes.
  if (size < 3 || size > (1u << 20)) return 0;
  uint32_t unpacked_size = (data[0] | data[1] << 8 | (data[2] & 3) << 16);
  data += 3;
  size -= 3;
  std::vector<uint8_t> stored(size + kBufferSlack, 0xA5);
  if (size != 0) std::memcpy(stored.data(), data, size);
  uint32_t stored_size = static_cast<uint32_t>(size);

  std::vector<uint8_t> fast(uint64_t{unpacked_size} + kBufferSlack, 0x5A);
  std::vector<uint8_t> reference(fast);
  int fast_result = DecodeWp16(stored.data(), stored_size, fast.data(), unpacked_size);
  int reference_result =
      ReferenceDecodeWp16(stored.data(), stored_size, reference.data(), unpacked_size);
  if (fast_result != reference_result) __builtin_trap();
  if (std::memcmp(fast.data(), reference.data(), unpacked_size) != 0) __builtin_trap();
  return 0;
}
