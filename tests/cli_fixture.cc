#include "cli_fixture.h"

#ifndef KOBREX_PROGRAM
#error "KOBREX_PROGRAM must name the built kobrex program"
#endif

void CliTest::SetUp() {
  root_ = MakeTempFolder();
  ASSERT_FALSE(root_.empty());
  bin_ = Join(root_, "bin");
  elsewhere_ = Join(root_, "elsewhere");
  ASSERT_TRUE(MakeFolder(bin_));
  ASSERT_TRUE(MakeFolder(elsewhere_));
  std::string built = BuiltProgram(KOBREX_PROGRAM);
  program_name_ = built.substr(built.find_last_of("/\\") + 1);
  program_ = Join(bin_, program_name_);
  ASSERT_TRUE(CopyFileTo(built, program_)) << built;
}

void CliTest::TearDown() { RemoveTree(root_); }

RunResult CliTest::Kobrex(const std::vector<std::string>& args) {
  RunResult result = RunProgram(program_, args, elsewhere_);
  EXPECT_EQ(result.err, "") << "kobrex writes nothing to standard error";
  return result;
}

std::string CliTest::InBin(const std::string& relative) const { return Join(bin_, relative); }
