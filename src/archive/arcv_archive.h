// The ARCV archive reader.
#ifndef KOBREX_ARCHIVE_ARCV_ARCHIVE_H_
#define KOBREX_ARCHIVE_ARCV_ARCHIVE_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Unpacks the ArcvArchive open as `file`, whose header holds `entry_count`,
// writing every member under `prefix` (empty, or ending in a separator):
// SSZL streams decoded, everything else as stored, each under its name as
// MapArcvMemberName rewrites it. Prints a line per member. Returns true when
// the directory was sound and every member was written completely.
bool ExtractArcvArchive(FILE* file, int32_t entry_count, const char* prefix);

// Rewrites the member-name part of `path` (from `name_start` to its NUL) in
// place: the last underscore becomes a full stop, and the byte after it is
// decreased by 3 unless the new tail is exactly ".prx" or begins with
// ".font". The bytes before `name_start` are never read or changed.
void MapArcvMemberName(char* path, size_t name_start);

#endif  // KOBREX_ARCHIVE_ARCV_ARCHIVE_H_
