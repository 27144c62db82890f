#include "cli/startup.h"

#include <cctype>
#include <cstring>

#include "platform/path_bytes.h"
#include "platform/platform.h"

void EnterProgramDirectory() {
  char path[kMaxPath];
  if (GetExecutablePath(path, kMaxPath) == 0) return;
  // Double-byte aware: a 0x5C that ends a double-byte character of the
  // executable's own name is no separator.
  char* last = FindLastCharacter(path, kNativeSeparator);
  if (last == nullptr) return;
  last[1] = '\0';  // the folder keeps its trailing separator
  SetWorkingDirectory(path);
}

bool MakeDestinationPrefix(const char* dest_dir, char* prefix) {
  prefix[0] = '\0';
  size_t length = std::strlen(dest_dir);
  if (length == 0) return true;  // an empty dest_dir is the same as none
  if (length >= kMaxPath) return false;
  // Room for a separator beyond kMaxPath, so that the append can never
  // overrun; a result that does not fit kMaxPath is refused afterwards.
  char work[kMaxPath + 1];
  CopyString(work, dest_dir);
  if (!AppendSeparator(work) || std::strlen(work) >= kMaxPath) return false;
  CopyString(prefix, work);
  return true;
}

namespace {

// How many leading bytes of `path` name a root and hold no folder step: the
// two backslashes that begin a network path, the drive of a drive root
// ("C:" before its backslash), or the backslash of the current drive's root.
size_t RootLength(const char* path) {
  if (path[0] == '\\' && path[1] == '\\') return 2;
  if (std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\') {
    return 3;
  }
  if (path[0] == '\\') return 1;
  return 0;
}

}  // namespace

int CreateDirectoryTree(const char* path) {
  // One byte beyond kMaxPath, so that appending the separator cannot overrun.
  char work[kMaxPath + 1];
  if (std::strlen(path) >= kMaxPath) return 0;
  CopyString(work, path);
  if (work[0] == '\0') return 0;
  AppendSeparator(work);

  // Mark the steps: every backslash after the root becomes a slash. Slashes
  // typed in the path are steps already, wherever they stand.
  char* mark = work + RootLength(work);
  while ((mark = FindCharacter(mark, '\\')) != nullptr) *mark = '/';

  // A network path's first step is its server together with its share: the
  // server alone is no folder that could be made.
  if (work[0] == '\\' && work[1] == '\\') {
    char* after_server = FindCharacter(work, '/');
    if (after_server != nullptr) *after_server = '\\';
  }

  // Walk the steps from the start, each one the path up to a marked
  // separator. An empty step stands before a leading slash: the root, which
  // exists.
  char* step_end;
  while ((step_end = FindCharacter(work, '/')) != nullptr) {
    *step_end = '\0';
    bool exists = work[0] == '\0' || IsExistingFolder(work) || CreateFolder(work);
    *step_end = '\\';
    if (!exists) return 0;
  }
  return 1;
}
