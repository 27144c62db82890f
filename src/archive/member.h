// What both archive readers do for one member: join its output path, check
// that the name stays inside the destination, read its stored bytes, write
// its output file, and end its console line.
//
// A member's output goes to a new temporary file beside its final path and
// is moved over that path only once complete, so a member that fails never
// destroys a file that was there and never leaves a partial file. A member
// that cannot be written completely never gets "ok": its line ends with an
// error text instead, and the reader goes on with the next member.
#ifndef KOBREX_ARCHIVE_MEMBER_H_
#define KOBREX_ARCHIVE_MEMBER_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "platform/platform.h"

// The archive being read, and its size in bytes.
struct ArchiveInput {
  FILE* file;
  uint64_t size;
};

// Measures the archive; false when its size cannot be had.
bool OpenArchiveInput(FILE* file, ArchiveInput* input);

// Reads a reader's whole directory, `directory_size` bytes from offset 0,
// with one read into a new buffer (free it with std::free), having checked
// that the directory of `entry_count` entries lies inside the archive. Null,
// after its error was printed, when it does not (MSG_BAD_ENTRY_COUNT), when
// the buffer cannot be had (MSG_NO_MEMORY with `size_shown`), or when the
// archive cannot be read.
uint8_t* LoadDirectory(FILE* file, int32_t entry_count, uint64_t directory_size, int32_t size_shown,
                       ArchiveInput* input);

// Reads `size` bytes at `offset` into `buffer`; false unless all were read.
bool ReadArchiveBytes(const ArchiveInput& input, uint64_t offset, void* buffer, size_t size);

// The destination prefix directly followed by a member's name, as printed
// and opened. The buffer holds the longest join (a prefix of up to 259 bytes
// and a name field of up to 56) so that a join too long for kMaxPath can
// still be printed whole before it is refused.
struct OutputPath {
  char text[kMaxPath + 64];
  size_t name_start;  // where the member's name begins: the prefix's length
};

// Joins `prefix` and the name in `name_field`: its bytes up to a NUL, or the
// whole field when it holds none.
void JoinOutputPath(const char* prefix, const uint8_t* name_field, size_t field_size,
                    OutputPath* path);

// Ends a member's line with an error text, printed as the format with its
// arguments. `size_part_closed` tells whether MSG_DECODED or MSG_STORED was
// printed already; when not, MSG_STORED's full stop closes the size part
// first, so that every line reads "<path>. <n> bytes[ -> <m> bytes].<end>".
void EndLineWithError(bool size_part_closed, const char* format, ...);

// True when a member's name stays inside the destination: not empty, not
// beginning or ending with a separator, no drive or any other colon, and no
// component made of two or more dots (with or without blanks).
bool IsConfinedMemberName(const char* name);

// Refuses, with its error text, a member whose path does not fit kMaxPath or
// whose name is not confined.
bool CheckOutputPath(const OutputPath& path);

// Reads a member's `size` stored bytes at `offset` into a new member buffer.
// Null, with the line ended by an error, when the bytes do not lie wholly
// inside the archive, the buffer cannot be had, or the read fails.
uint8_t* LoadMemberBytes(const ArchiveInput& input, uint64_t offset, uint32_t size);

// The temporary file a member is written to.
struct MemberOutput {
  FILE* file;
  char temp_path[kMaxPath];
  size_t folders_made_from;  // index of the first separator whose folder was made; 0 for none
};

// Makes the folders of the member's name below the prefix and creates the
// temporary file; on failure ends the line with MSG_OPEN_FAILED.
bool OpenMemberOutput(const OutputPath& path, MemberOutput* output);

// Prints MSG_DECODED with `size` when `decoded`, else MSG_STORED; writes the
// `size` bytes of `data` with one write; moves the file into place; and ends
// the line with MSG_OK. On failure the temporary file is removed and the
// line ends with MSG_WRITE_FAILED. Returns true when the member is complete.
bool FinishMemberOutput(MemberOutput* output, const OutputPath& path, const uint8_t* data,
                        uint32_t size, bool decoded);

// Closes and removes the temporary file of a member that failed, with the
// folders made for it.
void DiscardMemberOutput(MemberOutput* output, const OutputPath& path);

#endif  // KOBREX_ARCHIVE_MEMBER_H_
