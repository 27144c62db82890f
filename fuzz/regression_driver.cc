// Replays fuzz inputs without libFuzzer: every file named on the command
// line, or found in a folder named there, goes through the harness once.
// ctest runs it over the corpora in fuzz/corpus, so that the seeds and every
// input that once found a bug stay checked by the ordinary build.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void Collect(const std::string& path, std::vector<std::string>* files) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return;
  if (!S_ISDIR(info.st_mode)) {
    files->push_back(path);
    return;
  }
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") Collect(path + "/" + name, files);
  }
  closedir(dir);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  for (int k = 1; k < argc; ++k) Collect(argv[k], &files);
  std::sort(files.begin(), files.end());
  for (const std::string& file : files) {
    FILE* in = std::fopen(file.c_str(), "rb");
    if (in == nullptr) continue;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0)
      bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(in);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::fprintf(stderr, "replayed %zu inputs\n", files.size());
  return files.empty() ? 1 : 0;
}
