// The SSZL decoder: LZSS with a 4096-byte history ring.
//
// An SSZL stream is a 16-byte SszlHeader followed by coded data:
//
//   +0  magic          "SSZL" (0x4C5A5353 as a little-endian word)
//   +4  reserved       never read
//   +8  packed_size    bytes of coded data after the header
//   +12 unpacked_size  bytes of decoded output
//   +16 coded data     groups: a flag byte, then eight items, least
//                      significant flag bit first; 1 = a literal byte,
//                      0 = a match of two bytes b0 b1: ring position
//                      b0 | (b1 >> 4) << 8, length (b1 & 15) + 3
//
// The ring starts as 4096 zero bytes; output byte i goes to ring slot
// i mod 4096, and a match copies its k-th byte from slot
// (position + 18 + k) mod 4096.
#ifndef KOBREX_CODEC_SSZL_H_
#define KOBREX_CODEC_SSZL_H_

#include <cstdint>

constexpr uint32_t kSszlMagic = 0x4C5A5353;
constexpr uint32_t kSszlHeaderSize = 16;

// The decoded size that `stored` declares when it is an SSZL stream; 0 when
// it is none (fewer than 16 bytes, or no magic) or declares no output.
uint32_t SszlDeclaredSize(const uint8_t* stored, uint32_t stored_size);

// Decodes the SSZL stream in `stored` (`stored_size` bytes, followed by
// kBufferSlack bytes the caller need not set) into a buffer of
// unpacked_size + kBufferSlack bytes that it allocates with malloc and hands
// over through `decoded`; the caller frees it. Returns unpacked_size, or 0
// with `decoded` null when the bytes are no stream, declare no output, or
// the buffer cannot be had (SszlDeclaredSize tells these apart).
//
// Every coded byte at or past `stored_size` reads as zero, and output bytes
// the coded data never produced are zero: the same input always gives the
// same output, and nothing outside the caller's buffer is read.
uint32_t DecodeSszl(const uint8_t* stored, uint32_t stored_size, uint8_t** decoded);

// Where decoding stopped: the input index (counted from the end of the
// header) and the output index, as the format's step-by-step rule leaves
// them. The differential tests hold the decoder to them.
struct SszlStop {
  uint64_t input_index;
  uint32_t output_index;
};

// The decoding loop of DecodeSszl on its own: `stored` is an SSZL stream of
// at least 16 bytes declaring a nonzero unpacked_size, `out` a buffer of
// unpacked_size + kBufferSlack bytes.
SszlStop DecodeSszlCoded(const uint8_t* stored, uint32_t stored_size, uint8_t* out);

#endif  // KOBREX_CODEC_SSZL_H_
