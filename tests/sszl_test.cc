// The SSZL decoder, against hand-made streams and against the plain ring
// decoder.
#include "codec/sszl.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "archive_builder.h"
#include "codec/buffers.h"
#include "reference_decoders.h"

namespace {

// The stored bytes in a buffer with the slack the callers give, its slack
// filled with a byte that must not show in any output.
std::vector<uint8_t> StoredBuffer(const std::string& stored) {
  std::vector<uint8_t> buffer(stored.size() + kBufferSlack, 0xA5);
  std::memcpy(buffer.data(), stored.data(), stored.size());
  return buffer;
}

struct Decoded {
  uint32_t result;
  bool has_buffer;
  std::string bytes;  // the first `result` bytes
  SszlStop stop;      // where decoding stopped, when there was a stream
};

Decoded Decode(const std::string& stored, bool reference = false) {
  std::vector<uint8_t> buffer = StoredBuffer(stored);
  uint8_t* out = reinterpret_cast<uint8_t*>(1);
  uint32_t size = static_cast<uint32_t>(stored.size());
  SszlStop stop = {0, 0};
  uint32_t result = reference ? ReferenceDecodeSszl(buffer.data(), size, &out, &stop)
                              : DecodeSszl(buffer.data(), size, &out);
  Decoded decoded{result, out != nullptr, "", stop};
  if (out != nullptr) decoded.bytes.assign(reinterpret_cast<char*>(out), result);
  std::free(out);
  if (!reference && result != 0) {
    // Again, into a buffer whose bytes before the start are not zero, so
    // that a match reading before the start shows instead of finding zeros
    // by chance: the output must be the same.
    constexpr uint32_t kGuard = 64;
    std::vector<uint8_t> again(kGuard + uint64_t{result} + kBufferSlack, 0xA5);
    decoded.stop = DecodeSszlCoded(buffer.data(), size, again.data() + kGuard);
    if (std::memcmp(again.data() + kGuard, decoded.bytes.data(), result) != 0) {
      ADD_FAILURE() << "the output depends on the bytes before the buffer";
      decoded.bytes.assign(reinterpret_cast<char*>(again.data() + kGuard), result);
    }
  }
  return decoded;
}

struct StreamCase {
  const char* name;
  std::string stored;
  uint32_t result;
  std::string output;  // hex
};

class SszlCaseTest : public testing::TestWithParam<StreamCase> {};

TEST_P(SszlCaseTest, DecodesAsTheRingWould) {
  const StreamCase& c = GetParam();
  for (bool reference : {false, true}) {
    Decoded got = Decode(c.stored, reference);
    EXPECT_EQ(got.result, c.result) << (reference ? "reference" : "fast");
    EXPECT_EQ(got.has_buffer, c.result != 0);
    EXPECT_EQ(got.bytes, Hex(c.output)) << (reference ? "reference" : "fast");
  }
}

std::string EightMatchesOf18() {
  std::string group = Hex("00");
  for (int k = 0; k < 8; ++k) group += Hex("EE 0F");
  return group;
}

INSTANTIATE_TEST_SUITE_P(
    Streams, SszlCaseTest,
    testing::Values(
        StreamCase{"NoMagic",
                   "SSZM" + Le32(0) + Le32(9) + Le32(8) + Hex("FF 41 42 43 44 45 46 47 48"), 0, ""},
        StreamCase{"NoOutputDeclared", SszlStream(9, 0, Hex("FF 41 42 43 44 45 46 47 48")), 0, ""},
        StreamCase{"ShorterThanItsHeader", "SSZL" + Le32(0) + Le32(0), 0, ""},
        StreamCase{"EightLiterals", SszlStream(9, 8, Hex("FF 41 42 43 44 45 46 47 48")), 8,
                   "41 42 43 44 45 46 47 48"},
        // Position 0 names ring slots 18 to 20, never written: zeros.
        StreamCase{"MatchBeforeTheFirstByte",
                   SszlStream(10, 10, Hex("FE 00 00 41 42 43 44 45 46 47")), 10,
                   "00 00 00 41 42 43 44 45 46 47"},
        // Position 0xFEE names slot 0: the match overlaps its own output.
        StreamCase{"OverlappingMatch", SszlStream(5, 8, Hex("03 41 42 EE F3")), 8,
                   "41 42 41 42 41 42 41 42"},
        // The group test passes once; the rest of the output stays zero.
        StreamCase{"EndsEarly",
                   SszlStream(0, 16, Hex("FF 41 42 43 44 45 46 47 48 FF 49 4A 4B 4C 4D 4E 4F 50")),
                   16, "41 42 43 44 45 46 47 48 00 00 00 00 00 00 00 00"},
        // Exactly U bytes, then a further group of eight 18-byte matches
        // that writes 144 bytes into the slack only.
        StreamCase{"FullOverrunIntoSlack",
                   SszlStream(9, 8, Hex("FF 41 42 43 44 45 46 47 48") + EightMatchesOf18()), 8,
                   "41 42 43 44 45 46 47 48"},
        // Coded data that runs past the stored bytes reads zeros there.
        StreamCase{"TruncatedCodedData", SszlStream(100, 10, Hex("FF 41 42")), 10,
                   "41 42 00 00 00 00 00 00 00 00"},
        // The reserved word and bytes after the coded data change nothing.
        StreamCase{
            "ReservedWordIgnored",
            "SSZL" + Le32(0xFFFFFFFF) + Le32(5) + Le32(8) + Hex("03 41 42 EE F3") + "trailing", 8,
            "41 42 41 42 41 42 41 42"}),
    [](const testing::TestParamInfo<StreamCase>& info) { return info.param.name; });

TEST(SszlTest, PositionsNameTheLatestByteOfTheirSlotAfterTheRingWraps) {
  // 4100 literals, then matches whose positions name slots 1 and 3: by then
  // slot 1 holds output byte 4097 and slot 3 byte 4099, not bytes 1 and 3.
  std::string literals;
  for (int k = 0; k < 4100; ++k) literals += static_cast<char>((k * 7) % 251);
  std::string coded;
  for (size_t k = 0; k < 4096; k += 8) coded += Hex("FF") + literals.substr(k, 8);
  auto match3 = [](uint32_t slot) {
    uint32_t position = (slot + 4078) % 4096;
    return std::string{static_cast<char>(position & 0xFF), static_cast<char>((position >> 8) << 4)};
  };
  coded += Hex("0F") + literals.substr(4096, 4) + match3(1) + match3(3);
  // At 4103 slot 3 holds byte 4099, four bytes back: 4099, then 4100 and
  // 4101, which the first match copied from 4097 and 4098.
  std::string expected =
      literals + literals.substr(4097, 3) + literals.substr(4099, 1) + literals.substr(4097, 2);
  Decoded got = Decode(SszlStream(static_cast<uint32_t>(coded.size()), 4106, coded));
  EXPECT_EQ(got.result, 4106u);
  EXPECT_TRUE(got.bytes == expected) << "the output differs";
}

TEST(SszlTest, OutputThatCannotBeAllocatedIsNoResult) {
  std::string stored = SszlStream(9, 0xFFFFF001, Hex("FF 41 42 43 44 45 46 47 48"));
  Decoded got = Decode(stored);
  EXPECT_EQ(got.result, 0u);
  EXPECT_FALSE(got.has_buffer);
  std::vector<uint8_t> buffer = StoredBuffer(stored);
  EXPECT_EQ(SszlDeclaredSize(buffer.data(), static_cast<uint32_t>(stored.size())), 0xFFFFF001u);
}

TEST(SszlTest, RandomStreamsDecodeAsTheReferenceDoes) {
  std::mt19937 random(20261211);
  for (int round = 0; round < 3000; ++round) {
    // Every fourth stream long enough to pass 4096 output bytes, where the
    // fast groups begin.
    uint32_t coded_size = random() % (round % 4 == 0 ? 6000 : 600);
    std::string coded(coded_size, '\0');
    if (round % 3 != 2) {
      // Mostly matches with short distances, to exercise overlaps and the
      // zeros before the start.
      for (char& c : coded)
        c = static_cast<char>(random() % 4 == 0 ? random() % 256 : 0xEE + random() % 32);
    } else {
      // Mostly groups of eight literals, as incompressible data gives, in
      // runs that the limits below cut anywhere.
      for (uint32_t k = 0; k < coded_size; k += 9) {
        for (uint32_t b = k; b < k + 9 && b < coded_size; ++b) coded[b] = static_cast<char>(random());
        if (random() % 8 != 0) coded[k] = static_cast<char>(0xFF);
      }
    }
    uint32_t packed = random() % 3 == 0 ? random() % (coded_size + 40) : coded_size;
    uint32_t unpacked = 1 + random() % (round % 4 == 0 ? 30000 : 3000);
    std::string stored = SszlStream(packed, unpacked, coded);
    Decoded fast = Decode(stored);
    Decoded reference = Decode(stored, true);
    ASSERT_EQ(fast.result, reference.result) << "round " << round;
    ASSERT_TRUE(fast.bytes == reference.bytes) << "round " << round;
    // The groups themselves are the rule's: decoding stops where it does.
    ASSERT_EQ(fast.stop.input_index, reference.stop.input_index) << "round " << round;
    ASSERT_EQ(fast.stop.output_index, reference.stop.output_index) << "round " << round;
  }
}

}  // namespace
