// What happens before an archive is opened: the move into the executable's
// folder, the destination prefix and its folders.
#ifndef KOBREX_CLI_STARTUP_H_
#define KOBREX_CLI_STARTUP_H_

// Makes the folder of the running executable the working directory, so that
// relative paths are taken relative to it. Nothing happens when its path
// cannot be had or holds no separator.
void EnterProgramDirectory();

// Turns `dest_dir` into the destination prefix in `prefix` (kMaxPath bytes):
// empty for an empty `dest_dir`, otherwise `dest_dir` ending in a separator.
// Returns false, leaving `prefix` empty, when the prefix and its terminator
// would not fit kMaxPath bytes.
bool MakeDestinationPrefix(const char* dest_dir, char* prefix);

// Creates every missing folder of `path` (a prefix that ends in a separator;
// one is appended otherwise). Returns 1 when all of them exist or were
// created, 0 when `path` is empty or too long or a folder could not be made.
// The folders made before a failure stay.
int CreateDirectoryTree(const char* path);

#endif  // KOBREX_CLI_STARTUP_H_
