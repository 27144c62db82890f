// The command line and start-up, run as a user runs kobrex.
#include <string>
#include <vector>

#include "cli_fixture.h"
#include "expected_texts.h"
#include "test_support.h"

namespace {

using Tree = std::vector<std::string>;

TEST_F(CliTest, NoArgumentsShowsTheUsage) {
  RunResult run = Kobrex({});
  EXPECT_EQ(run.out, Lines(kBanner + kUsage));
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(ListTree(bin_), Tree({program_name_}));
  EXPECT_EQ(ListTree(elsewhere_), Tree());
}

TEST_F(CliTest, EmptyTargetShowsTheUsage) {
  RunResult run = Kobrex({""});
  EXPECT_EQ(run.out, Lines(kBanner + kUsage));
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(ListTree(bin_), Tree({program_name_}));
}

TEST_F(CliTest, EmptyTargetStillMakesTheDestinationFirst) {
  RunResult run = Kobrex({"", "made"});
  EXPECT_EQ(run.out, Lines(kBanner + kUsage));
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_TRUE(IsFolder(InBin("made")));
}

TEST_F(CliTest, MissingTargetCannotBeOpened) {
  RunResult run = Kobrex({"absent.bin", "out"});
  EXPECT_EQ(run.out, Lines(kBanner + OpenFailed("absent.bin")));
  EXPECT_EQ(run.exit_code, 1);
}

TEST_F(CliTest, FolderAsTargetCannotBeOpened) {
  ASSERT_TRUE(MakeFolder(InBin("folder")));
  RunResult run = Kobrex({"folder"});
  EXPECT_EQ(run.out, Lines(kBanner + OpenFailed("folder")));
  EXPECT_EQ(run.exit_code, 1);
}

TEST_F(CliTest, PercentSignsArePrintedAsTheyStand) {
  RunResult missing = Kobrex({"100%s%d%n.bin"});
  EXPECT_EQ(missing.out, Lines(kBanner + OpenFailed("100%s%d%n.bin")));
  ASSERT_TRUE(WriteBytes(InBin("50%s.bin"), std::string(32, 'x')));
  RunResult unknown = Kobrex({"50%s.bin", "o%s"});
  std::string prefix = std::string("o%s") + kSep;
  EXPECT_EQ(unknown.out, Lines(kBanner + Extract("50%s.bin", prefix) + UnknownFormat("50%s.bin")));
}

TEST_F(CliTest, WildcardsAreNotExpanded) {
  // The start-up code of the Windows program must not expand them either.
  ASSERT_TRUE(WriteBytes(Join(elsewhere_, "match.bin"), "x"));
  ASSERT_TRUE(WriteBytes(InBin("match.bin"), "x"));
  RunResult run = Kobrex({"*.bin", "o?t"});
  EXPECT_EQ(run.out, Lines(kBanner + OpenFailed("*.bin")));
}

TEST_F(CliTest, UnknownLayoutIsReportedAfterTheAnnouncement) {
  const std::string files[] = {std::string(16, '\x01'), std::string(5000, 'z'), std::string(""),
                               std::string(15, '\0')};
  for (const std::string& bytes : files) {
    ASSERT_TRUE(WriteBytes(InBin("junk.bin"), bytes));
    RunResult run = Kobrex({"junk.bin"});
    EXPECT_EQ(run.out, Lines(kBanner + Extract("junk.bin", "") + UnknownFormat("junk.bin")))
        << bytes.size() << " bytes";
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(ListTree(bin_), Tree({"junk.bin", program_name_}));
  }
}

TEST_F(CliTest, RelativePathsAreTakenFromTheProgramsFolder) {
  // A counted archive with no members: its header alone.
  std::string header("\0\0\0\0\x10\0\0\0\0\0\0\0\0\0\0\0", 16);
  ASSERT_TRUE(WriteBytes(InBin("empty.bin"), header));
  RunResult run = Kobrex({"empty.bin", "out"});
  std::string prefix = std::string("out") + kSep;
  EXPECT_EQ(run.out, Lines(kBanner + Extract("empty.bin", prefix)));
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_TRUE(IsFolder(InBin("out")));
  EXPECT_EQ(ListTree(elsewhere_), Tree());
}

TEST_F(CliTest, AbsoluteDestinationIsMadeWithAllItsFolders) {
  std::string header("\0\0\0\0\x10\0\0\0\0\0\0\0\0\0\0\0", 16);
  ASSERT_TRUE(WriteBytes(InBin("empty.bin"), header));
  std::string dest = Join(Join(Join(root_, "abs"), "deep"), "er");
  std::string target = InBin("empty.bin");
  RunResult run = Kobrex({target, dest, "ignored", "also ignored"});
  EXPECT_EQ(run.out, Lines(kBanner + Extract(target, dest + kSep)));
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_TRUE(IsFolder(dest));
}

TEST_F(CliTest, DestinationTooLongIsRefused) {
  std::string header("\0\0\0\0\x10\0\0\0\0\0\0\0\0\0\0\0", 16);
  ASSERT_TRUE(WriteBytes(InBin("empty.bin"), header));
  std::string dest(259, 'd');
  RunResult run = Kobrex({"empty.bin", dest});
  EXPECT_EQ(run.out, Lines(kBanner + DestTooLong(dest)));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(ListTree(bin_), Tree({"empty.bin", program_name_}));
}

TEST_F(CliTest, ExecutableNameWithTrailByteBackslash) {
  // 表 is 95 5C: the program still moves to the folder that holds it.
  std::string renamed = "k\x95\x5c" + program_name_;
  ASSERT_TRUE(CopyFileTo(program_, InBin(renamed)));
  std::string header("\0\0\0\0\x10\0\0\0\0\0\0\0\0\0\0\0", 16);
  ASSERT_TRUE(WriteBytes(InBin("empty.bin"), header));
  RunResult run = RunProgram(InBin(renamed), {"empty.bin"}, elsewhere_);
  EXPECT_EQ(run.out, Lines(kBanner + Extract("empty.bin", "")));
  EXPECT_EQ(run.exit_code, 0);
}

}  // namespace
