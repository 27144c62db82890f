// The platform services on Windows: the Win32 services themselves, with the
// ANSI code page deciding which bytes lead double-byte characters.
#include <fcntl.h>
#include <io.h>
#include <shlwapi.h>
#include <windows.h>

#include <cstring>

#include "platform/platform.h"

const char kNativeSeparator = '\\';

namespace {

// The temporary file to remove when the console asks the process to end.
// The control handler runs on a thread of its own, so the path is guarded
// by a lock that exists before main() runs.
struct PendingLock {
  PendingLock() { InitializeCriticalSection(&section); }
  CRITICAL_SECTION section;
} pending_lock;
char pending_path[kMaxPath];
bool pending_valid = false;

BOOL WINAPI OnConsoleControl(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      break;
    default:
      return FALSE;
  }
  EnterCriticalSection(&pending_lock.section);
  // The file is open with FILE_SHARE_DELETE: it is deleted once the handle
  // closes, which ending the process does.
  if (pending_valid) DeleteFileA(pending_path);
  // TerminateProcess, not ExitProcess: the main thread may hold the stream
  // locks that an orderly exit would wait for.
  TerminateProcess(GetCurrentProcess(), 130);
  return TRUE;
}

}  // namespace

bool IsLeadByte(unsigned char value) { return IsDBCSLeadByte(value) != 0; }

uint32_t GetExecutablePath(char* buffer, uint32_t size) {
  DWORD length = GetModuleFileNameA(nullptr, buffer, size);
  // A result equal to the size means the path was cut short.
  if (length == 0 || length >= size) return 0;
  return length;
}

void SetWorkingDirectory(const char* folder) { SetCurrentDirectoryA(folder); }

void CopyString(char* destination, const char* source) { lstrcpyA(destination, source); }

bool AppendSeparator(char* path) { return PathAddBackslashA(path) != nullptr; }

bool IsExistingFolder(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateFolder(const char* path) { return CreateDirectoryA(path, nullptr) != 0; }

bool RemoveFolder(const char* path) { return RemoveDirectoryA(path) != 0; }

FILE* OpenFileForReading(const char* path) {
  if (IsExistingFolder(path)) return nullptr;
  FILE* file = std::fopen(path, "rb");
  // The archive is read in a few large reads at chosen offsets: straight
  // into the reader's buffers, with no buffer of the stream's own between.
  if (file != nullptr) setvbuf(file, nullptr, _IONBF, 0);
  return file;
}

bool SeekFileTo(FILE* file, uint64_t offset) {
  if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
}

bool MeasureFile(FILE* file, uint64_t* size) {
  if (_fseeki64(file, 0, SEEK_END) != 0) return false;
  __int64 end = _ftelli64(file);
  if (end < 0) return false;
  *size = static_cast<uint64_t>(end);
  return _fseeki64(file, 0, SEEK_SET) == 0;
}

FILE* CreateNewFile(const char* path) {
  HANDLE handle = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  FILE* file = _fdopen(fd, "wb");
  if (file == nullptr) {
    _close(fd);
    return nullptr;
  }
  // A member is written with one write of its whole buffer.
  setvbuf(file, nullptr, _IONBF, 0);
  return file;
}

bool MoveFileOver(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}

bool RemoveFile(const char* path) { return DeleteFileA(path) != 0; }

uint32_t ProcessNumber() { return GetCurrentProcessId(); }

void InstallInterruptHandler() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }

void SetPendingFile(const char* path) {
  EnterCriticalSection(&pending_lock.section);
  pending_valid = path != nullptr && std::strlen(path) < kMaxPath;
  if (pending_valid) lstrcpyA(pending_path, path);
  LeaveCriticalSection(&pending_lock.section);
}
