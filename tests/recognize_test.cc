// Which layout a file's first 16 bytes make it, and the entry count handed
// to its reader.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "cli/extract.h"
#include "codec/buffers.h"

namespace {

struct HeaderCase {
  const char* name;
  uint32_t words[4];
  uint64_t file_size;
  ArchiveLayout layout;
  int32_t entry_count;
};

class RecognizeTest : public testing::TestWithParam<HeaderCase> {};

TEST_P(RecognizeTest, DecidesTheLayout) {
  const HeaderCase& c = GetParam();
  uint8_t bytes[16];
  for (int i = 0; i < 4; ++i) StoreLe32(bytes + 4 * i, c.words[i]);
  Recognition got = RecognizeArchive(bytes, c.file_size);
  EXPECT_EQ(got.layout, c.layout);
  if (c.layout != ArchiveLayout::kUnknown) EXPECT_EQ(got.entry_count, c.entry_count);
}

constexpr uint32_t kArcv = 0x56435241;  // "ARCV"

INSTANTIATE_TEST_SUITE_P(
    Headers, RecognizeTest,
    testing::Values(
        HeaderCase{"CountedHeaderOnly", {0, 16, 0, 0}, 16, ArchiveLayout::kCounted, 0},
        HeaderCase{"CountedWithEntries", {3, 500, 0, 0}, 500, ArchiveLayout::kCounted, 3},
        HeaderCase{"CountedNegativeCount", {0xFFFFFFFF, 52, 0, 0}, 52, ArchiveLayout::kCounted, -1},
        HeaderCase{"CountedSizeMismatch", {1, 500, 0, 0}, 501, ArchiveLayout::kUnknown, 0},
        HeaderCase{"CountedReserved1Set", {1, 500, 1, 0}, 500, ArchiveLayout::kUnknown, 0},
        HeaderCase{"CountedReserved2Set", {1, 500, 0, 7}, 500, ArchiveLayout::kUnknown, 0},
        HeaderCase{"Arcv", {kArcv, 2, 192, 0xDEADBEEF}, 192, ArchiveLayout::kArcv, 2},
        HeaderCase{"ArcvNegativeCount", {kArcv, 0xFFFFFFFE, 64, 0}, 64, ArchiveLayout::kArcv, -2},
        HeaderCase{"ArcvCutShort", {kArcv, 2, 192, 0}, 191, ArchiveLayout::kUnknown, 0},
        HeaderCase{"ArcvWrongMagic", {kArcv + 1, 2, 192, 0}, 192, ArchiveLayout::kUnknown, 0},
        // The counted rule comes first and ignores the word at offset 0.
        HeaderCase{"MagicTakenByCountedRule",
                   {kArcv, 64, 0, 0},
                   64,
                   ArchiveLayout::kCounted,
                   static_cast<int32_t>(kArcv)},
        // Sizes of 4 GiB or more cannot equal a 32-bit size word.
        HeaderCase{"FourGiBIsNoCounted", {0, 0, 0, 0}, 0x100000000ull, ArchiveLayout::kUnknown, 0},
        HeaderCase{"FourGiBIsNoArcv", {kArcv, 0, 0, 0}, 0x100000000ull, ArchiveLayout::kUnknown, 0},
        HeaderCase{"LargestSize", {0, 0xFFFFFFFF, 0, 0}, 0xFFFFFFFFull, ArchiveLayout::kCounted, 0},
        // Shorter than a header: no layout, even where zeros would match.
        HeaderCase{"EmptyFile", {0, 0, 0, 0}, 0, ArchiveLayout::kUnknown, 0},
        HeaderCase{"FifteenBytes", {0, 15, 0, 0}, 15, ArchiveLayout::kUnknown, 0}),
    [](const testing::TestParamInfo<HeaderCase>& info) { return info.param.name; });

}  // namespace
