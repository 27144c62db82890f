// A fake of the platform's folder services for tests of the folder walk: an
// in-memory set of folders and files that behaves like Windows (backslash
// separator, code page 932 lead bytes) on every build, and a log of calls.
#ifndef KOBREX_TESTS_FAKE_FOLDERS_H_
#define KOBREX_TESTS_FAKE_FOLDERS_H_

#include <set>
#include <string>
#include <vector>

struct FakeFolders {
  std::set<std::string> folders;   // paths that exist as folders
  std::set<std::string> files;     // paths that exist as files
  std::vector<std::string> calls;  // "query PATH" and "create PATH", in order
};

// The state the fake platform functions work on; reset it in each test.
FakeFolders& Fake();

#endif  // KOBREX_TESTS_FAKE_FOLDERS_H_
