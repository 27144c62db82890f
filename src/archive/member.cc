#include "archive/member.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "cli/messages.h"
#include "codec/buffers.h"
#include "platform/path_bytes.h"

namespace {

// Temporary files are named "~kbXXXX.tmp" beside the member's path; a name
// that exists already is never touched, another number is tried instead.
constexpr int kTempNameAttempts = 64;

// True when `component` (its `length` bytes) is made only of dots and blanks
// and holds two dots or more: ".." itself, and the spellings Windows reads
// as it once trailing dots and blanks are dropped.
bool IsParentReference(const char* component, size_t length) {
  size_t dots = 0;
  for (size_t k = 0; k < length; ++k) {
    if (component[k] == '.') {
      ++dots;
    } else if (component[k] != ' ') {
      return false;
    }
  }
  return dots >= 2;
}

// The next separator at or after `from` (backslash or slash, double-byte
// aware); null when there is none.
const char* NextSeparator(const char* from) {
  const char* backslash = FindCharacter(from, '\\');
  const char* slash = std::strchr(from, '/');  // 0x2F is never a trail byte
  if (backslash == nullptr) return slash;
  if (slash == nullptr) return backslash;
  return slash < backslash ? slash : backslash;
}

char* NextSeparator(char* from) {
  return const_cast<char*>(NextSeparator(static_cast<const char*>(from)));
}

}  // namespace

bool IsConfinedMemberName(const char* name) {
  if (name[0] == '\0' || IsSeparatorByte(name[0])) return false;
  if (FindCharacter(name, ':') != nullptr) return false;  // drives and streams
  const char* component = name;
  for (;;) {
    const char* end = NextSeparator(component);
    size_t length = end == nullptr ? std::strlen(component) : static_cast<size_t>(end - component);
    if (IsParentReference(component, length)) return false;
    if (end == nullptr) return length > 0;  // a name ending in a separator names no file
    component = end + 1;
  }
}

bool OpenArchiveInput(FILE* file, ArchiveInput* input) {
  input->file = file;
  input->size = 0;
  return MeasureFile(file, &input->size);
}

uint8_t* LoadDirectory(FILE* file, int32_t entry_count, uint64_t directory_size, int32_t size_shown,
                       ArchiveInput* input) {
  if (!OpenArchiveInput(file, input)) {
    std::printf(MSG_READ_FAILED);
    return nullptr;
  }
  if (directory_size > input->size) {
    std::printf(MSG_BAD_ENTRY_COUNT, entry_count);
    return nullptr;
  }
  // Below the archive's size, which is below 4 GiB.
  uint8_t* directory = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(directory_size)));
  if (directory == nullptr) {
    std::printf(MSG_NO_MEMORY, size_shown);
    return nullptr;
  }
  if (!ReadArchiveBytes(*input, 0, directory, static_cast<size_t>(directory_size))) {
    std::free(directory);
    std::printf(MSG_READ_FAILED);
    return nullptr;
  }
  return directory;
}

bool ReadArchiveBytes(const ArchiveInput& input, uint64_t offset, void* buffer, size_t size) {
  if (!SeekFileTo(input.file, offset)) return false;
  return std::fread(buffer, 1, size, input.file) == size;
}

void JoinOutputPath(const char* prefix, const uint8_t* name_field, size_t field_size,
                    OutputPath* path) {
  size_t prefix_length = std::strlen(prefix);
  size_t name_length = 0;
  while (name_length < field_size && name_field[name_length] != 0) ++name_length;
  // The prefix is below kMaxPath and the field at most 63 bytes: it fits.
  std::memcpy(path->text, prefix, prefix_length);
  std::memcpy(path->text + prefix_length, name_field, name_length);
  path->text[prefix_length + name_length] = '\0';
  path->name_start = prefix_length;
}

void EndLineWithError(bool size_part_closed, const char* format, ...) {
  if (!size_part_closed) std::printf(MSG_STORED);
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
}

bool CheckOutputPath(const OutputPath& path) {
  if (std::strlen(path.text) >= kMaxPath) {
    EndLineWithError(false, MSG_PATH_TOO_LONG);
    return false;
  }
  if (!IsConfinedMemberName(path.text + path.name_start)) {
    EndLineWithError(false, MSG_BAD_NAME);
    return false;
  }
  return true;
}

