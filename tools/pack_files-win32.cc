#include <windows.h>

#include "pack_files.h"
#include "platform/path_bytes.h"

const char kPackSeparator = '\\';

bool IsFolderPath(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ListFolder(const std::string& path, std::vector<FolderEntry>* entries) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    entries->push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return true;
}

std::string BaseName(const std::string& path) {
  // The last component after a backslash or slash that is a separator.
  std::string trimmed = path;
  for (;;) {
    char* last = FindLastCharacter(&trimmed[0], '\\');
    size_t cut = last == nullptr ? std::string::npos : static_cast<size_t>(last - trimmed.c_str());
    size_t slash = trimmed.find_last_of('/');
    if (slash != std::string::npos && (cut == std::string::npos || slash > cut)) cut = slash;
    if (cut == std::string::npos) return trimmed;
    if (cut + 1 < trimmed.size()) return trimmed.substr(cut + 1);
    trimmed.resize(cut);  // a trailing separator
    if (trimmed.empty()) return "";
  }
}

bool HoldsForeignSeparator(const std::string&) { return false; }
