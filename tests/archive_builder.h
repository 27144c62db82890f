// Archives and codec streams built byte by byte for the tests, with every
// field under the test's control (offsets, sizes and names that no honest
// packer would write included).
#ifndef KOBREX_TESTS_ARCHIVE_BUILDER_H_
#define KOBREX_TESTS_ARCHIVE_BUILDER_H_

#include <cstdint>
#include <string>
#include <vector>

std::string Le32(uint32_t value);
std::string Le16(uint16_t value);
// Bytes from hex pairs; blanks between them are ignored ("57 70 31 36").
std::string Hex(const std::string& pairs);

// A directory entry as it stands in the archive.
struct RawEntry {
  uint32_t offset;
  uint32_t size;
  std::string name;  // the name field's bytes; zero-filled to the field
};

// An ArcvArchive: header, the entries, then `data`. `entry_count` is the
// header's word (normally entries.size()); archive_size is set to the
// result's size.
std::string ArcvArchive(int32_t entry_count, const std::vector<RawEntry>& entries,
                        const std::string& data);

// A CountedArchive likewise, with each entry's unpacked_size.
struct RawCountedEntry {
  std::string name;  // the 24-byte field's bytes; zero-filled
  uint32_t offset;
  uint32_t stored_size;
  uint32_t unpacked_size;
};
std::string CountedArchive(int32_t entry_count, const std::vector<RawCountedEntry>& entries,
                           const std::string& data);

// Members by name and stored bytes, laid out one after another behind the
// directory.
struct Member {
  std::string name;
  std::string stored;
  uint32_t unpacked_size = 0;  // the counted layout's field
};
std::string ArcvArchiveOf(const std::vector<Member>& members);
std::string CountedArchiveOf(const std::vector<Member>& members);

// An SSZL stream: the 16-byte header and the coded bytes.
std::string SszlStream(uint32_t packed_size, uint32_t unpacked_size, const std::string& coded);

#endif  // KOBREX_TESTS_ARCHIVE_BUILDER_H_
