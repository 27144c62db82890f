// The destination prefix on this build's platform layer: the separator it
// appends and the lengths it refuses.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "cli/startup.h"
#include "platform/platform.h"

namespace {

struct PrefixCase {
  const char* name;
  std::string dest_dir;
  bool fits;
  std::string posix_prefix;    // the prefix on Linux
  std::string windows_prefix;  // the prefix on Windows
};

class PrefixTest : public testing::TestWithParam<PrefixCase> {};

TEST_P(PrefixTest, MakesThePrefix) {
  const PrefixCase& c = GetParam();
  char prefix[kMaxPath + 16];
  std::memset(prefix, 'x', sizeof prefix);
  EXPECT_EQ(MakeDestinationPrefix(c.dest_dir.c_str(), prefix), c.fits);
  EXPECT_LT(std::strlen(prefix), kMaxPath);
  std::string expected = kNativeSeparator == '/' ? c.posix_prefix : c.windows_prefix;
  EXPECT_EQ(std::string(prefix), expected);
}

const std::string k258(258, 'd');
const std::string k259(259, 'd');
const std::string kHyou = "\x95\x5c";  // 表: its second byte is 0x5C

INSTANTIATE_TEST_SUITE_P(
    Prefixes, PrefixTest,
    testing::Values(PrefixCase{"Relative", "out", true, "out/", "out\\"},
                    PrefixCase{"EndsInSlash", "out/", true, "out/", "out/\\"},
                    PrefixCase{"EndsInBackslash", "out\\", true, "out\\", "out\\"},
                    PrefixCase{"Absolute", "/abs/out", true, "/abs/out/", "/abs/out\\"},
                    PrefixCase{"Drive", "C:\\out\\sub", true, "C:\\out\\sub/", "C:\\out\\sub\\"},
                    PrefixCase{"TrailByteIsNoSeparator", kHyou, true, kHyou + "/", kHyou + "\\"},
                    PrefixCase{"EmptyIsNone", "", true, "", ""},
                    PrefixCase{"LongestWithoutSeparator", k258, true, k258 + "/", k258 + "\\"},
                    PrefixCase{"LongestWithSeparator", k258 + "\\", true, k258 + "\\", k258 + "\\"},
                    PrefixCase{"NoRoomForSeparator", k259, false, "", ""},
                    PrefixCase{"FarTooLong", std::string(4000, 'd'), false, "", ""}),
    [](const testing::TestParamInfo<PrefixCase>& info) { return info.param.name; });

}  // namespace
