// The Wp16 encoder: LZ77 over 16-bit units, as DecodeWp16 reads it.
#ifndef KOBREX_CODEC_WP16_ENCODER_H_
#define KOBREX_CODEC_WP16_ENCODER_H_

#include <cstdint>

// Encoder levels: 1 is greedy with short match searches, 9 (the default)
// picks the cheapest sequence of literals and matches.
constexpr int kWp16MinLevel = 1;
constexpr int kWp16MaxLevel = 9;
constexpr int kWp16DefaultLevel = 9;

// The most bytes EncodeWp16 writes for `size` input bytes: the header, a
// control word per 32 tokens and two bytes per unit.
uint64_t Wp16EncodeBound(uint64_t size);

// Encodes the `size` bytes of `data` as a Wp16 stream into `out`, which
// holds Wp16EncodeBound(size) bytes, and returns the stream's size. The
// header's expanded_size is `size`; an odd size is padded with a zero byte
// to whole units, which the decoder writes into its slack.
uint64_t EncodeWp16(const uint8_t* data, uint32_t size, uint8_t* out, int level);

#endif  // KOBREX_CODEC_WP16_ENCODER_H_
