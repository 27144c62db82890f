// Whole extraction of any file: the bytes are written as an archive, kobrex
// extracts it into a fresh folder, and the harness checks what a user relies
// on: nothing outside the destination, no temporary file left, and an exit
// status that tells the truth about the lines printed.
//
// The archive lies in base/a/b/c beside the destination base/a/b/c/out, so
// that a name escaping the destination by up to three levels would show in
// the folders the harness watches.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/extract.h"
#include "cli/startup.h"
#include "platform/platform.h"

namespace {

std::string base;    // this process's own folder below the temporary one
int output_fd = -1;  // standard output goes to this file
std::string output_path;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "extract_fuzz: %s\n", what);
    std::abort();
  }
}

// Every path below `root`, relative, folders ending in '/'.
void List(const std::string& root, const std::string& relative, std::vector<std::string>* out) {
  DIR* dir = opendir((root + "/" + relative).c_str());
  if (dir == nullptr) return;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    std::string path = relative + name;
    struct stat info;
    if (lstat((root + "/" + path).c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      out->push_back(path + "/");
      List(root, path + "/", out);
    } else {
      out->push_back(path);
    }
  }
  closedir(dir);
}

void RemoveTree(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return;
  if (S_ISDIR(info.st_mode)) {
    std::vector<std::string> names;
    List(path, "", &names);
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
      std::string full = path + "/" + *it;
      if (!it->empty() && it->back() == '/') {
        rmdir(full.c_str());
      } else {
        unlink(full.c_str());
      }
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

// The paths of the members whose lines ended in "ok", as the file system
// names them: a line is "<path>. <n> bytes", then " -> <m> bytes." or ".",
// then "ok", and a backslash that is no trail byte separates folders.
std::set<std::string> CompletedPaths(const std::string& printed) {
  static const std::regex kLine(R"(^(.*)\. -?[0-9]+ bytes( -> -?[0-9]+ bytes\.|\.)ok$)");
  std::set<std::string> paths;
  std::istringstream lines(printed);
  std::string line;
  while (std::getline(lines, line)) {
    std::smatch match;
    if (!std::regex_match(line, match, kLine)) continue;
    std::string path = match[1];
    for (size_t k = 0; k < path.size(); ++k) {
      if (IsLeadByte(static_cast<unsigned char>(path[k])) && k + 1 < path.size()) {
        ++k;
      } else if (path[k] == '\\') {
        path[k] = '/';
      }
    }
    paths.insert(path);
  }
  return paths;
}

// True for the names kobrex gives its temporary files: "~kb", four hex
// digits, ".tmp".
bool IsTemporaryName(const std::string& path) {
  static const std::regex kName(R"((^|/)~kb[0-9a-f]{4}\.tmp$)");
  return std::regex_search(path, kName);
}

bool Init() {
  char pattern[] = "/tmp/kobrex-fuzz-XXXXXX";
  Check(mkdtemp(pattern) != nullptr, "no temporary folder");
  base = pattern;
  // The program's lines go to a file the harness reads back after each run.
  output_path = base + "/stdout";
  output_fd = open(output_path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  Check(output_fd >= 0, "no output file");
  std::fflush(stdout);
  dup2(output_fd, 1);
  std::atexit([] { RemoveTree(base); });
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = Init();
  (void)ready;
  std::string folder = base + "/a/b/c";
  for (const char* step : {"/a", "/a/b", "/a/b/c"}) mkdir((base + step).c_str(), 0777);
  std::string archive = folder + "/archive.bin";
  FILE* file = std::fopen(archive.c_str(), "wb");
  Check(file != nullptr && std::fwrite(data, 1, size, file) == size && std::fclose(file) == 0,
        "cannot write the archive");

  std::fflush(stdout);
  Check(ftruncate(output_fd, 0) == 0 && lseek(output_fd, 0, SEEK_SET) == 0, "cannot reset output");
  char prefix[kMaxPath];
  Check(MakeDestinationPrefix((folder + "/out").c_str(), prefix), "prefix");
  CreateDirectoryTree(prefix);
  int status = ExtractArchiveFile(archive.c_str(), prefix, true);
  std::fflush(stdout);

  std::string printed;
  char chunk[4096];
  ssize_t got;
  off_t at = 0;
  while ((got = pread(output_fd, chunk, sizeof chunk, at)) > 0) {
    printed.append(chunk, static_cast<size_t>(got));
    at += got;
  }
  bool reported = printed.find("Error : ") != std::string::npos;
  Check(status == kExitSuccess || status == kExitFailure, "an exit status of neither kind");
  Check((status == kExitFailure) == reported, "the exit status and the lines disagree");

  std::vector<std::string> everything;
  List(base, "", &everything);
  std::set<std::string> completed = CompletedPaths(printed);
  for (const std::string& path : everything) {
    bool expected = path == "stdout" || path == "a/" || path == "a/b/" || path == "a/b/c/" ||
                    path == "a/b/c/archive.bin" || path.compare(0, 10, "a/b/c/out/") == 0;
    if (!expected) std::fprintf(stderr, "extract_fuzz: made %s\n", path.c_str());
    Check(expected, "something was made outside the destination");
    // A member may itself be named like a temporary file; then its line
    // says it was completed.
    bool left_behind = IsTemporaryName(path) && completed.count(base + "/" + path) == 0;
    if (left_behind) std::fprintf(stderr, "extract_fuzz: left %s\n", path.c_str());
    Check(!left_behind, "a temporary file was left behind");
  }
  RemoveTree(folder + "/out");
  unlink(archive.c_str());
  return 0;
}
