// Counted archives unpacked as a user unpacks them.
#include <string>
#include <vector>

#include "archive_builder.h"
#include "cli_fixture.h"
#include "expected_texts.h"
#include "test_support.h"

namespace {

using Tree = std::vector<std::string>;

// A literal, then a match of length 5 at distance 1: "ABABABABABAB".
const std::string kAbab = Hex("57 70 31 36 0C 00 00 00 01 00 00 00 41 42 23 00");

TEST_F(ArchiveCliTest, CountedUnpacksEveryMemberInDirectoryOrder) {
  RunResult run = Unpack(CountedArchiveOf({{"a.bin", kAbab, 12},
                                           {"stored.txt", "as it is", 0xFFFFFFFF},
                                           {"longer.bin", kAbab, 16},  // zeros after the data
                                           {"shorter.bin", kAbab, 5},  // cut to unpacked_size
                                           {"empty", "", 0},
                                           {"dir\\sub.bin", "in a folder", 3}}));
  EXPECT_EQ(run.out,
            Lines(Head() + Member(Out("a.bin"), 16) + DecodedOk(12) + Member(Out("stored.txt"), 8) +
                  kStoredOk + Member(Out("longer.bin"), 16) + DecodedOk(16) +
                  Member(Out("shorter.bin"), 16) + DecodedOk(5) + Member(Out("empty"), 0) +
                  kStoredOk + Member(Out("dir\\sub.bin"), 11) + kStoredOk));
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(OutTree(), Tree({"a.bin", "dir/", "dir/sub.bin", "empty", "longer.bin", "shorter.bin",
                             "stored.txt"}));
  EXPECT_EQ(OutFile("a.bin"), "ABABABABABAB");
  EXPECT_EQ(OutFile("stored.txt"), "as it is");
  EXPECT_EQ(OutFile("longer.bin"), "ABABABABABAB" + std::string(4, '\0'));
  EXPECT_EQ(OutFile("shorter.bin"), "ABABA");
  EXPECT_EQ(OutFile("empty"), "");
  EXPECT_EQ(OutFile("dir/sub.bin"), "in a folder");
}

TEST_F(ArchiveCliTest, CountedEntryCounts) {
  struct CountCase {
    int32_t count;
    std::string printed;
    int exit_code;
  };
  const CountCase cases[] = {
      {0, "", 0},
      {-1, NoMemory(-20), 1},  // -1 * 36 + 16
      {-2, NoMemory(-56), 1},
      {3, BadEntryCount(3), 1},                  // three entries do not fit the file
      {119304647, BadEntryCount(119304647), 1},  // its directory passes 4 GiB
      {2147483647, BadEntryCount(2147483647), 1},
  };
  for (const CountCase& c : cases) {
    RunResult run = Unpack(CountedArchive(c.count, {}, std::string(80, 'x')));
    EXPECT_EQ(run.out, Lines(Head() + c.printed)) << c.count;
    EXPECT_EQ(run.exit_code, c.exit_code) << c.count;
    EXPECT_EQ(OutTree(), Tree()) << c.count;
  }
}

TEST_F(ArchiveCliTest, CountedFailedMembersAreReportedAndTheRunGoesOn) {
  std::vector<RawCountedEntry> entries = {
      {"first", 0, 4, 0},          {"outside", 0, 5000, 0},  // runs past the end of the file
      {"far", 0xFFFFFFF0, 4, 0},                             // starts past it
      {"..\\up", 0, 4, 0},         {"/rooted", 0, 4, 0},    {"C:\\drive", 0, 4, 0}, {"", 0, 4, 0},
      {"huge", 4, 16, 0x80000000},  // a Wp16 member of 2 GiB
      {"last", 0, 4, 0},
  };
  uint32_t data_at = static_cast<uint32_t>(16 + 36 * entries.size());
  for (RawCountedEntry& entry : entries) {
    if (entry.offset < 0xFFFFFFF0) entry.offset += data_at;
  }
  RunResult run =
      Unpack(CountedArchive(static_cast<int32_t>(entries.size()), entries, "good" + kAbab));
  EXPECT_EQ(run.out,
            Lines(Head() + Member(Out("first"), 4) + kStoredOk + Member(Out("outside"), 5000) +
                  "." + kReadFailed + Member(Out("far"), 4) + "." + kReadFailed +
                  Member(Out("..\\up"), 4) + "." + kBadName + Member(Out("/rooted"), 4) + "." +
                  kBadName + Member(Out("C:\\drive"), 4) + "." + kBadName + Member(Out(""), 4) +
                  "." + kBadName + Member(Out("huge"), 16) + "." + NoMemory(0x80000000) +
                  Member(Out("last"), 4) + kStoredOk));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(OutTree(), Tree({"first", "last"}));
}

TEST_F(ArchiveCliTest, CountedNameFieldWithoutNulIsTakenWhole) {
  std::string name = "twenty-four-byte-name.bin";
  name.resize(24);
  RunResult run = Unpack(CountedArchiveOf({{name, "x", 0}}));
  EXPECT_EQ(run.out, Lines(Head() + Member(Out(name), 1) + kStoredOk));
  EXPECT_EQ(OutTree(), Tree({name}));
}

TEST_F(ArchiveCliTest, CountedTheLaterDuplicateWins) {
  RunResult run = Unpack(CountedArchiveOf({{"same", "first", 0}, {"same", kAbab, 12}}));
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(OutFile("same"), "ABABABABABAB");
}

TEST_F(ArchiveCliTest, DecodedBuffersThatCannotBeHadAreRefused) {
  if (BuiltWithAddressSanitizer()) GTEST_SKIP() << "AddressSanitizer needs the address space";
  // 2 GiB - 4096 bytes of output: more than the 32-bit Windows program can
  // hold, and more than the cap gives the Linux one.
  const uint32_t size = 0x7FFFF000;
  RunLimits cap;
  cap.memory = 256u << 20;
  RunResult counted = Unpack(CountedArchiveOf({{"big", kAbab, size}, {"small", "s", 0}}), cap);
  EXPECT_EQ(counted.out, Lines(Head() + Member(Out("big"), 16) + "." + NoMemory(size) +
                               Member(Out("small"), 1) + kStoredOk));
  EXPECT_EQ(counted.exit_code, 1);
  EXPECT_EQ(OutTree(), Tree({"small"}));

  std::string sszl = SszlStream(9, size, Hex("FF 41 42 43 44 45 46 47 48"));
  RunResult arcv = Unpack(ArcvArchiveOf({{"big_gds", sszl}}), cap);
  EXPECT_EQ(arcv.out, Lines(Head() + Member(Out("big.dds"), 25) + "." + NoMemory(size)));
  EXPECT_EQ(arcv.exit_code, 1);
  EXPECT_EQ(OutTree(), Tree({"small"}));
}

}  // namespace
