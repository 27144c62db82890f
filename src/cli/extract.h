// Recognition of the archive layout and dispatch to its reader.
#ifndef KOBREX_CLI_EXTRACT_H_
#define KOBREX_CLI_EXTRACT_H_

#include <cstdint>

// Exit statuses of a run. An interrupted run ends with 130.
constexpr int kExitSuccess = 0;  // extracted; every member written completely
constexpr int kExitFailure = 1;  // an error was reported
constexpr int kExitUsage = 2;    // no target was given; the usage was shown

enum class ArchiveLayout { kUnknown, kCounted, kArcv };

struct Recognition {
  ArchiveLayout layout;
  int32_t entry_count;  // the header's entry_count word, for the reader
};

// Decides the layout from the first 16 bytes of a file of `file_size` bytes.
// Files shorter than 16 bytes or of 4 GiB or more are of no layout.
Recognition RecognizeArchive(const uint8_t* first_bytes, uint64_t file_size);

// Prints the banner (when `show_banner` is set) and the usage when
// `target_file` is empty; otherwise opens the target, announces the
// extraction and hands the archive to its reader. `prefix` is the
// destination prefix, empty or ending in a separator. Returns the exit status.
int ExtractArchiveFile(const char* target_file, const char* prefix, bool show_banner);

#endif  // KOBREX_CLI_EXTRACT_H_
