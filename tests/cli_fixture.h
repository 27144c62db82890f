// A fresh sandbox for running the built kobrex as a user would: the program
// is copied into a folder of its own (it moves there at start-up), and it is
// started from another folder, so that every relative path shows whether it
// was taken relative to the program's folder.
#ifndef KOBREX_TESTS_CLI_FIXTURE_H_
#define KOBREX_TESTS_CLI_FIXTURE_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

class CliTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the program copy with `args`, started from the folder `elsewhere`.
  RunResult Kobrex(const std::vector<std::string>& args, const RunLimits& limits = RunLimits());

  // A path below the program's folder, joined with the system's separator.
  std::string InBin(const std::string& relative) const;

  std::string root_;     // the sandbox
  std::string bin_;      // the program's folder
  std::string program_;  // the program copy
  std::string program_name_;
  std::string elsewhere_;  // the folder it is started from
};

#endif  // KOBREX_TESTS_CLI_FIXTURE_H_

#ifndef KOBREX_TESTS_ARCHIVE_CLI_FIXTURE_
#define KOBREX_TESTS_ARCHIVE_CLI_FIXTURE_

// Unpacks archives written into the program's folder as "pack.bin", into
// the destination "out" beside it.
class ArchiveCliTest : public CliTest {
 protected:
  // Writes `archive` and runs `kobrex pack.bin out`.
  RunResult Unpack(const std::string& archive, const RunLimits& limits = RunLimits());

  // What every run that reaches a reader prints first.
  std::string Head() const;

  // A member's output path as printed: the prefix "out" and its separator,
  // then the name as it stands.
  static std::string Out(const std::string& name);

  // The files and folders below "out".
  std::vector<std::string> OutTree() const;

  // The bytes of a file below "out" (`name` with '/' separators).
  std::string OutFile(const std::string& name) const;
};

#endif
