// The parts of the test helpers that need no system service.
#include "test_support.h"

#include <cstdio>

std::string Join(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  return a + kSep + b;
}

std::string Lines(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\n') {
      result += kNewline;
    } else {
      result += c;
    }
  }
  return result;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

std::string ReadBytes(const std::string& path, const std::string& missing) {
  if (!IsFile(path)) return missing;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return missing;
  std::string bytes;
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  std::fclose(file);
  return bytes;
}

bool BuiltWithAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
  return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return true;
#else
  return false;
#endif
#else
  return false;
#endif
}
