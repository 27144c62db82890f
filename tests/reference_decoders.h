// Plain decoders, one item or one flag at a time, written for clarity after
// the formats' step-by-step rules. They are the oracle that the fast
// decoders are checked against, in the tests, the fuzzers and the benchmark.
#ifndef KOBREX_TESTS_REFERENCE_DECODERS_H_
#define KOBREX_TESTS_REFERENCE_DECODERS_H_

#include <cstdint>

// As DecodeSszl: the result, and a buffer of unpacked_size + kBufferSlack
// bytes from malloc through `decoded`.
uint32_t ReferenceDecodeSszl(const uint8_t* stored, uint32_t stored_size, uint8_t** decoded);

// As DecodeWp16, into the caller's buffer of unpacked_size + kBufferSlack.
int ReferenceDecodeWp16(const uint8_t* stored, uint32_t stored_size, uint8_t* decoded,
                        uint32_t unpacked_size);

#endif  // KOBREX_TESTS_REFERENCE_DECODERS_H_
