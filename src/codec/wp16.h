// The Wp16 decoder: an LZ77 coder over 16-bit units with 32-bit control
// words. A stream is an 8-byte Wp16Header, then its tokens:
//
//   +0  magic          "Wp16" (0x36317057 as a little-endian word)
//   +4  expanded_size  bytes the stream decodes to; sets the unit budget
//   +8  token stream   a control word, then the tokens its 32 flags
//                      describe (bit 0 first; 1 = a literal unit, 0 = a
//                      match), then the next control word, and so on, to
//                      the end of the stored bytes
//
// A literal token is one unit, copied as it stands. A match token is a
// 16-bit value t: (t & 31) + 2 units (2 to 33) copied from t >> 5 units back
// (0 to 2047); units before the start of the output read as zero. Matches
// are shortened to the budget of units left, which starts at half of
// expanded_size rounded up.
#ifndef KOBREX_CODEC_WP16_H_
#define KOBREX_CODEC_WP16_H_

#include <cstdint>

constexpr uint32_t kWp16Magic = 0x36317057;
constexpr uint32_t kWp16HeaderSize = 8;

// True when `stored` (`stored_size` bytes) begins with the Wp16 magic.
bool IsWp16Stream(const uint8_t* stored, uint32_t stored_size);

// Decodes the Wp16 stream in `stored` (`stored_size` bytes, followed by
// kBufferSlack bytes the caller need not set) into `decoded`, the caller's
// buffer of `unpacked_size` + kBufferSlack bytes, `unpacked_size` being
// below 2^31. Returns 1 when the stored bytes begin with the magic, the
// first `unpacked_size` bytes of `decoded` then holding the member; 0, with
// `decoded` untouched, when they do not (fewer than 4 bytes included).
//
// Stored bytes at or past `stored_size` read as zero; the same input always
// gives the same output.
int DecodeWp16(const uint8_t* stored, uint32_t stored_size, uint8_t* decoded,
               uint32_t unpacked_size);

// Where decoding stopped, as the format's step-by-step rule leaves it: the
// byte offsets in_pos and out_pos. The differential tests hold the decoder
// to them.
struct Wp16Stop {
  uint64_t in_pos;
  uint32_t out_pos;
};

// DecodeWp16, also telling where it stopped (both 0 when there was no
// magic).
int DecodeWp16Stopping(const uint8_t* stored, uint32_t stored_size, uint8_t* decoded,
                       uint32_t unpacked_size, Wp16Stop* stop);

#endif  // KOBREX_CODEC_WP16_H_
