// What only Linux lets a test do to a running kobrex: interrupt it, fill its
// disk, take away its right to write.
#include <sys/mount.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "archive_builder.h"
#include "cli_fixture.h"
#include "expected_texts.h"
#include "test_support.h"

namespace {

using Tree = std::vector<std::string>;

// A literal, then a match of length 5 at distance 1; a larger unpacked_size
// gives zeros after it.
const std::string kAbab = Hex("57 70 31 36 0C 00 00 00 01 00 00 00 41 42 23 00");

bool HasTemporaryFile(const Tree& tree) {
  for (const std::string& path : tree) {
    if (path.find("~kb") != std::string::npos) return true;
  }
  return false;
}

// A tmpfs mounted on an existing folder for one test, unmounted at its end
// whatever the test's outcome; `mounted` is false when this process may not
// mount, as when it is not root.
struct TmpfsMount {
  TmpfsMount(const std::string& folder, const char* options) : path(folder) {
    mounted = mount("kobrex-test", path.c_str(), "tmpfs", 0, options) == 0;
  }
  ~TmpfsMount() {
    if (mounted) umount2(path.c_str(), MNT_DETACH);
  }
  bool MakeReadOnly(const char* options) {
    return mount("kobrex-test", path.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, options) == 0;
  }
  std::string path;
  bool mounted;
};

class InterruptTest : public ArchiveCliTest, public testing::WithParamInterface<int> {};

TEST_P(InterruptTest, RemovesTheMemberInProgressAndKeepsTheOldFile) {
  ASSERT_TRUE(MakeFolder(InBin("out")));
  ASSERT_TRUE(WriteBytes(InBin("out/big"), "precious"));
  // The counted reader makes the member's file before decoding, and the
  // decoding of 768 MiB takes long enough to be interrupted.
  ASSERT_TRUE(WriteBytes(InBin("pack.bin"), CountedArchiveOf({{"big", kAbab, 768u << 20}})));
  int process = StartProgram(program_, {"pack.bin", "out"}, elsewhere_);
  bool seen = false;
  for (int wait = 0; wait < 20000 && !seen; ++wait) {
    seen = HasTemporaryFile(OutTree());
    if (!seen) std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  int status = FinishProgram(process, GetParam());
  ASSERT_TRUE(seen) << "the member's temporary file never showed";
  EXPECT_EQ(status, 130);
  EXPECT_EQ(OutTree(), Tree({"big"}));
  EXPECT_EQ(OutFile("big"), "precious");
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptTest, testing::Values(SIGINT, SIGTERM),
                         [](const testing::TestParamInfo<int>& info) {
                           return info.param == SIGINT ? "Interrupt" : "Terminate";
                         });

class DiskTest : public ArchiveCliTest {
 protected:
  // Three members; the second decodes to 2 MiB.
  static std::string Archive() {
    return CountedArchiveOf({{"a", "first", 0}, {"big", kAbab, 2u << 20}, {"c", "third", 0}});
  }
  // The member that does not fit fails alone: the others come out, and the
  // file that was there under its name stays.
  void ExpectOnlyTheBigMemberFailed(const RunResult& run) {
    EXPECT_EQ(run.out, Lines(Head() + Member(Out("a"), 5) + kStoredOk + Member(Out("big"), 16) +
                             " -> 2097152 bytes." + WriteFailed(Out("big")) + Member(Out("c"), 5) +
                             kStoredOk));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(OutTree(), Tree({"a", "big", "c"}));
    EXPECT_EQ(OutFile("big"), "precious");
  }
};

TEST_F(DiskTest, FullDiskFailsTheMemberThatDoesNotFit) {
  ASSERT_TRUE(MakeFolder(InBin("out")));
  ASSERT_TRUE(WriteBytes(InBin("out/big"), "precious"));
  RunLimits limits;
  limits.file_size = 1u << 20;  // any file stops growing at 1 MiB
  ExpectOnlyTheBigMemberFailed(Unpack(Archive(), limits));
}

TEST_F(DiskTest, FullTmpfsFailsTheMemberThatDoesNotFit) {
  ASSERT_TRUE(MakeFolder(InBin("out")));
  TmpfsMount tmpfs(InBin("out"), "size=1m");
  if (!tmpfs.mounted) GTEST_SKIP() << "no tmpfs mount here (not root)";
  ASSERT_TRUE(WriteBytes(InBin("out/big"), "precious"));
  ExpectOnlyTheBigMemberFailed(Unpack(Archive()));
}

TEST_F(ArchiveCliTest, ReadOnlyDestination) {
  ASSERT_TRUE(MakeFolder(InBin("out")));
  ASSERT_TRUE(WriteBytes(InBin("out/kept"), "kept"));
  // Root writes through permissions: only a read-only mount stops it.
  TmpfsMount tmpfs(InBin("out"), geteuid() == 0 ? "size=1m" : nullptr);
  if (geteuid() == 0) {
    if (!tmpfs.mounted) GTEST_SKIP() << "no tmpfs mount here";
    ASSERT_TRUE(WriteBytes(InBin("out/kept"), "kept"));
    ASSERT_TRUE(tmpfs.MakeReadOnly("size=1m"));
  } else {
    ASSERT_EQ(chmod(InBin("out").c_str(), 0555), 0);
  }
  RunResult run = Unpack(ArcvArchiveOf({{"kept", "new"}, {"sub\\x", "y"}}));
  EXPECT_EQ(run.out, Lines(Head() + Member(Out("kept"), 3) + "." + OpenFailed(Out("kept")) +
                           Member(Out("sub\\x"), 1) + "." + OpenFailed(Out("sub\\x"))));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(OutTree(), Tree({"kept"}));
  EXPECT_EQ(OutFile("kept"), "kept");
}

TEST_F(CliTest, AnExecutablePathTooLongToHoldKeepsTheWorkingDirectory) {
  // Linux allows paths past the 260 bytes the program holds: it then stays
  // in the folder it was started from.
  std::string folder = bin_;
  for (int k = 0; k < 3; ++k) {
    folder = Join(folder, std::string(100, static_cast<char>('a' + k)));
    ASSERT_TRUE(MakeFolder(folder));
  }
  std::string program = Join(folder, program_name_);
  ASSERT_TRUE(CopyFileTo(program_, program));
  std::string header("\0\0\0\0\x10\0\0\0\0\0\0\0\0\0\0\0", 16);
  ASSERT_TRUE(WriteBytes(Join(elsewhere_, "here.bin"), header));
  RunResult run = RunProgram(program, {"here.bin"}, elsewhere_);
  EXPECT_EQ(run.out, Lines(kBanner + Extract("here.bin", "")));
  EXPECT_EQ(run.exit_code, 0);
}

}  // namespace
