// kobrex <target_file> [dest_dir]: unpacks one archive into dest_dir.
//
// Arguments after dest_dir are ignored. Relative paths are taken relative to
// the folder of the executable, which start-up makes the working directory
// before anything else.
#include <cstdio>

#include "cli/extract.h"
#include "cli/messages.h"
#include "cli/startup.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  char prefix[kMaxPath];
  prefix[0] = '\0';
  EnterProgramDirectory();
  InstallInterruptHandler();
  if (argc >= 3) {
    if (!MakeDestinationPrefix(argv[2], prefix)) {
      std::printf(MSG_BANNER);
      std::printf(MSG_DEST_TOO_LONG, argv[2]);
      return kExitFailure;
    }
    // The folders are made before the banner, also when the usage follows;
    // one that cannot be made shows when the members are written.
    if (prefix[0] != '\0') CreateDirectoryTree(prefix);
  }
  const char* target_file = argc >= 2 ? argv[1] : "";
  return ExtractArchiveFile(target_file, prefix, true);
}
