// Helpers for tests that run the real programs as a user would: fresh
// folders, files as bytes, and a child process whose standard output and
// exit status are captured.
#ifndef KOBREX_TESTS_TEST_SUPPORT_H_
#define KOBREX_TESTS_TEST_SUPPORT_H_

#include <cstdint>
#include <string>
#include <vector>

// The separator of the system's paths, and the line end of its text output.
extern const char kSep;
extern const char* const kNewline;

struct RunResult {
  int exit_code = -1;  // 128 + signal number when a signal ended the process
  std::string out;     // standard output, as bytes
  std::string err;     // standard error, as bytes
};

// Limits for a child process, on Linux; 0 is none. `memory` caps its address
// space (on Windows the 32-bit program has its own 2 GiB); `file_size` caps
// the size of any file it writes, as a full disk would, with writes beyond it
// failing instead of ending the process.
struct RunLimits {
  uint64_t memory = 0;
  uint64_t file_size = 0;
};

// Runs `program` with `args` in the folder `cwd` and waits for it.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& cwd, const RunLimits& limits = RunLimits());

// Linux only: starts the program with its output discarded and returns its
// process id; FinishProgram sends it `signal_number` (0 for none), waits for
// it and returns its exit status (128 + signal number for a signal's end).
int StartProgram(const std::string& program, const std::vector<std::string>& args,
                 const std::string& cwd);
int FinishProgram(int process, int signal_number);

// True when the programs were built with AddressSanitizer, which needs more
// address space than any cap leaves.
bool BuiltWithAddressSanitizer();

// A new empty folder below the system's temporary folder.
std::string MakeTempFolder();
void RemoveTree(const std::string& path);
bool MakeFolder(const std::string& path);
bool CopyFileTo(const std::string& from, const std::string& to);
bool IsFolder(const std::string& path);
bool IsFile(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes, or `missing` when it cannot be read.
std::string ReadBytes(const std::string& path, const std::string& missing = "<missing>");

// Every file and folder below `root`, as paths relative to it joined with
// '/', folders ending in '/', sorted bytewise.
std::vector<std::string> ListTree(const std::string& root);

// `a` and `b` joined with the system's separator.
std::string Join(const std::string& a, const std::string& b);

// `text` with each "\n" turned into the system's line end.
std::string Lines(const std::string& text);

// The kobrex program that this build made.
std::string BuiltProgram(const char* build_path);

// Makes a process of this test program able to find its own files even when
// the working directory changes: the absolute form of `path`.
std::string AbsolutePath(const std::string& path);

#endif  // KOBREX_TESTS_TEST_SUPPORT_H_
