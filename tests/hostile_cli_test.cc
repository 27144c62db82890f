// Archives and destinations that go wrong, met as a user meets them: every
// member either comes out whole with "ok", or its line says why, no file is
// left for it, nothing that was there is lost, and the run exits 1.
#include <string>
#include <vector>

#include "archive_builder.h"
#include "cli_fixture.h"
#include "expected_texts.h"
#include "test_support.h"

namespace {

using Tree = std::vector<std::string>;

TEST_F(ArchiveCliTest, DestinationThatIsAFile) {
  ASSERT_TRUE(WriteBytes(InBin("out"), "a file where the folder should be"));
  RunResult run = Unpack(ArcvArchiveOf({{"a_wxt", "one"}, {"b_wxt", "two"}}));
  EXPECT_EQ(run.out, Lines(Head() + Member(Out("a.txt"), 3) + "." + OpenFailed(Out("a.txt")) +
                           Member(Out("b.txt"), 3) + "." + OpenFailed(Out("b.txt"))));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(ReadBytes(InBin("out")), "a file where the folder should be");
}

TEST_F(ArchiveCliTest, ArchivesCutShortOrWithBytesAppendedAreOfNoLayout) {
  const std::string archives[] = {
      ArcvArchiveOf({{"a_wxt", "some member bytes"}}),
      CountedArchiveOf({{"a.txt", "some member bytes", 17}}),
  };
  for (const std::string& archive : archives) {
    for (const std::string& changed : {archive.substr(0, archive.size() - 1), archive + "x"}) {
      RunResult run = Unpack(changed);
      EXPECT_EQ(run.out, Lines(Head() + UnknownFormat("pack.bin")));
      EXPECT_EQ(run.exit_code, 1);
      EXPECT_EQ(OutTree(), Tree());
    }
  }
}

TEST_F(ArchiveCliTest, AFailedMemberLeavesTheFileThatWasThere) {
  ASSERT_TRUE(MakeFolder(InBin("out")));
  ASSERT_TRUE(WriteBytes(InBin(Out("a.txt")), "precious"));
  std::string archive = ArcvArchive(1, {{5000, 4, "a_wxt"}}, "data");
  RunResult run = Unpack(archive);
  EXPECT_EQ(run.out, Lines(Head() + Member(Out("a.txt"), 4) + "." + kReadFailed));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(OutTree(), Tree({"a.txt"}));
  EXPECT_EQ(OutFile("a.txt"), "precious");
}

}  // namespace
