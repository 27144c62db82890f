// The operating-system services kobrex uses, behind one interface.
//
// platform-win32.cc implements it with the Win32 services themselves;
// platform-posix.cc gives the same behaviour on Linux. The build picks one.
// Paths are NUL-terminated byte strings in the system's multibyte code page:
// they are passed through as bytes and never converted between code pages.
#ifndef KOBREX_PLATFORM_PLATFORM_H_
#define KOBREX_PLATFORM_PLATFORM_H_

#include <cstdint>
#include <cstdio>

// MAX_PATH: every path buffer of the program holds this many bytes, its
// terminator included.
constexpr uint32_t kMaxPath = 260;

// The byte that separates the folders of the executable's own path
// (backslash on Windows, slash on Linux).
extern const char kNativeSeparator;

// --- Process and folders ----------------------------------------------------

// Writes the full path of the running executable into `buffer` (`size`
// bytes) and returns its length, or 0 when it cannot be had or does not fit.
uint32_t GetExecutablePath(char* buffer, uint32_t size);

// Makes `folder` the working directory; failure leaves it as it was.
void SetWorkingDirectory(const char* folder);

// Copies a NUL-terminated string, terminator included.
void CopyString(char* destination, const char* source);

// Makes a non-empty `path` end in a separator of its own, appending the
// native one unless it already ends in a separator (a trail byte of a
// double-byte character is none). `path` lies in a buffer of at least
// strlen(path) + 2 bytes. Returns false when nothing could be appended.
bool AppendSeparator(char* path);

// True when `path` names an existing folder.
bool IsExistingFolder(const char* path);

// Creates one folder; false when it was not created (it exists already, its
// parent is missing, the name is refused).
bool CreateFolder(const char* path);

// Removes an empty folder; false when it was not removed.
bool RemoveFolder(const char* path);

// True when `byte` leads a double-byte character of the multibyte code page.
bool IsLeadByte(unsigned char byte);

// --- Archive file -----------------------------------------------------------

// Opens an existing file for reading in binary mode ("rb"); null on failure.
FILE* OpenFileForReading(const char* path);

// 64-bit positioning, so that archives of up to 4 GiB - 1 are reached whole.
bool SeekFileTo(FILE* file, uint64_t offset);
bool MeasureFile(FILE* file, uint64_t* size);

// --- Member output files ----------------------------------------------------
//
// A member is written to a new temporary file beside its final path and
// moved over that path only once it is complete, so that a failed member or
// an interrupted run never destroys a file that was there and never leaves a
// partial file under a member's name.

// Creates `path` as a new file for writing in binary mode ("wb"), failing
// when something of that name exists already.
FILE* CreateNewFile(const char* path);

// Moves the complete file `from` over `to`, replacing a file there.
bool MoveFileOver(const char* from, const char* to);

// Removes a file; false when it could not be removed.
bool RemoveFile(const char* path);

// A number that differs between processes running at the same time, for
// naming temporary files.
uint32_t ProcessNumber();

// On Ctrl-C or a request to terminate, removes the temporary file announced
// with SetPendingFile (if any) and ends the process with status 130.
void InstallInterruptHandler();

// Announces the temporary file in progress (`path` is copied), or none when
// `path` is null.
void SetPendingFile(const char* path);

#endif  // KOBREX_PLATFORM_PLATFORM_H_
