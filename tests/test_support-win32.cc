#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "test_support.h"

const char kSep = '\\';
const char* const kNewline = "\r\n";

namespace {

// One argument quoted as the start-up code of a Windows program splits it.
std::string QuoteArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = backslashes * 2 + 1;
    quoted.append(backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

HANDLE CreateCaptureFile(const std::string& path) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
}

void ListInto(const std::string& root, const std::string& relative, std::vector<std::string>* out) {
  std::string native = relative;
  std::replace(native.begin(), native.end(), '/', '\\');
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(Join(Join(root, native), "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    std::string path = relative.empty() ? name : relative + "/" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out->push_back(path + "/");
      ListInto(root, path, out);
    } else {
      out->push_back(path);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& cwd, const RunLimits&) {
  RunResult result;
  static int serial = 0;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string base = std::string(temp) + "kobrex-run-" + std::to_string(GetCurrentProcessId()) +
                     "-" + std::to_string(serial++);
  std::string out_path = base + ".out", err_path = base + ".err";
  HANDLE out = CreateCaptureFile(out_path);
  HANDLE err = CreateCaptureFile(err_path);
  std::string command = QuoteArgument(program);
  for (const std::string& arg : args) command += " " + QuoteArgument(arg);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process;
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  if (CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, cwd.c_str(),
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exit_code = static_cast<int>(code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  CloseHandle(out);
  CloseHandle(err);
  result.out = ReadBytes(out_path, "");
  result.err = ReadBytes(err_path, "");
  DeleteFileA(out_path.c_str());
  DeleteFileA(err_path.c_str());
  return result;
}

std::string MakeTempFolder() {
  static int serial = 0;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string path = std::string(temp) + "kobrex-test-" + std::to_string(GetCurrentProcessId()) +
                       "-" + std::to_string(serial++);
    if (CreateDirectoryA(path.c_str(), nullptr)) return path;
  }
  return "";
}

void RemoveTree(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileA(path.c_str());
    return;
  }
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(Join(path, "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    std::vector<std::string> names;
    do {
      std::string name = found.cFileName;
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& name : names) RemoveTree(Join(path, name));
  }
  RemoveDirectoryA(path.c_str());
}

bool MakeFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

bool CopyFileTo(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> ListTree(const std::string& root) {
  std::vector<std::string> out;
  ListInto(root, "", &out);
  std::sort(out.begin(), out.end());
  return out;
}

// The build records the program's path as the build machine sees it; under
// Wine the machine's root is drive Z:.
std::string BuiltProgram(const char* build_path) {
  std::string path = build_path;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string AbsolutePath(const std::string& path) {
  char full[MAX_PATH];
  DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return path;
  return full;
}