uint8_t* LoadMemberBytes(const ArchiveInput& input, uint64_t offset, uint32_t size) {
  if (offset > input.size || size > input.size - offset) {
    EndLineWithError(false, MSG_READ_FAILED);
    return nullptr;
  }
  uint8_t* stored = AllocateSlackBuffer(size);
  if (stored == nullptr) {
    EndLineWithError(false, MSG_NO_MEMORY, static_cast<int32_t>(size));
    return nullptr;
  }
  if (!ReadArchiveBytes(input, offset, stored, size)) {
    std::free(stored);
    EndLineWithError(false, MSG_READ_FAILED);
    return nullptr;
  }
  return stored;
}

bool OpenMemberOutput(const OutputPath& path, MemberOutput* output) {
  output->file = nullptr;
  output->temp_path[0] = '\0';
  output->folders_made_from = 0;

  // The folders of the name's own folder parts, below the prefix.
  char work[sizeof path.text];
  std::memcpy(work, path.text, sizeof work);
  char* folder_end = NextSeparator(work + path.name_start);
  while (folder_end != nullptr) {
    char separator = *folder_end;
    *folder_end = '\0';
    if (!IsExistingFolder(work) && CreateFolder(work) && output->folders_made_from == 0) {
      output->folders_made_from = static_cast<size_t>(folder_end - work);
    }
    *folder_end = separator;
    folder_end = NextSeparator(folder_end + 1);
  }

  // The temporary file, in the folder of the member's path.
  char* last_separator = nullptr;
  for (char* s = NextSeparator(work); s != nullptr; s = NextSeparator(s + 1)) last_separator = s;
  size_t folder_length =
      last_separator == nullptr ? 0 : static_cast<size_t>(last_separator - work) + 1;
  uint32_t number = ProcessNumber();
  for (int attempt = 0; attempt < kTempNameAttempts && output->file == nullptr; ++attempt) {
    char name[16];
    std::snprintf(name, sizeof name, "~kb%04x.tmp", (number + attempt) & 0xFFFFu);
    if (folder_length + std::strlen(name) >= kMaxPath) break;
    std::memcpy(output->temp_path, work, folder_length);
    std::strcpy(output->temp_path + folder_length, name);
    output->file = CreateNewFile(output->temp_path);
  }
  if (output->file == nullptr) {
    output->temp_path[0] = '\0';
    DiscardMemberOutput(output, path);
    EndLineWithError(false, MSG_OPEN_FAILED, path.text);
    return false;
  }
  SetPendingFile(output->temp_path);
  return true;
}

bool FinishMemberOutput(MemberOutput* output, const OutputPath& path, const uint8_t* data,
                        uint32_t size, bool decoded) {
  if (decoded) {
    std::printf(MSG_DECODED, static_cast<int32_t>(size));
  } else {
    std::printf(MSG_STORED);
  }
  bool written = std::fwrite(data, 1, size, output->file) == size;
  bool closed = std::fclose(output->file) == 0;
  output->file = nullptr;
  if (!written || !closed || !MoveFileOver(output->temp_path, path.text)) {
    DiscardMemberOutput(output, path);
    EndLineWithError(true, MSG_WRITE_FAILED, path.text);
    return false;
  }
  SetPendingFile(nullptr);
  std::printf(MSG_OK);
  return true;
}

void DiscardMemberOutput(MemberOutput* output, const OutputPath& path) {
  if (output->file != nullptr) {
    std::fclose(output->file);
    output->file = nullptr;
  }
  if (output->temp_path[0] != '\0') {
    RemoveFile(output->temp_path);
    output->temp_path[0] = '\0';
  }
  SetPendingFile(nullptr);
  // The folders made for this member, deepest first; any that holds
  // something else stays.
  if (output->folders_made_from != 0) {
    char work[sizeof path.text];
    std::memcpy(work, path.text, sizeof work);
    char* separators[sizeof work];
    size_t count = 0;
    for (char* s = work + output->folders_made_from; s != nullptr; s = NextSeparator(s + 1)) {
      separators[count++] = s;
    }
    while (count > 0) {
      *separators[--count] = '\0';
      RemoveFolder(work);
    }
    output->folders_made_from = 0;
  }
}
