#include "archive/arcv_archive.h"

#include <cstdlib>
#include <cstring>

#include "archive/member.h"
#include "cli/messages.h"
#include "codec/buffers.h"
#include "codec/sszl.h"

// The directory is read from offset 0 as entry_count + 1 records of 64
// bytes: the header record (skipped), then one ArcvEntry per member.
//
//   ArcvEntry, 64 bytes, little-endian:
//   +0  offset  u32   file position of the member's stored bytes
//   +4  size    u32   number of stored bytes
//   +8  name    56    bytes in the multibyte code page, NUL-terminated
//                     within the field (a field without one is taken whole)
namespace {

constexpr uint32_t kRecordSize = 64;
constexpr int kEntryOffset = 0;
constexpr int kEntrySize = 4;
constexpr int kEntryName = 8;
constexpr size_t kNameField = 56;

// Offers the member's stored bytes to the decoder, then writes the decoded
// bytes or the stored ones.
bool WriteArcvMember(const OutputPath& path, const uint8_t* stored, uint32_t size) {
  uint8_t* decoded = nullptr;
  uint32_t decoded_size = DecodeSszl(stored, size, &decoded);
  if (decoded_size == 0) {
    uint32_t declared = SszlDeclaredSize(stored, size);
    if (declared != 0) {
      // A stream whose output buffer cannot be had is refused, never
      // written as stored in its place.
      EndLineWithError(false, MSG_NO_MEMORY, static_cast<int32_t>(declared));
      return false;
    }
  }
  bool complete = false;
  MemberOutput output;
  if (OpenMemberOutput(path, &output)) {
    complete = decoded_size != 0 ? FinishMemberOutput(&output, path, decoded, decoded_size, true)
                                 : FinishMemberOutput(&output, path, stored, size, false);
  }
  std::free(decoded);
  return complete;
}

bool ExtractArcvMember(const ArchiveInput& input, const uint8_t* record, const char* prefix) {
  uint32_t offset = LoadLe32(record + kEntryOffset);
  uint32_t size = LoadLe32(record + kEntrySize);
  OutputPath path;
  JoinOutputPath(prefix, record + kEntryName, kNameField, &path);
  MapArcvMemberName(path.text, path.name_start);
  std::printf(MSG_MEMBER, path.text, static_cast<int32_t>(size));
  if (!CheckOutputPath(path)) return false;
  uint8_t* stored = LoadMemberBytes(input, offset, size);
  if (stored == nullptr) return false;
  bool complete = WriteArcvMember(path, stored, size);
  std::free(stored);
  return complete;
}

}  // namespace

void MapArcvMemberName(char* path, size_t name_start) {
  // Byte by byte: the second byte of a double-byte character counts when it
  // is 0x5F, as the archives' names were made that way.
  char* underscore = std::strrchr(path + name_start, '_');
  if (underscore == nullptr) return;
  *underscore = '.';
  const char* tail = underscore;
  if (std::strcmp(tail, ".prx") == 0) return;
  if (std::strncmp(tail, ".font", 5) == 0) return;
  // A name that ended in an underscore now ends in a full stop: nothing
  // follows it to shift.
  if (underscore[1] == '\0') return;
  underscore[1] = static_cast<char>(static_cast<unsigned char>(underscore[1]) - 3);
}

bool ExtractArcvArchive(FILE* file, int32_t entry_count, const char* prefix) {
  // (entry_count + 1) records, in 32-bit arithmetic as the message shows it.
  uint32_t bytes = (static_cast<uint32_t>(entry_count) + 1) * kRecordSize;
  if (entry_count == 0 || entry_count == -1) return true;  // no member
  if (entry_count < -1) {
    std::printf(MSG_NO_MEMORY, static_cast<int32_t>(bytes));
    return false;
  }
  uint64_t directory_size = (static_cast<uint64_t>(entry_count) + 1) * kRecordSize;
  ArchiveInput input;
  uint8_t* directory =
      LoadDirectory(file, entry_count, directory_size, static_cast<int32_t>(bytes), &input);
  if (directory == nullptr) return false;
  bool complete = true;
  for (int32_t k = 1; k <= entry_count; ++k) {
    if (!ExtractArcvMember(input, directory + uint64_t{kRecordSize} * k, prefix)) complete = false;
  }
  std::free(directory);
  return complete;
}
