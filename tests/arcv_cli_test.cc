// ARCV archives unpacked as a user unpacks them.
#include <algorithm>
#include <string>
#include <vector>

#include "archive_builder.h"
#include "cli_fixture.h"
#include "expected_texts.h"
#include "test_support.h"

namespace {

using Tree = std::vector<std::string>;

// "ABAB..." coded: two literals, then a match of the first byte's slot that
// overlaps its own output.
const std::string kAbab = SszlStream(5, 8, Hex("03 41 42 EE F3"));

TEST_F(ArchiveCliTest, ArcvUnpacksEveryMemberInDirectoryOrder) {
  std::string text = "plain text, stored as it is\n";
  std::string no_output = SszlStream(4, 0, "abcd");  // declares no output: stored whole
  RunResult run = Unpack(ArcvArchiveOf({{"title_gds", kAbab},
                                        {"notes_wxt", text},
                                        {"empty", ""},
                                        {"zero_qbu", no_output},
                                        {"magic_only", "SSZL"}}));
  EXPECT_EQ(run.out, Lines(Head() + Member(Out("title.dds"), 21) + DecodedOk(8) +
                           Member(Out("notes.txt"), 28) + kStoredOk + Member(Out("empty"), 0) +
                           kStoredOk + Member(Out("zero.nbu"), 20) + kStoredOk +
                           Member(Out("magic.lnly"), 4) + kStoredOk));
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(OutTree(), Tree({"empty", "magic.lnly", "notes.txt", "title.dds", "zero.nbu"}));
  EXPECT_EQ(OutFile("title.dds"), "ABABABAB");
  EXPECT_EQ(OutFile("notes.txt"), text);
  EXPECT_EQ(OutFile("empty"), "");
  EXPECT_EQ(OutFile("zero.nbu"), no_output);
  EXPECT_EQ(OutFile("magic.lnly"), "SSZL");
}

TEST_F(ArchiveCliTest, ArcvWithoutDestinationWritesBesideTheProgram) {
  ASSERT_TRUE(WriteBytes(InBin("pack.bin"), ArcvArchiveOf({{"title_gds", kAbab}})));
  RunResult run = Kobrex({"pack.bin"});
  EXPECT_EQ(run.out, Lines("kobrex ver.0.1\nExtract pack.bin to .\n" + Member("title.dds", 21) +
                           DecodedOk(8)));
  EXPECT_EQ(ReadBytes(InBin("title.dds")), "ABABABAB");
}

TEST_F(ArchiveCliTest, ArcvEntryCounts) {
  struct CountCase {
    int32_t count;
    std::string printed;
    int exit_code;
  };
  const CountCase cases[] = {
      {0, "", 0},
      {-1, "", 0},                         // a directory of 0 bytes
      {-2, NoMemory(-64), 1},              // (-2 + 1) * 64
      {-2147483647 - 1, NoMemory(64), 1},  // wraps in 32 bits
      {2, BadEntryCount(2), 1},            // two entries do not fit the file
      {2147483647, BadEntryCount(2147483647), 1},
  };
  for (const CountCase& c : cases) {
    RunResult run = Unpack(ArcvArchive(c.count, {}, std::string(100, 'x')));
    EXPECT_EQ(run.out, Lines(Head() + c.printed)) << c.count;
    EXPECT_EQ(run.exit_code, c.exit_code) << c.count;
    EXPECT_EQ(OutTree(), Tree()) << c.count;
  }
}

TEST_F(ArchiveCliTest, ArcvFailedMembersAreReportedAndTheRunGoesOn) {
  std::string good = "good";
  std::vector<RawEntry> entries = {
      {0, 4, "first_wxt"},
      {1000, 4, "outside_wxt"},  // beyond the end of the file
      {0, 4, "..\\up_wxt"},
      {0, 4, "sub/../../up_wxt"},
      {0, 4, "\\rooted_wxt"},
      {0, 4, "/rooted_wxt"},
      {0, 4, "C:drive_wxt"},
      {0, 4, "stream:name_wxt"},
      {0, 4, ""},
      {0, 4, "folder\\"},
      {0, 4, ".. \\up_wxt"},
      {4, 25, "huge_qbu"},  // declares an output that cannot be had
      {0, 4, "last_wxt"},
  };
  size_t directory = 64 + 64 * entries.size();
  std::string data = good + SszlStream(9, 0xFFFFF001, Hex("FF 41 42 43 44 45 46 47 48"));
  for (RawEntry& entry : entries) {
    if (entry.offset < 1000) entry.offset += static_cast<uint32_t>(directory);
  }
  RunResult run = Unpack(ArcvArchive(static_cast<int32_t>(entries.size()), entries, data));
  EXPECT_EQ(run.out,
            Lines(Head() + Member(Out("first.txt"), 4) + kStoredOk + Member(Out("outside.txt"), 4) +
                  "." + kReadFailed + Member(Out("..\\up.txt"), 4) + "." + kBadName +
                  Member(Out("sub/../../up.txt"), 4) + "." + kBadName +
                  Member(Out("\\rooted.txt"), 4) + "." + kBadName + Member(Out("/rooted.txt"), 4) +
                  "." + kBadName + Member(Out("C:drive.txt"), 4) + "." + kBadName +
                  Member(Out("stream:name.txt"), 4) + "." + kBadName + Member(Out(""), 4) + "." +
                  kBadName + Member(Out("folder\\"), 4) + "." + kBadName +
                  Member(Out(".. \\up.txt"), 4) + "." + kBadName + Member(Out("huge.nbu"), 25) +
                  "." + NoMemory(0xFFFFF001) + Member(Out("last.txt"), 4) + kStoredOk));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(OutTree(), Tree({"first.txt", "last.txt"}));
  Tree everything = {"bin/",
                     "bin/out/",
                     "bin/out/first.txt",
                     "bin/out/last.txt",
                     "bin/pack.bin",
                     "bin/" + program_name_,
                     "elsewhere/"};
  std::sort(everything.begin(), everything.end());
  EXPECT_EQ(ListTree(root_), everything) << "nothing is made outside the destination";
}

TEST_F(ArchiveCliTest, ArcvNamesWithFoldersMakeTheirFolders) {
  RunResult run = Unpack(ArcvArchiveOf({{"sub\\deep\\file_wxt", "one"},
                                        {"sub/other_wxt", "two"},
                                        {"abc_2xx", "three"}}));  // the rewrite makes a slash
  EXPECT_EQ(run.out, Lines(Head() + Member(Out("sub\\deep\\file.txt"), 3) + kStoredOk +
                           Member(Out("sub/other.txt"), 3) + kStoredOk + Member(Out("abc./xx"), 5) +
                           kStoredOk));
  EXPECT_EQ(run.exit_code, 0);
  // Windows drops the trailing full stop of a folder name.
  std::string abc = kSep == '/' ? "abc." : "abc";
  EXPECT_EQ(OutTree(), Tree({abc + "/", abc + "/xx", "sub/", "sub/deep/", "sub/deep/file.txt",
                             "sub/other.txt"}));
  EXPECT_EQ(OutFile("sub/deep/file.txt"), "one");
}

TEST_F(ArchiveCliTest, ArcvDoubleByteNames) {
  // 表 (95 5C) ends in a byte 0x5C that separates nothing; ソ (83 5C) too.
  const std::string hyou = "\x95\x5c", so = "\x83\x5c";
  RunResult run =
      Unpack(ArcvArchiveOf({{hyou + "_wxt", "a"}, {"dir" + so + "\\" + so + "_wxt", "b"}}));
  EXPECT_EQ(run.out, Lines(Head() + Member(Out(hyou + ".txt"), 1) + kStoredOk +
                           Member(Out("dir" + so + "\\" + so + ".txt"), 1) + kStoredOk));
  EXPECT_EQ(OutTree(), Tree({"dir" + so + "/", "dir" + so + "/" + so + ".txt", hyou + ".txt"}));
}

TEST_F(ArchiveCliTest, ArcvNameFieldWithoutNulIsTakenWhole) {
  std::string name(56, 'n');
  RunResult run = Unpack(ArcvArchiveOf({{name, "x"}}));
  EXPECT_EQ(run.out, Lines(Head() + Member(Out(name), 1) + kStoredOk));
  EXPECT_EQ(OutTree(), Tree({name}));
}

TEST_F(ArchiveCliTest, ArcvPathTooLongIsRefused) {
  std::string dest(205, 'd');
  ASSERT_TRUE(WriteBytes(InBin("pack.bin"), ArcvArchiveOf({{std::string(55, 'n'), "x"}})));
  RunResult run = Kobrex({"pack.bin", dest});
  std::string prefix = dest + kSep;
  EXPECT_EQ(run.out, Lines("kobrex ver.0.1\nExtract pack.bin to " + prefix + ".\n" +
                           Member(prefix + std::string(55, 'n'), 1) + "." + kPathTooLong));
  EXPECT_EQ(run.exit_code, 1);
}

TEST_F(ArchiveCliTest, ArcvReplacesFilesAndTheLaterDuplicateWins) {
  ASSERT_TRUE(MakeFolder(InBin("out")));
  ASSERT_TRUE(WriteBytes(InBin(Out("a.txt")), "old contents, longer than the new"));
  RunResult run = Unpack(ArcvArchiveOf({{"a_wxt", "first"}, {"a_wxt", "second"}}));
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(OutTree(), Tree({"a.txt"}));
  EXPECT_EQ(OutFile("a.txt"), "second");
}

TEST_F(ArchiveCliTest, ArcvOutputThatCannotBeCreated) {
  ASSERT_TRUE(MakeFolder(InBin("out")));
  ASSERT_TRUE(WriteBytes(InBin(Out("blocker")), "a file, not a folder"));
  ASSERT_TRUE(MakeFolder(InBin(Out("taken.txt"))));
  RunResult run =
      Unpack(ArcvArchiveOf({{"blocker\\inside_wxt", "x"}, {"taken_wxt", "y"}, {"fine", "z"}}));
  EXPECT_EQ(run.out,
            Lines(Head() + Member(Out("blocker\\inside.txt"), 1) + "." +
                  OpenFailed(Out("blocker\\inside.txt")) + Member(Out("taken.txt"), 1) + "." +
                  WriteFailed(Out("taken.txt")) + Member(Out("fine"), 1) + kStoredOk));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(OutTree(), Tree({"blocker", "fine", "taken.txt/"}));
  EXPECT_EQ(OutFile("blocker"), "a file, not a folder");
}

TEST_F(ArchiveCliTest, ArcvTruncatedStreamDecodesWhatIsThere) {
  // The header claims 100 coded bytes; the member holds 3. The rest reads
  // as zeros, and the output the stream does not make is zero too.
  RunResult run = Unpack(ArcvArchiveOf({{"cut_gds", SszlStream(100, 10, Hex("FF 41 42"))}}));
  EXPECT_EQ(run.out, Lines(Head() + Member(Out("cut.dds"), 19) + DecodedOk(10)));
  EXPECT_EQ(OutFile("cut.dds"), "AB" + std::string(8, '\0'));
}

}  // namespace
