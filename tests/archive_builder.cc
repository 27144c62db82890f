#include "archive_builder.h"

#include <cstdlib>

std::string Le32(uint32_t value) {
  std::string bytes(4, '\0');
  for (int k = 0; k < 4; ++k) bytes[k] = static_cast<char>(value >> (8 * k));
  return bytes;
}

std::string Le16(uint16_t value) {
  return std::string{static_cast<char>(value), static_cast<char>(value >> 8)};
}

std::string Hex(const std::string& pairs) {
  std::string bytes;
  std::string digits;
  for (char c : pairs) {
    if (c == ' ') continue;
    digits += c;
    if (digits.size() == 2) {
      bytes += static_cast<char>(std::strtoul(digits.c_str(), nullptr, 16));
      digits.clear();
    }
  }
  return bytes;
}

namespace {

std::string Field(const std::string& bytes, size_t size) {
  std::string field = bytes.substr(0, size);
  field.resize(size, '\0');
  return field;
}

}  // namespace

std::string ArcvArchive(int32_t entry_count, const std::vector<RawEntry>& entries,
                        const std::string& data) {
  std::string directory;
  for (const RawEntry& entry : entries) {
    directory += Le32(entry.offset) + Le32(entry.size) + Field(entry.name, 56);
  }
  uint32_t total = static_cast<uint32_t>(64 + directory.size() + data.size());
  std::string header = "ARCV" + Le32(static_cast<uint32_t>(entry_count)) + Le32(total);
  return Field(header, 64) + directory + data;
}

std::string CountedArchive(int32_t entry_count, const std::vector<RawCountedEntry>& entries,
                           const std::string& data) {
  std::string directory;
  for (const RawCountedEntry& entry : entries) {
    directory += Field(entry.name, 24) + Le32(entry.offset) + Le32(entry.stored_size) +
                 Le32(entry.unpacked_size);
  }
  uint32_t total = static_cast<uint32_t>(16 + directory.size() + data.size());
  return Le32(static_cast<uint32_t>(entry_count)) + Le32(total) + Le32(0) + Le32(0) + directory +
         data;
}

std::string ArcvArchiveOf(const std::vector<Member>& members) {
  std::vector<RawEntry> entries;
  std::string data;
  uint32_t offset = static_cast<uint32_t>(64 + 64 * members.size());
  for (const Member& member : members) {
    entries.push_back({offset + static_cast<uint32_t>(data.size()),
                       static_cast<uint32_t>(member.stored.size()), member.name});
    data += member.stored;
  }
  return ArcvArchive(static_cast<int32_t>(members.size()), entries, data);
}

std::string CountedArchiveOf(const std::vector<Member>& members) {
  std::vector<RawCountedEntry> entries;
  std::string data;
  uint32_t offset = static_cast<uint32_t>(16 + 36 * members.size());
  for (const Member& member : members) {
    entries.push_back({member.name, offset + static_cast<uint32_t>(data.size()),
                       static_cast<uint32_t>(member.stored.size()), member.unpacked_size});
    data += member.stored;
  }
  return CountedArchive(static_cast<int32_t>(members.size()), entries, data);
}

std::string SszlStream(uint32_t packed_size, uint32_t unpacked_size, const std::string& coded) {
  return "SSZL" + Le32(0) + Le32(packed_size) + Le32(unpacked_size) + coded;
}
