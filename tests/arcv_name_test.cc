// Member names of the ARCV layout as they become file names.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "archive/arcv_archive.h"

namespace {

struct NameCase {
  std::string prefix;
  std::string name;
  std::string path;  // the path printed and opened
};

class ArcvNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(ArcvNameTest, RewritesTheNamePartOnly) {
  const NameCase& c = GetParam();
  char path[300];
  std::strcpy(path, (c.prefix + c.name).c_str());
  MapArcvMemberName(path, c.prefix.size());
  EXPECT_EQ(std::string(path), c.path) << c.prefix << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, ArcvNameTest,
    testing::Values(NameCase{"", "movie", "movie"},      // no underscore
                    NameCase{"", "abc_prx", "abc.prx"},  // the tail is exactly .prx
                    NameCase{"", "_prx", ".prx"},
                    NameCase{"", "abc_prxa", "abc.mrxa"},  // not exactly .prx: p becomes m
                    NameCase{"", "abc_PRX", "abc.MRX"},    // compared as bytes
                    NameCase{"", "abc_font", "abc.font"},  // begins with .font
                    NameCase{"", "abc_fonts", "abc.fonts"},
                    NameCase{"", "abc_fon", "abc.con"},  // shorter than .font
                    NameCase{"", "abc_FONT", "abc.CONT"}, NameCase{"", "abc_ebp", "abc.bbp"},
                    NameCase{"", "abc_EMP", "abc.BMP"},
                    NameCase{"", "abc_abc", "abc.^bc"},  // 0x61 becomes 0x5E
                    NameCase{"", "abc_Abc", "abc.>bc"},
                    NameCase{"", "a_b_wxw", "a_b.txw"},  // only the last underscore
                    NameCase{"", "abc.def_ghi", "abc.def.dhi"},
                    NameCase{"", "abc_2xx", "abc./xx"},        // the new byte is not checked
                    NameCase{"out_x\\", "abc", "out_x\\abc"},  // the prefix is not searched
                    NameCase{"out_x\\", "a_gds", "out_x\\a.dds"},
                    // The 0x5F is the second byte of a double-byte character.
                    NameCase{"", "\x83\x5F\x83\x7E\x81\x5B", "\x83\x2E\x80\x7E\x81\x5B"},
                    // Nothing follows a final underscore: it becomes a full stop alone.
                    NameCase{"", "abc_", "abc."}, NameCase{"out_\\", "_", "out_\\."}));

}  // namespace
