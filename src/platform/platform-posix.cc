// The platform services on Linux.
//
// Paths keep the bytes the program built; only the copy handed to the
// operating system is changed: there a byte 0x5C that is not the second byte
// of a double-byte character is a folder separator and becomes '/', so that
// names made on Windows unpack into folders. Double-byte characters are
// those of code page 932 (Shift-JIS), the one choice for every
// double-byte-aware step of the program.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>

#include "platform/platform.h"

const char kNativeSeparator = '/';

namespace {

// The path as the operating system is to see it.
std::string NativePath(const char* path) {
  std::string native(path);
  for (size_t i = 0; i < native.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(native[i]);
    if (IsLeadByte(byte) && i + 1 < native.size()) {
      ++i;  // the trail byte belongs to the character, whatever its value
    } else if (byte == 0x5C) {
      native[i] = '/';
    }
  }
  return native;
}

// The temporary file to remove when the process is interrupted. Written only
// while `pending_valid` is 0, read only by the signal handler.
char pending_path[4096];
volatile sig_atomic_t pending_valid = 0;

void OnInterrupt(int) {
  if (pending_valid) unlink(pending_path);
  _exit(130);
}

}  // namespace

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

uint32_t GetExecutablePath(char* buffer, uint32_t size) {
  if (size == 0) return 0;
  ssize_t length = readlink("/proc/self/exe", buffer, size);
  // A length equal to the buffer means the path may have been cut short.
  if (length <= 0 || static_cast<uint32_t>(length) >= size) return 0;
  buffer[length] = '\0';
  return static_cast<uint32_t>(length);
}

void SetWorkingDirectory(const char* folder) {
  if (chdir(NativePath(folder).c_str()) != 0) {
    // The working directory stays as it was.
  }
}

void CopyString(char* destination, const char* source) {
  std::memmove(destination, source, std::strlen(source) + 1);
}

bool AppendSeparator(char* path) {
  size_t length = std::strlen(path);
  if (length == 0) return false;
  // Find the last character, stepping over double-byte characters.
  size_t last = 0;
  for (size_t i = 0; i < length; ++i) {
    last = i;
    if (IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < length) ++i;
  }
  bool single = last == length - 1;
  if (single && (path[last] == '/' || path[last] == '\\')) return true;
  path[length] = '/';
  path[length + 1] = '\0';
  return true;
}

bool IsExistingFolder(const char* path) {
  struct stat info;
  return stat(NativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateFolder(const char* path) { return mkdir(NativePath(path).c_str(), 0777) == 0; }

bool RemoveFolder(const char* path) { return rmdir(NativePath(path).c_str()) == 0; }

FILE* OpenFileForReading(const char* path) {
  FILE* file = std::fopen(NativePath(path).c_str(), "rb");
  if (file == nullptr) return nullptr;
  // fopen opens folders too; an archive must be a file.
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
    std::fclose(file);
    return nullptr;
  }
  // The archive is read in a few large reads at chosen offsets: straight
  // into the reader's buffers, with no buffer of the stream's own between.
  setvbuf(file, nullptr, _IONBF, 0);
  return file;
}

bool SeekFileTo(FILE* file, uint64_t offset) {
  if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool MeasureFile(FILE* file, uint64_t* size) {
  if (fseeko(file, 0, SEEK_END) != 0) return false;
  off_t end = ftello(file);
  if (end < 0) return false;
  *size = static_cast<uint64_t>(end);
  return fseeko(file, 0, SEEK_SET) == 0;
}

FILE* CreateNewFile(const char* path) {
  int fd = open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    close(fd);
    return nullptr;
  }
  // A member is written with one write of its whole buffer.
  setvbuf(file, nullptr, _IONBF, 0);
  return file;
}

bool MoveFileOver(const char* from, const char* to) {
  return rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

bool RemoveFile(const char* path) { return unlink(NativePath(path).c_str()) == 0; }

uint32_t ProcessNumber() {
  static const uint32_t number = static_cast<uint32_t>(getpid());
  return number;
}

void InstallInterruptHandler() {
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

void SetPendingFile(const char* path) {
  pending_valid = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);  // flag before path
  if (path == nullptr) return;
  std::string native = NativePath(path);
  if (native.size() >= sizeof pending_path) return;
  std::memcpy(pending_path, native.c_str(), native.size() + 1);
  std::atomic_signal_fence(std::memory_order_seq_cst);  // path before flag
  pending_valid = 1;
}
