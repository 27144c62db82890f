#include "archive/counted_archive.h"

#include <cstdlib>

#include "archive/member.h"
#include "cli/messages.h"
#include "codec/buffers.h"
#include "codec/wp16.h"

// The directory is read from offset 0 as the 16-byte header followed by
// entry_count entries:
//
//   CountedEntry, 36 bytes, little-endian:
//   +0  name           24   bytes in the multibyte code page, NUL-terminated
//                           within the field (a field without one is taken
//                           whole)
//   +24 offset         u32  file position of the member's stored bytes
//   +28 stored_size    u32  number of stored bytes
//   +32 unpacked_size  u32  number of bytes after Wp16 decoding
namespace {

constexpr uint32_t kHeaderSize = 16;
constexpr uint32_t kEntrySize = 36;
constexpr int kEntryName = 0;
constexpr size_t kNameField = 24;
constexpr int kEntryOffset = 24;
constexpr int kEntryStoredSize = 28;
constexpr int kEntryUnpackedSize = 32;

// The decoder compares byte offsets as 32-bit values and tests sources
// before the start by sign: its outputs stay below 2^31 bytes.
constexpr uint32_t kMaxUnpackedSize = 0x7FFFFFFF;

// Writes a member whose stored bytes are a Wp16 stream: the output is
// created before decoding, then the `unpacked_size` decoded bytes written.
bool WriteDecodedMember(const OutputPath& path, const uint8_t* stored, uint32_t stored_size,
                        uint32_t unpacked_size) {
  uint8_t* decoded =
      unpacked_size <= kMaxUnpackedSize ? AllocateSlackBuffer(unpacked_size) : nullptr;
  if (decoded == nullptr) {
    EndLineWithError(false, MSG_NO_MEMORY, static_cast<int32_t>(unpacked_size));
    return false;
  }
  bool complete = false;
  MemberOutput output;
  if (OpenMemberOutput(path, &output)) {
    DecodeWp16(stored, stored_size, decoded, unpacked_size);
    complete = FinishMemberOutput(&output, path, decoded, unpacked_size, true);
  }
  std::free(decoded);
  return complete;
}

bool ExtractCountedMember(const ArchiveInput& input, const uint8_t* entry, const char* prefix) {
  uint32_t offset = LoadLe32(entry + kEntryOffset);
  uint32_t stored_size = LoadLe32(entry + kEntryStoredSize);
  uint32_t unpacked_size = LoadLe32(entry + kEntryUnpackedSize);
  OutputPath path;
  JoinOutputPath(prefix, entry + kEntryName, kNameField, &path);
  std::printf(MSG_MEMBER, path.text, static_cast<int32_t>(stored_size));
  if (!CheckOutputPath(path)) return false;
  uint8_t* stored = LoadMemberBytes(input, offset, stored_size);
  if (stored == nullptr) return false;
  bool complete;
  // The decoded buffer is taken only for a Wp16 stream, so that a stored
  // member unpacks whatever its unpacked_size says.
  if (IsWp16Stream(stored, stored_size)) {
    complete = WriteDecodedMember(path, stored, stored_size, unpacked_size);
  } else {
    MemberOutput output;
    complete = OpenMemberOutput(path, &output) &&
               FinishMemberOutput(&output, path, stored, stored_size, false);
  }
  std::free(stored);
  return complete;
}

}  // namespace

bool ExtractCountedArchive(FILE* file, int32_t entry_count, const char* prefix) {
  if (entry_count == 0) return true;
  if (entry_count < 0) {
    // entry_count * 36 + 16, negative: printed as the size it would be.
    std::printf(MSG_NO_MEMORY, static_cast<int32_t>(
                                   static_cast<uint32_t>(entry_count) * kEntrySize + kHeaderSize));
    return false;
  }
  uint64_t directory_size = kHeaderSize + uint64_t{kEntrySize} * static_cast<uint32_t>(entry_count);
  ArchiveInput input;
  uint8_t* directory = LoadDirectory(file, entry_count, directory_size,
                                     static_cast<int32_t>(directory_size), &input);
  if (directory == nullptr) return false;
  bool complete = true;
  for (int32_t k = 0; k < entry_count; ++k) {
    if (!ExtractCountedMember(input, directory + kHeaderSize + uint64_t{kEntrySize} * k, prefix)) {
      complete = false;
    }
  }
  std::free(directory);
  return complete;
}
