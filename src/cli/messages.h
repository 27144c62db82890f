// The console texts of kobrex.
//
// Every line the program prints is made of these texts, each passed as the
// format of printf with its arguments (an argument is never used as a
// format). The Japanese parts are Shift-JIS (code page 932) bytes and are
// emitted as they are, whatever the console's code page; a newline leaves as
// the platform's line end, since standard output is a text stream.
//
// A member's line is MSG_MEMBER, then MSG_DECODED when the member was decoded
// or MSG_STORED otherwise (also when it failed before its bytes were
// decoded), then MSG_OK, or an error text when the member could not be
// written completely.
#ifndef KOBREX_CLI_MESSAGES_H_
#define KOBREX_CLI_MESSAGES_H_

// "kobrex ver.0.1\n" (program name and version).
inline constexpr char MSG_BANNER[] = "kobrex ver.0.1\n";
// "Usage : kobrex <target_file> [dest_dir]\n" (usage line).
inline constexpr char MSG_USAGE[] = "Usage : kobrex <target_file> [dest_dir]\n";
// "\ttarget_file     対象ファイル.\n" (target_file: the file to process).
inline constexpr char MSG_USAGE_TARGET[] =
    "\ttarget_file     \x91\xce\x8f\xdb\x83\x74\x83\x40\x83\x43\x83\x8b.\n";
// "\tdest_dir        出力先.(省略可)\n" (dest_dir: output destination (may be omitted)).
inline constexpr char MSG_USAGE_DEST[] =
    "\tdest_dir        \x8f\x6f\x97\xcd\x90\xe6.(\x8f\xc8\x97\xaa\x89\xc2)\n";
// "Error : ファイルが開けません %s.\n" (error: the file cannot be opened).
inline constexpr char MSG_OPEN_FAILED[] =
    "Error : \x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1 "
    "%s.\n";
// "Extract %s to %s.\n" (announces the extraction).
inline constexpr char MSG_EXTRACT[] = "Extract %s to %s.\n";
// "Error : 未知の形式です. (%s)\n" (error: unknown format).
inline constexpr char MSG_UNKNOWN_FORMAT[] =
    "Error : \x96\xa2\x92\x6d\x82\xcc\x8c\x60\x8e\xae\x82\xc5\x82\xb7. (%s)\n";
// "Error : メモリの確保に失敗. %d.\n" (error: memory allocation failed).
inline constexpr char MSG_NO_MEMORY[] =
    "Error : \x83\x81\x83\x82\x83\x8a\x82\xcc\x8a\x6d\x95\xdb\x82\xc9\x8e\xb8\x94\x73. %d.\n";
// "%s. %d bytes" (start of a member line).
inline constexpr char MSG_MEMBER[] = "%s. %d bytes";
// " -> %d bytes." (the member was decoded).
inline constexpr char MSG_DECODED[] = " -> %d bytes.";
// "." (the member was written as stored).
inline constexpr char MSG_STORED[] = ".";
// "ok\n" (end of a member line).
inline constexpr char MSG_OK[] = "ok\n";
// "Error : 出力先が長すぎます %s.\n" (error: the destination is too long).
inline constexpr char MSG_DEST_TOO_LONG[] =
    "Error : \x8f\x6f\x97\xcd\x90\xe6\x82\xaa\x92\xb7\x82\xb7\x82\xac\x82\xdc\x82\xb7 %s.\n";
// "Error : エントリ数が不正です. %d.\n" (error: the entry count does not fit the archive).
inline constexpr char MSG_BAD_ENTRY_COUNT[] =
    "Error : \x83\x47\x83\x93\x83\x67\x83\x8a\x90\x94\x82\xaa\x95\x73\x90\xb3\x82\xc5\x82\xb7. "
    "%d.\n";
// "Error : 書庫から読めません.\n" (error: the bytes cannot be read from the archive).
inline constexpr char MSG_READ_FAILED[] =
    "Error : \x8f\x91\x8c\xc9\x82\xa9\x82\xe7\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1.\n";
// "Error : 不正なファイル名です.\n" (error: the member name is not allowed).
inline constexpr char MSG_BAD_NAME[] =
    "Error : \x95\x73\x90\xb3\x82\xc8\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xc5\x82\xb7.\n";
// "Error : パスが長すぎます.\n" (error: the output path is too long).
inline constexpr char MSG_PATH_TOO_LONG[] =
    "Error : \x83\x70\x83\x58\x82\xaa\x92\xb7\x82\xb7\x82\xac\x82\xdc\x82\xb7.\n";
// "Error : 書き込みに失敗 %s.\n" (error: the output could not be written).
inline constexpr char MSG_WRITE_FAILED[] =
    "Error : \x8f\x91\x82\xab\x8d\x9e\x82\xdd\x82\xc9\x8e\xb8\x94\x73 %s.\n";

#endif  // KOBREX_CLI_MESSAGES_H_
