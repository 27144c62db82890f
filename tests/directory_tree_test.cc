// The folder walk of the destination prefix, over the fake folder services.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/startup.h"
#include "fake_folders.h"

namespace {

struct TreeCase {
  const char* name;
  std::string path;
  std::vector<std::string> existing_folders;
  std::vector<std::string> existing_files;
  int result;
  std::vector<std::string> calls;
};

class DirectoryTreeTest : public testing::TestWithParam<TreeCase> {};

TEST_P(DirectoryTreeTest, WalksTheSteps) {
  const TreeCase& c = GetParam();
  Fake() = FakeFolders();
  Fake().folders.insert(c.existing_folders.begin(), c.existing_folders.end());
  Fake().files.insert(c.existing_files.begin(), c.existing_files.end());
  EXPECT_EQ(CreateDirectoryTree(c.path.c_str()), c.result);
  EXPECT_EQ(Fake().calls, c.calls);
}

// 表 is 95 5C in code page 932: its second byte is a backslash that
// separates nothing.
const std::string kHyou = "\x95\x5c";

INSTANTIATE_TEST_SUITE_P(
    Steps, DirectoryTreeTest,
    testing::Values(
        TreeCase{"DriveRootIsNoStep",
                 "C:\\out\\sub\\",
                 {},
                 {},
                 1,
                 {"query C:\\out", "create C:\\out", "query C:\\out\\sub", "create C:\\out\\sub"}},
        TreeCase{"OneRelativeFolder", "out\\", {}, {}, 1, {"query out", "create out"}},
        TreeCase{"SeparatorAppended", "out", {}, {}, 1, {"query out", "create out"}},
        // A relative first folder of one or two bytes is a step like any other.
        TreeCase{"ShortFirstFolder", "ab\\", {}, {}, 1, {"query ab", "create ab"}},
        TreeCase{"ShortFirstFolderThenMore",
                 "ab\\cd\\",
                 {},
                 {},
                 1,
                 {"query ab", "create ab", "query ab\\cd", "create ab\\cd"}},
        TreeCase{"SlashIsSeparatorEverywhere",
                 "a/b\\",
                 {},
                 {},
                 1,
                 {"query a", "create a", "query a\\b", "create a\\b"}},
        TreeCase{"NetworkPathStartsWithShare",
                 "\\\\server\\share\\folder\\",
                 {"\\\\server\\share"},
                 {},
                 1,
                 {"query \\\\server\\share", "query \\\\server\\share\\folder",
                  "create \\\\server\\share\\folder"}},
        TreeCase{"RootOfCurrentDrive",
                 "\\dir\\sub\\",
                 {},
                 {},
                 1,
                 {"query \\dir", "create \\dir", "query \\dir\\sub", "create \\dir\\sub"}},
        TreeCase{"LeadingSlashIsTheRoot", "/dir\\", {}, {}, 1, {"query \\dir", "create \\dir"}},
        TreeCase{"ExistingFolderNotMadeAgain",
                 "out\\sub\\",
                 {"out"},
                 {},
                 1,
                 {"query out", "query out\\sub", "create out\\sub"}},
        TreeCase{"FileOnTheWayStopsTheWalk", "f\\g\\", {}, {"f"}, 0, {"query f", "create f"}},
        TreeCase{"MissingParentStopsTheWalk",
                 "C:\\a\\b\\",
                 {},
                 {"C:\\a"},
                 0,
                 {"query C:\\a", "create C:\\a"}},
        TreeCase{"TrailByteIsNoSeparator",
                 kHyou + "\\x\\",
                 {},
                 {},
                 1,
                 {"query " + kHyou, "create " + kHyou, "query " + kHyou + "\\x",
                  "create " + kHyou + "\\x"}},
        TreeCase{"TrailByteAtIndexThree",
                 "ab" + kHyou + "\\",
                 {},
                 {},
                 1,
                 {"query ab" + kHyou, "create ab" + kHyou}},
        TreeCase{"EmptyPath", "", {}, {}, 0, {}},
        TreeCase{"TooLong", std::string(260, 'a'), {}, {}, 0, {}}),
    [](const testing::TestParamInfo<TreeCase>& info) { return info.param.name; });

}  // namespace
