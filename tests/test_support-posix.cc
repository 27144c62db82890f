#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "test_support.h"

const char kSep = '/';
const char* const kNewline = "\n";

namespace {

void ListInto(const std::string& root, const std::string& relative, std::vector<std::string>* out) {
  DIR* dir = opendir(Join(root, relative).c_str());
  if (dir == nullptr) return;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    std::string path = relative.empty() ? name : relative + "/" + name;
    if (IsFolder(Join(root, path))) {
      out->push_back(path + "/");
      ListInto(root, path, out);
    } else {
      out->push_back(path);
    }
  }
  closedir(dir);
}

}  // namespace

namespace {

// In the child: enter `cwd`, apply the limits and run the program.
[[noreturn]] void ExecuteChild(const std::string& program, const std::vector<std::string>& args,
                               const std::string& cwd, const RunLimits& limits) {
  if (chdir(cwd.c_str()) != 0) _exit(126);
  if (limits.memory != 0) {
    rlimit limit = {limits.memory, limits.memory};
    setrlimit(RLIMIT_AS, &limit);
  }
  if (limits.file_size != 0) {
    signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG
    rlimit limit = {limits.file_size, limits.file_size};
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

int ExitStatus(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

int StartProgram(const std::string& program, const std::vector<std::string>& args,
                 const std::string& cwd) {
  pid_t pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    ExecuteChild(program, args, cwd, RunLimits());
  }
  return pid;
}

int FinishProgram(int process, int signal_number) {
  if (signal_number != 0) kill(process, signal_number);
  int status = 0;
  waitpid(process, &status, 0);
  return ExitStatus(status);
}

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& cwd, const RunLimits& limits) {
  RunResult result;
  int out_pipe[2], err_pipe[2];
  if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return result;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(out_pipe[1], 1);
    dup2(err_pipe[1], 2);
    close(out_pipe[0]);
    close(err_pipe[0]);
    close(out_pipe[1]);
    close(err_pipe[1]);
    ExecuteChild(program, args, cwd, limits);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open_count = 2;
  while (open_count > 0) {
    if (poll(fds, 2, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char chunk[65536];
      ssize_t got = read(fds[i].fd, chunk, sizeof chunk);
      if (got > 0) {
        sinks[i]->append(chunk, static_cast<size_t>(got));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_count;
      }
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.exit_code = ExitStatus(status);
  return result;
}

std::string MakeTempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/kobrex-test-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) return "";
  return buffer.data();
}

void RemoveTree(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return;
  if (S_ISDIR(info.st_mode)) {
    chmod(path.c_str(), 0700);  // a test may have made it read-only
    std::vector<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
      while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
      }
      closedir(dir);
    }
    for (const std::string& name : names) RemoveTree(path + "/" + name);
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

bool MakeFolder(const std::string& path) { return mkdir(path.c_str(), 0777) == 0; }

bool CopyFileTo(const std::string& from, const std::string& to) {
  std::string bytes = ReadBytes(from, "");
  struct stat info;
  if (stat(from.c_str(), &info) != 0 || !WriteBytes(to, bytes)) return false;
  return chmod(to.c_str(), info.st_mode & 0777) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::string> ListTree(const std::string& root) {
  std::vector<std::string> out;
  ListInto(root, "", &out);
  std::sort(out.begin(), out.end());
  return out;
}

std::string BuiltProgram(const char* build_path) { return build_path; }

std::string AbsolutePath(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}
