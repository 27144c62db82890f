// Searches over paths held as multibyte byte strings.
#ifndef KOBREX_PLATFORM_PATH_BYTES_H_
#define KOBREX_PLATFORM_PATH_BYTES_H_

// The first character of `text` that is the single byte `byte`, stepping over
// double-byte characters (a lead byte and the byte after it are one
// character and never match); null when there is none. A lead byte directly
// before the terminator stands alone.
char* FindCharacter(char* text, char byte);
const char* FindCharacter(const char* text, char byte);

// The last such character of `text`; null when there is none.
char* FindLastCharacter(char* text, char byte);

// True for the bytes that separate folders in a member name or a path:
// backslash and slash.
inline bool IsSeparatorByte(char c) { return c == '\\' || c == '/'; }

#endif  // KOBREX_PLATFORM_PATH_BYTES_H_
