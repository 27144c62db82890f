// The counted archive reader.
#ifndef KOBREX_ARCHIVE_COUNTED_ARCHIVE_H_
#define KOBREX_ARCHIVE_COUNTED_ARCHIVE_H_

#include <cstdint>
#include <cstdio>

// Unpacks the CountedArchive open as `file`, whose header holds
// `entry_count`, writing every member under its stored name below `prefix`
// (empty, or ending in a separator): Wp16 streams decoded into exactly the
// entry's unpacked_size bytes, everything else as stored. Prints a line per
// member. Returns true when the directory was sound and every member was
// written completely.
bool ExtractCountedArchive(FILE* file, int32_t entry_count, const char* prefix);

#endif  // KOBREX_ARCHIVE_COUNTED_ARCHIVE_H_
