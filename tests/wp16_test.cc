// The Wp16 decoder, against hand-made streams and against the plain
// one-flag decoder.
#include "codec/wp16.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "archive_builder.h"
#include "codec/buffers.h"
#include "reference_decoders.h"

namespace {

constexpr uint8_t kCanary = 0xA5;  // fills every slack: it must never show

struct Decoded {
  int result;
  std::string bytes;  // the first unpacked_size bytes of the buffer
  Wp16Stop stop;      // where decoding stopped
};

Decoded Decode(const std::string& stored, uint32_t unpacked_size, bool reference) {
  std::vector<uint8_t> in(stored.size() + kBufferSlack, kCanary);
  std::memcpy(in.data(), stored.data(), stored.size());
  std::vector<uint8_t> out(uint64_t{unpacked_size} + kBufferSlack, kCanary);
  uint32_t size = static_cast<uint32_t>(stored.size());
  Wp16Stop stop;
  int result = reference ? ReferenceDecodeWp16(in.data(), size, out.data(), unpacked_size, &stop)
                         : DecodeWp16Stopping(in.data(), size, out.data(), unpacked_size, &stop);
  return {result, std::string(reinterpret_cast<char*>(out.data()), unpacked_size), stop};
}

struct StreamCase {
  const char* name;
  std::string stored;  // hex
  uint32_t unpacked_size;
  int result;
  std::string decoded;  // hex; for result 0 the buffer is untouched
};

class Wp16CaseTest : public testing::TestWithParam<StreamCase> {};

TEST_P(Wp16CaseTest, DecodesAsTheOneFlagRuleDoes) {
  const StreamCase& c = GetParam();
  std::string expected =
      c.result == 0 ? std::string(c.unpacked_size, static_cast<char>(kCanary)) : Hex(c.decoded);
  for (bool reference : {false, true}) {
    Decoded got = Decode(Hex(c.stored), c.unpacked_size, reference);
    EXPECT_EQ(got.result, c.result) << (reference ? "reference" : "fast");
    EXPECT_EQ(got.bytes, expected) << (reference ? "reference" : "fast");
  }
}

// 33 literals across two control words.
std::string ThirtyThreeLiterals() {
  std::string s = "57 70 31 36 42 00 00 00 FF FF FF FF";
  for (int k = 0; k < 32; ++k)
    s += " 00 " + std::string(1, "0123456789ABCDEF"[k / 16]) + "0123456789ABCDEF"[k % 16];
  return s + " 01 00 00 00 00 20";
}
std::string ThirtyThreeUnits() {
  std::string s;
  for (int k = 0; k < 33; ++k)
    s += " 00 " + std::string(1, "0123456789ABCDEF"[k / 16]) + "0123456789ABCDEF"[k % 16];
  return s;
}

// 28 literals, a match (length 2, distance 1), three literals, then the
// second control word and four more literals.
std::string RunAcrossTheBoundary() {
  std::string s = "57 70 31 36 4A 00 00 00 FF FF FF EF";
  for (int k = 0; k < 28; ++k)
    s += " 11 " + std::string(1, "0123456789ABCDEF"[k / 16]) + "0123456789ABCDEF"[k % 16];
  s += " 20 00 21 00 22 00 23 00 0F 00 00 00 24 00 25 00 26 00 27 00";
  return s;
}
std::string RunAcrossTheBoundaryDecoded() {
  std::string s;
  for (int k = 0; k < 28; ++k)
    s += " 11 " + std::string(1, "0123456789ABCDEF"[k / 16]) + "0123456789ABCDEF"[k % 16];
  return s + " 11 1B 11 1B 21 00 22 00 23 00 24 00 25 00 26 00 27 00";
}

INSTANTIATE_TEST_SUITE_P(
    Streams, Wp16CaseTest,
    testing::Values(
        StreamCase{"RepeatsTheLastUnit", "57 70 31 36 0C 00 00 00 01 00 00 00 41 42 23 00", 12, 1,
                   "41 42 41 42 41 42 41 42 41 42 41 42"},
        StreamCase{"SourceBeforeTheStart", "57 70 31 36 0C 00 00 00 03 00 00 00 AA 01 BB 02 82 00",
                   12, 1, "AA 01 BB 02 00 00 00 00 AA 01 BB 02"},
        StreamCase{"StartsWithAMatch", "57 70 31 36 0C 00 00 00 02 00 00 00 63 00 41 42", 12, 1,
                   "00 00 00 00 00 00 00 00 00 00 41 42"},
        StreamCase{"TwoUnitPattern", "57 70 31 36 0E 00 00 00 03 00 00 00 41 00 42 00 43 00", 14, 1,
                   "41 00 42 00 41 00 42 00 41 00 42 00 41 00"},
        StreamCase{"DistanceZero", "57 70 31 36 08 00 00 00 01 00 00 00 7F 7F 01 00", 8, 1,
                   "7F 7F 00 00 00 00 00 00"},
        StreamCase{"BudgetShortensAMatch", "57 70 31 36 06 00 00 00 01 00 00 00 01 02 28 00", 10, 1,
                   "01 02 01 02 01 02 00 00 00 00"},
        StreamCase{"SpentBudgetStillConsumesTheToken",
                   "57 70 31 36 02 00 00 00 05 00 00 00 01 00 21 00 02 00", 4, 1, "01 00 02 00"},
        StreamCase{"LiteralWrapsTheBudget", "57 70 31 36 02 00 00 00 03 00 00 00 01 00 02 00 23 00",
                   14, 1, "01 00 02 00 02 00 02 00 02 00 02 00 02 00"},
        StreamCase{"OddSizes", "57 70 31 36 05 00 00 00 07 00 00 00 61 62 63 64 65 00", 5, 1,
                   "61 62 63 64 65"},
        StreamCase{"WrongMagic", "57 70 31 37 02 00 00 00 01 00 00 00 41 42", 2, 0, ""},
        StreamCase{"HeaderOnlyPartly", "57 70 31 36 02 00", 5, 1, "00 00 00 00 00"},
        StreamCase{"NothingToUse", "57 70 31 36 04 00 00 00 03 00 00 00 01 00 02 00", 0, 1, ""},
        StreamCase{"ShorterThanTheMagic", "57 70 31", 4, 0, ""},
        StreamCase{"TwoControlWords", ThirtyThreeLiterals(), 66, 1, ThirtyThreeUnits()},
        StreamCase{"RunAcrossTheBoundary", RunAcrossTheBoundary(), 74, 1,
                   RunAcrossTheBoundaryDecoded()},
        // The second step takes its unit from past the stored bytes: zeros.
        StreamCase{"TruncatedInsideARun", "57 70 31 36 08 00 00 00 0F 00 00 00 01 00", 8, 1,
                   "01 00 00 00 00 00 00 00"},
        StreamCase{"TruncatedInsideAControlWord", "57 70 31 36 08 00 00 00 01 00", 8, 1,
                   "00 00 00 00 00 00 00 00"}),
    [](const testing::TestParamInfo<StreamCase>& info) { return info.param.name; });

TEST(Wp16Test, RandomStreamsDecodeAsTheReferenceDoes) {
  std::mt19937 random(1211);
  for (int round = 0; round < 3000; ++round) {
    std::string stored = "Wp16" + Le32(random() % 3 == 0 ? random() : random() % 4000);
    // Every fourth stream long enough for whole control words at once.
    size_t tokens = random() % (round % 4 == 0 ? 4000 : 400);
    for (size_t k = 0; k < tokens; ++k) {
      if (k % 33 == 0) {
        stored += Le32(random());
      } else {
        // Short distances and lengths, to exercise overlaps and the budget.
        stored += Le16(
            static_cast<uint16_t>(random() % 2 ? random() : (random() % 8) << 5 | random() % 32));
      }
    }
    stored.resize(stored.size() - random() % 4);
    uint32_t unpacked = random() % (round % 4 == 0 ? 50000 : 5000);
    Decoded fast = Decode(stored, unpacked, false);
    Decoded reference = Decode(stored, unpacked, true);
    ASSERT_EQ(fast.result, reference.result) << "round " << round;
    ASSERT_TRUE(fast.bytes == reference.bytes) << "round " << round;
    // Whole words are the rule's steps: decoding stops where it does.
    ASSERT_EQ(fast.stop.in_pos, reference.stop.in_pos) << "round " << round;
    ASSERT_EQ(fast.stop.out_pos, reference.stop.out_pos) << "round " << round;
  }
}

}  // namespace
