// DecodeSszl on any bytes: it must read nothing outside the caller's buffer
// (stored bytes and their slack) and give exactly what the plain ring decoder
// gives.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/buffers.h"
#include "codec/sszl.h"
#include "reference_decoders.h"

namespace {

// Outputs this large are left out: they take the same paths as smaller ones,
// only longer.
constexpr uint32_t kLargestOutput = 1u << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  // Exactly the buffer a reader gives, so that any read past it is caught;
  // the slack holds bytes that must never show in the output.
  std::vector<uint8_t> stored(size + kBufferSlack, 0xA5);
  if (size != 0) std::memcpy(stored.data(), data, size);
  uint32_t stored_size = static_cast<uint32_t>(size);
  if (SszlDeclaredSize(stored.data(), stored_size) > kLargestOutput) return 0;

  uint8_t* fast = nullptr;
  uint8_t* reference = nullptr;
  SszlStop reference_stop = {0, 0};
  uint32_t fast_size = DecodeSszl(stored.data(), stored_size, &fast);
  uint32_t reference_size =
      ReferenceDecodeSszl(stored.data(), stored_size, &reference, &reference_stop);
  if (fast_size != reference_size || (fast == nullptr) != (reference == nullptr)) std::abort();
  if (fast_size != 0) {
    if (std::memcmp(fast, reference, fast_size) != 0) std::abort();
    // And the decoding stops where the rule's does.
    std::vector<uint8_t> again(uint64_t{fast_size} + kBufferSlack);
    SszlStop stop = DecodeSszlCoded(stored.data(), stored_size, again.data());
    if (stop.input_index != reference_stop.input_index ||
        stop.output_index != reference_stop.output_index) {
      std::abort();
    }
  }
  std::free(fast);
  std::free(reference);
  return 0;
}
