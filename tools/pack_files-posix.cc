#include <dirent.h>
#include <sys/stat.h>

#include "pack_files.h"
#include "platform/path_bytes.h"

const char kPackSeparator = '/';

bool IsFolderPath(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ListFolder(const std::string& path, std::vector<FolderEntry>* entries) {
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return false;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    entries->push_back({name, IsFolderPath(path + "/" + name)});
  }
  closedir(dir);
  return true;
}

std::string BaseName(const std::string& path) {
  size_t end = path.find_last_not_of('/');
  if (end == std::string::npos) return "";
  size_t start = path.find_last_of('/', end);
  return path.substr(start == std::string::npos ? 0 : start + 1,
                     end - (start == std::string::npos ? 0 : start + 1) + 1);
}

bool HoldsForeignSeparator(const std::string& name) {
  return FindCharacter(name.c_str(), '\\') != nullptr;
}
