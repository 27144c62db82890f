#include "codec/buffers.h"

#include <cstdlib>

uint8_t* AllocateSlackBuffer(uint64_t size) {
  uint64_t bytes = size + kBufferSlack;
  if (size > UINT32_MAX || bytes > SIZE_MAX) return nullptr;
#ifdef KOBREX_MAX_BUFFER_BYTES
  if (bytes > KOBREX_MAX_BUFFER_BYTES) return nullptr;
#endif
  return static_cast<uint8_t*>(std::malloc(static_cast<size_t>(bytes)));
}
