// The console texts as a user sees them, written out here byte for byte
// (Shift-JIS for the Japanese parts, decoded in the comments) so that the
// tests do not take them from the program's own catalogue. Lines end in
// "\n"; Lines() of test_support.h makes them the platform's line ends.
#ifndef KOBREX_TESTS_EXPECTED_TEXTS_H_
#define KOBREX_TESTS_EXPECTED_TEXTS_H_

#include <cstdint>
#include <string>

inline const std::string kBanner = "kobrex ver.0.1\n";

// "Usage : kobrex <target_file> [dest_dir]\n"
// "\ttarget_file     対象ファイル.\n"
// "\tdest_dir        出力先.(省略可)\n"
inline const std::string kUsage =
    "Usage : kobrex <target_file> [dest_dir]\n"
    "\ttarget_file     \x91\xce\x8f\xdb\x83\x74\x83\x40\x83\x43\x83\x8b.\n"
    "\tdest_dir        \x8f\x6f\x97\xcd\x90\xe6.(\x8f\xc8\x97\xaa\x89\xc2)\n";

// "Error : ファイルが開けません %s.\n"
inline std::string OpenFailed(const std::string& path) {
  return "Error : "
         "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1 " +
         path + ".\n";
}

inline std::string Extract(const std::string& target, const std::string& prefix) {
  return "Extract " + target + " to " + prefix + ".\n";
}

// "Error : 未知の形式です. (%s)\n"
inline std::string UnknownFormat(const std::string& path) {
  return "Error : \x96\xa2\x92\x6d\x82\xcc\x8c\x60\x8e\xae\x82\xc5\x82\xb7. (" + path + ")\n";
}

// "Error : メモリの確保に失敗. %d.\n"
inline std::string NoMemory(int64_t size) {
  return "Error : \x83\x81\x83\x82\x83\x8a\x82\xcc\x8a\x6d\x95\xdb\x82\xc9\x8e\xb8\x94\x73. " +
         std::to_string(static_cast<int32_t>(size)) + ".\n";
}

// "Error : 出力先が長すぎます %s.\n" (the destination is too long)
inline std::string DestTooLong(const std::string& dest) {
  return "Error : \x8f\x6f\x97\xcd\x90\xe6\x82\xaa\x92\xb7\x82\xb7\x82\xac\x82\xdc\x82\xb7 " +
         dest + ".\n";
}

// "Error : エントリ数が不正です. %d.\n" (the entry count does not fit the archive)
inline std::string BadEntryCount(int32_t count) {
  return "Error : "
         "\x83\x47\x83\x93\x83\x67\x83\x8a\x90\x94\x82\xaa\x95\x73\x90\xb3\x82\xc5\x82\xb7. " +
         std::to_string(count) + ".\n";
}

// "Error : 書庫から読めません.\n" (cannot read from the archive)
inline const std::string kReadFailed =
    "Error : \x8f\x91\x8c\xc9\x82\xa9\x82\xe7\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1.\n";

// "Error : 不正なファイル名です.\n" (the name is not allowed)
inline const std::string kBadName =
    "Error : \x95\x73\x90\xb3\x82\xc8\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xc5\x82\xb7.\n";

// "Error : パスが長すぎます.\n" (the path is too long)
inline const std::string kPathTooLong =
    "Error : \x83\x70\x83\x58\x82\xaa\x92\xb7\x82\xb7\x82\xac\x82\xdc\x82\xb7.\n";

// "Error : 書き込みに失敗 %s.\n" (writing failed)
inline std::string WriteFailed(const std::string& path) {
  return "Error : \x8f\x91\x82\xab\x8d\x9e\x82\xdd\x82\xc9\x8e\xb8\x94\x73 " + path + ".\n";
}

// The start of a member's line, and its two ends.
inline std::string Member(const std::string& path, int64_t stored_size) {
  return path + ". " + std::to_string(static_cast<int32_t>(stored_size)) + " bytes";
}
inline std::string DecodedOk(int64_t decoded_size) {
  return " -> " + std::to_string(static_cast<int32_t>(decoded_size)) + " bytes.ok\n";
}
inline const std::string kStoredOk = ".ok\n";

#endif  // KOBREX_TESTS_EXPECTED_TEXTS_H_
