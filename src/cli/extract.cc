#include "cli/extract.h"

#include <cstdio>

#include "archive/arcv_archive.h"
#include "archive/counted_archive.h"
#include "cli/messages.h"
#include "codec/buffers.h"
#include "platform/platform.h"

// The headers as far as recognition reads them; 32-bit little-endian words.
//
//   CountedHeader (16 bytes)           ArcvHeader (64 bytes)
//   +0  entry_count  (signed)          +0  magic "ARCV" (0x56435241)
//   +4  archive_size (= file size)     +4  entry_count  (signed)
//   +8  reserved1    (= 0)             +8  archive_size (= file size)
//   +12 reserved2    (= 0)             +12 52 bytes, not interpreted
//
// A CountedArchive has no magic; it is known by its size word and its two
// zero words, and that rule is tested first.
namespace {

constexpr uint32_t kFirstBlockSize = 4096;
constexpr uint32_t kRecognizedBytes = 16;
constexpr uint32_t kArcvMagic = 0x56435241;

constexpr int kCountedEntryCount = 0;
constexpr int kCountedArchiveSize = 4;
constexpr int kCountedReserved1 = 8;
constexpr int kCountedReserved2 = 12;

constexpr int kArcvMagicWord = 0;
constexpr int kArcvEntryCount = 4;
constexpr int kArcvArchiveSize = 8;

}  // namespace

Recognition RecognizeArchive(const uint8_t* first_bytes, uint64_t file_size) {
  Recognition result = {ArchiveLayout::kUnknown, 0};
  // The size words are 32 bits: a file of 4 GiB or more matches no header.
  if (file_size < kRecognizedBytes || file_size > UINT32_MAX) return result;
  uint32_t size = static_cast<uint32_t>(file_size);
  if (LoadLe32(first_bytes + kCountedArchiveSize) == size &&
      LoadLe32(first_bytes + kCountedReserved1) == 0 &&
      LoadLe32(first_bytes + kCountedReserved2) == 0) {
    result.layout = ArchiveLayout::kCounted;
    result.entry_count = static_cast<int32_t>(LoadLe32(first_bytes + kCountedEntryCount));
  } else if (LoadLe32(first_bytes + kArcvMagicWord) == kArcvMagic &&
             LoadLe32(first_bytes + kArcvArchiveSize) == size) {
    result.layout = ArchiveLayout::kArcv;
    result.entry_count = static_cast<int32_t>(LoadLe32(first_bytes + kArcvEntryCount));
  }
  return result;
}

int ExtractArchiveFile(const char* target_file, const char* prefix, bool show_banner) {
  if (show_banner) std::printf(MSG_BANNER);
  if (target_file[0] == '\0') {
    std::printf(MSG_USAGE);
    std::printf(MSG_USAGE_TARGET);
    std::printf(MSG_USAGE_DEST);
    return kExitUsage;
  }

  FILE* file = OpenFileForReading(target_file);
  if (file == nullptr) {
    std::printf(MSG_OPEN_FAILED, target_file);
    return kExitFailure;
  }
  std::printf(MSG_EXTRACT, target_file, prefix);

  int status = kExitSuccess;
  uint64_t file_size = 0;
  if (!MeasureFile(file, &file_size)) {
    std::printf(MSG_READ_FAILED);
    status = kExitFailure;
  } else {
    // Cleared first, so that a short file is judged on its own bytes only.
    uint8_t first_block[kFirstBlockSize] = {};
    size_t got = std::fread(first_block, 1, kFirstBlockSize, file);
    // A header that could not be read whole matches no layout.
    uint64_t judged_size = got >= kRecognizedBytes ? file_size : 0;
    Recognition recognition = RecognizeArchive(first_block, judged_size);
    bool complete = true;
    switch (recognition.layout) {
      case ArchiveLayout::kCounted:
        complete = ExtractCountedArchive(file, recognition.entry_count, prefix);
        break;
      case ArchiveLayout::kArcv:
        complete = ExtractArcvArchive(file, recognition.entry_count, prefix);
        break;
      case ArchiveLayout::kUnknown:
        std::printf(MSG_UNKNOWN_FORMAT, target_file);
        complete = false;
        break;
    }
    if (!complete) status = kExitFailure;
  }
  std::fclose(file);
  return status;
}
