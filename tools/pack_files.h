// The file-system services kobrex-pack needs beyond reading and writing
// files: telling folders from files and listing a folder.
#ifndef KOBREX_TOOLS_PACK_FILES_H_
#define KOBREX_TOOLS_PACK_FILES_H_

#include <cstdint>
#include <string>
#include <vector>

struct FolderEntry {
  std::string name;  // as the system gives it, in its multibyte code page
  bool is_folder;
};

// The system's preferred separator, for joining paths.
extern const char kPackSeparator;

bool IsFolderPath(const std::string& path);

// The entries of a folder, "." and ".." left out; false when it cannot be
// listed.
bool ListFolder(const std::string& path, std::vector<FolderEntry>* entries);

// The last component of `path` (trailing separators ignored).
std::string BaseName(const std::string& path);

// True when a file name from the system holds a byte that kobrex would take
// as a folder separator (a backslash on Linux), so that it cannot be
// unpacked under the same name.
bool HoldsForeignSeparator(const std::string& name);

#endif  // KOBREX_TOOLS_PACK_FILES_H_
