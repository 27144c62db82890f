#include "fake_folders.h"

#include <cstring>

#include "platform/path_bytes.h"
#include "platform/platform.h"

const char kNativeSeparator = '\\';

FakeFolders& Fake() {
  static FakeFolders fake;
  return fake;
}

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

uint32_t GetExecutablePath(char*, uint32_t) { return 0; }
void SetWorkingDirectory(const char*) {}
void CopyString(char* destination, const char* source) {
  std::memmove(destination, source, std::strlen(source) + 1);
}

bool AppendSeparator(char* path) {
  size_t length = std::strlen(path);
  if (length == 0) return false;
  size_t last = 0;
  for (size_t i = 0; i < length; ++i) {
    last = i;
    if (IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < length) ++i;
  }
  if (last == length - 1 && path[last] == '\\') return true;
  path[length] = '\\';
  path[length + 1] = '\0';
  return true;
}

bool IsExistingFolder(const char* path) {
  Fake().calls.push_back(std::string("query ") + path);
  return Fake().folders.count(path) > 0;
}

bool CreateFolder(const char* path) {
  Fake().calls.push_back(std::string("create ") + path);
  std::string name = path;
  if (name.empty() || Fake().folders.count(name) || Fake().files.count(name)) return false;
  // The parent must exist, unless the folder lies directly in a root.
  const char* last = FindLastCharacter(&name[0], '\\');
  size_t cut = last == nullptr ? std::string::npos : static_cast<size_t>(last - name.c_str());
  if (cut != std::string::npos && cut > 0 && name.substr(0, cut) != "C:" &&
      !Fake().folders.count(name.substr(0, cut))) {
    return false;
  }
  Fake().folders.insert(name);
  return true;
}

bool RemoveFolder(const char*) { return false; }
FILE* OpenFileForReading(const char*) { return nullptr; }
bool SeekFileTo(FILE*, uint64_t) { return false; }
bool MeasureFile(FILE*, uint64_t*) { return false; }
FILE* CreateNewFile(const char*) { return nullptr; }
bool MoveFileOver(const char*, const char*) { return false; }
bool RemoveFile(const char*) { return false; }
uint32_t ProcessNumber() { return 1; }
void InstallInterruptHandler() {}
void SetPendingFile(const char*) {}
