// The SSZL encoder: LZSS over the 4096-byte ring, as DecodeSszl reads it.
#ifndef KOBREX_CODEC_SSZL_ENCODER_H_
#define KOBREX_CODEC_SSZL_ENCODER_H_

#include <cstdint>

// Encoder levels: 1 is greedy with short match searches, 9 (the default)
// picks the cheapest sequence of literals and matches.
constexpr int kSszlMinLevel = 1;
constexpr int kSszlMaxLevel = 9;
constexpr int kSszlDefaultLevel = 9;

// The most bytes EncodeSszl writes for `size` input bytes: the header, a
// flag byte per eight items and one byte per literal.
uint64_t SszlEncodeBound(uint64_t size);

// Encodes the `size` bytes of `data` as an SSZL stream (header included)
// into `out`, which holds SszlEncodeBound(size) bytes; returns the stream's
// size. `size` is at most UINT32_MAX - kBufferSlack, what a decoder can hold.
uint64_t EncodeSszl(const uint8_t* data, uint32_t size, uint8_t* out, int level);

#endif  // KOBREX_CODEC_SSZL_ENCODER_H_
