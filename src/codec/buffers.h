// What the codecs and the archive readers share about byte buffers.
#ifndef KOBREX_CODEC_BUFFERS_H_
#define KOBREX_CODEC_BUFFERS_H_

#include <cstdint>
#include <cstring>

// Every buffer that holds a member's stored bytes or decoded bytes is
// allocated this many bytes larger than the size it is meant to hold. Nothing
// fills the slack and nothing of it is written out; the decoders test their
// limits once per step or group and may read and write a little past the
// stated sizes into it.
constexpr uint32_t kBufferSlack = 4096;

// Allocates a buffer of `size` + kBufferSlack bytes with malloc (free it
// with std::free); null when it cannot be had. A build may set
// KOBREX_MAX_BUFFER_BYTES to refuse larger buffers the way a small machine
// would (the fuzzers do, so that declared sizes of gigabytes stay cheap).
uint8_t* AllocateSlackBuffer(uint64_t size);

// How far ahead of their input and output the fast decode loops prefetch.
// Memory answers slowly on the machines measured: a distance of 1 KiB left
// the literal-group loop at three quarters of its speed at 4 KiB. Prefetches
// past a buffer's end are harmless (they never fault).
constexpr uint32_t kPrefetchAhead = 4096;

// Little-endian loads and stores; the formats' integers are all little-endian.
inline uint32_t LoadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t LoadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline void StoreLe32(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
  p[2] = static_cast<uint8_t>(value >> 16);
  p[3] = static_cast<uint8_t>(value >> 24);
}
inline void StoreLe16(uint8_t* p, uint16_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}

// Copies of 8 and 16 bytes through a register: the decoders' block copies,
// which may overlap their own earlier blocks but never within one block.
inline void Copy8(uint8_t* target, const uint8_t* source) {
  uint64_t block;
  std::memcpy(&block, source, sizeof block);
  std::memcpy(target, &block, sizeof block);
}
inline void Copy16(uint8_t* target, const uint8_t* source) {
  uint8_t block[16];
  std::memcpy(block, source, sizeof block);
  std::memcpy(target, block, sizeof block);
}

#endif  // KOBREX_CODEC_BUFFERS_H_
