#ifndef KOBREX_ARCHIVE_ARCV_ARCHIVE_H_
#define KOBREX_ARCHIVE_ARCV_ARCHIVE_H_

#include <cstdint>
#include <cstdio>

// Unpacks the archive open as `file` under `prefix`. Returns true when
// every member was written completely.
bool ExtractArcvArchive(FILE* file, int32_t entry_count, const char* prefix);

#endif
