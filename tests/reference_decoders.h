// Plain decoders, one item or one flag at a time, written for clarity after
// the formats' step-by-step rules. They are the oracle that the fast
// decoders are checked against, in the tests, the fuzzers and the benchmark.
#ifndef KOBREX_TESTS_REFERENCE_DECODERS_H_
#define KOBREX_TESTS_REFERENCE_DECODERS_H_

#include <cstdint>

#include "codec/sszl.h"
#include "codec/wp16.h"

// As DecodeSszl: the result, and a buffer of unpacked_size + kBufferSlack
// bytes from malloc through `decoded`; where it stopped goes to `stop` when
// one is given and there was a stream.
// The stream of a stored member that passed DecodeSszl's checks (at least 16
// bytes, the magic, unpacked_size neither 0 nor too large), decoded into the
// caller's buffer of unpacked_size + kBufferSlack bytes: as DecodeSszlCoded.
SszlStop ReferenceDecodeSszlInto(const uint8_t* stored, uint32_t stored_size, uint8_t* out);

uint32_t ReferenceDecodeSszl(const uint8_t* stored, uint32_t stored_size, uint8_t** decoded,
                             SszlStop* stop = nullptr);

// As DecodeWp16, into the caller's buffer of unpacked_size + kBufferSlack;
// where it stopped goes to `stop` when one is given (both 0 without magic).
int ReferenceDecodeWp16(const uint8_t* stored, uint32_t stored_size, uint8_t* decoded,
                        uint32_t unpacked_size, Wp16Stop* stop = nullptr);

#endif  // KOBREX_TESTS_REFERENCE_DECODERS_H_
