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

RunResult CliTest::Kobrex(const std::vector<std::string>& args, const RunLimits& limits) {
  RunResult result = RunProgram(program_, args, elsewhere_, limits);
  EXPECT_EQ(result.err, "") << "kobrex writes nothing to standard error";
  return result;
}

std::string CliTest::InBin(const std::string& relative) const { return Join(bin_, relative); }

RunResult ArchiveCliTest::Unpack(const std::string& archive, const RunLimits& limits) {
  EXPECT_TRUE(WriteBytes(InBin("pack.bin"), archive));
  return Kobrex({"pack.bin", "out"}, limits);
}

std::string ArchiveCliTest::Head() const {
  return "kobrex ver.0.1\nExtract pack.bin to " + Out("") + ".\n";
}

std::string ArchiveCliTest::Out(const std::string& name) {
  return std::string("out") + kSep + name;
}

std::vector<std::string> ArchiveCliTest::OutTree() const { return ListTree(InBin("out")); }

std::string ArchiveCliTest::OutFile(const std::string& name) const {
  std::string native = name;
  for (char& c : native) {
    if (c == '/') c = kSep;
  }
  return ReadBytes(Join(InBin("out"), native));
}
