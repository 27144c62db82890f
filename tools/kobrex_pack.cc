// kobrex-pack: builds archives of both layouts that kobrex unpacks to exactly
// the files it was given.
//
//   kobrex-pack [options] arcv|counted OUT FILE_OR_FOLDER...
//
// Folders are walked in sorted order; member names are relative to the folder
// given, joined with backslashes as archives made on Windows hold them. Every
// name is checked before anything is written, every coded member is decoded
// again and compared, and the archive is written to a temporary file that is
// moved over OUT only once complete.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "archive/arcv_archive.h"
#include "archive/member.h"
#include "codec/buffers.h"
#include "codec/sszl.h"
#include "codec/sszl_encoder.h"
#include "codec/wp16.h"
#include "codec/wp16_encoder.h"
#include "pack_files.h"
#include "platform/platform.h"

namespace {

enum class Layout { kArcv, kCounted };
enum class Codec { kDefault, kSszl, kWp16, kNone };

struct Options {
  Layout layout = Layout::kArcv;
  Codec codec = Codec::kDefault;
  int level = 9;
  bool list = false;
  std::string out;
  std::vector<std::string> inputs;
};

struct Source {
  std::string path;         // where the file is read from
  std::string name;         // the name kobrex writes it under
  std::string stored_name;  // the name field of its entry
};

// One member, coded or not, ready to be written.
struct PackedMember {
  std::vector<uint8_t> bytes;  // what the archive holds
  uint32_t size;               // the file's own size
  const char* codec;           // "sszl", "wp16" or "stored"
};

constexpr size_t kArcvNameField = 56;
constexpr size_t kCountedNameField = 24;
constexpr uint32_t kMaxWp16Output = 0x7FFFFFFF;  // what kobrex decodes

const char kUsage[] =
    "Usage: kobrex-pack [options] arcv|counted OUT FILE_OR_FOLDER...\n"
    "Builds an archive that kobrex unpacks to exactly the given files.\n"
    "  --codec sszl|wp16|none  code the members with the layout's codec (the default:\n"
    "                          sszl for arcv, wp16 for counted) or store them\n"
    "  --level 1-9             encoder effort (default 9, the smallest output)\n"
    "  --list                  print what would be written and write nothing\n";

int Fail(const char* format, ...) {
  std::fprintf(stderr, "kobrex-pack: ");
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fprintf(stderr, "\n");
  return 1;
}

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

// Reads the arguments; returns 0 when they are sound, else the exit status.
int ParseArguments(int argc, char** argv, Options* options) {
  std::vector<std::string> positional;
  bool options_end = false;
  for (int k = 1; k < argc; ++k) {
    std::string arg = argv[k];
    if (options_end || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      positional.push_back(arg);
    } else if (arg == "--") {
      options_end = true;
    } else if (arg == "--list") {
      options->list = true;
    } else if ((arg == "--codec" || arg == "--level") && k + 1 < argc) {
      std::string value = argv[++k];
      if (arg == "--level") {
        if (value.size() != 1 || value[0] < '1' || value[0] > '9') {
          return Fail("--level takes 1 to 9, not '%s'", value.c_str());
        }
        options->level = value[0] - '0';
      } else if (value == "sszl") {
        options->codec = Codec::kSszl;
      } else if (value == "wp16") {
        options->codec = Codec::kWp16;
      } else if (value == "none") {
        options->codec = Codec::kNone;
      } else {
        return Fail("--codec takes sszl, wp16 or none, not '%s'", value.c_str());
      }
    } else {
      return Usage();
    }
  }
  if (positional.size() < 3) return Usage();
  if (positional[0] == "arcv") {
    options->layout = Layout::kArcv;
  } else if (positional[0] == "counted") {
    options->layout = Layout::kCounted;
  } else {
    return Usage();
  }
  if (options->layout == Layout::kArcv && options->codec == Codec::kWp16) {
    return Fail("the arcv layout codes its members with sszl, not wp16");
  }
  if (options->layout == Layout::kCounted && options->codec == Codec::kSszl) {
    return Fail("the counted layout codes its members with wp16, not sszl");
  }
  options->out = positional[1];
  options->inputs.assign(positional.begin() + 2, positional.end());
  return 0;
}

// Adds the files below `folder` in sorted order, named `relative` + their
// path below it.
bool Walk(const std::string& folder, const std::string& relative, std::vector<Source>* sources) {
  std::vector<FolderEntry> entries;
  if (!ListFolder(folder, &entries)) {
    Fail("cannot list the folder %s", folder.c_str());
    return false;
  }
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  for (const FolderEntry& entry : entries) {
    if (HoldsForeignSeparator(entry.name)) {
      Fail("%s%c%s: a backslash in a file name would unpack as a folder", folder.c_str(),
           kPackSeparator, entry.name.c_str());
      return false;
    }
    std::string path = folder + kPackSeparator + entry.name;
    if (entry.is_folder) {
      if (!Walk(path, relative + entry.name + "\\", sources)) return false;
    } else {
      sources->push_back({path, relative + entry.name, ""});
    }
  }
  return true;
}

// The name field that makes kobrex write `name`: for the arcv layout, the
// inverse of its rewriting (the last full stop becomes an underscore and the
// byte after it is raised by 3, unless the extension is ".prx" or begins
// with ".font"). Empty when no field gives `name` back exactly.
std::string StoredName(Layout layout, const std::string& name) {
  if (layout == Layout::kCounted) return name;
  std::string stored = name;
  size_t dot = stored.rfind('.');
  if (dot != std::string::npos) {
    std::string tail = stored.substr(dot);
    stored[dot] = '_';
    bool shifted = !(tail == ".prx" || tail.compare(0, 5, ".font") == 0) && dot + 1 < stored.size();
    if (shifted)
      stored[dot + 1] = static_cast<char>(static_cast<unsigned char>(stored[dot + 1]) + 3);
  }
  std::vector<char> check(stored.begin(), stored.end());
  check.push_back('\0');
  MapArcvMemberName(check.data(), 0);
  return name == check.data() && stored.find('\0') == std::string::npos ? stored : "";
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  bytes->clear();
  uint8_t chunk[1 << 16];
  size_t got;
  bool fits = true;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    if (bytes->size() + got > UINT32_MAX) {
      fits = false;
      break;
    }
    bytes->insert(bytes->end(), chunk, chunk + got);
  }
  bool read = std::ferror(file) == 0;
  std::fclose(file);
  return fits && read;
}

// Codes `data` with the layout's codec and checks that kobrex's decoder
// gives it back. False when it does not (which would be a bug).
bool CodeMember(Layout layout, const std::vector<uint8_t>& data, int level,
                std::vector<uint8_t>* coded) {
  uint32_t size = static_cast<uint32_t>(data.size());
  uint64_t bound = layout == Layout::kArcv ? SszlEncodeBound(size) : Wp16EncodeBound(size);
  coded->assign(bound + kBufferSlack, 0);
  uint64_t coded_size = layout == Layout::kArcv
                            ? EncodeSszl(data.data(), size, coded->data(), level)
                            : EncodeWp16(data.data(), size, coded->data(), level);
  uint32_t stored_size = static_cast<uint32_t>(coded_size);
  bool same = false;
  if (layout == Layout::kArcv) {
    uint8_t* decoded = nullptr;
    uint32_t decoded_size = DecodeSszl(coded->data(), stored_size, &decoded);
    same = decoded_size == size && std::memcmp(decoded, data.data(), size) == 0;
    std::free(decoded);
  } else {
    std::vector<uint8_t> decoded(uint64_t{size} + kBufferSlack);
    same = DecodeWp16(coded->data(), stored_size, decoded.data(), size) == 1 &&
           std::memcmp(decoded.data(), data.data(), size) == 0;
  }
  coded->resize(coded_size);
  return same;
}

// Chooses how a member is held: coded when that is smaller (or asked for),
// stored otherwise, and always coded when its stored bytes would read as a
// stream of the layout's codec. Returns 0, or the exit status of a failure.
int PackMember(const Options& options, const Source& source, PackedMember* member) {
  std::vector<uint8_t> data;
  if (!ReadWholeFile(source.path, &data)) {
    return Fail("cannot read %s (or it is 4 GiB or more)", source.path.c_str());
  }
  uint32_t size = static_cast<uint32_t>(data.size());
  std::vector<uint8_t> padded(data);
  padded.resize(data.size() + kBufferSlack);
  bool looks_coded = options.layout == Layout::kArcv ? SszlDeclaredSize(padded.data(), size) != 0
                                                     : IsWp16Stream(padded.data(), size);
  bool try_coding = size > 0 && (options.codec != Codec::kNone || looks_coded);
  uint32_t codable = options.layout == Layout::kArcv ? UINT32_MAX - kBufferSlack : kMaxWp16Output;
  member->size = size;
  member->codec = "stored";
  if (try_coding && size <= codable) {
    std::vector<uint8_t> coded;
    if (!CodeMember(options.layout, data, options.level, &coded)) {
      return Fail("internal error: %s does not decode back to itself", source.path.c_str());
    }
    if (looks_coded || coded.size() < data.size()) {
      member->bytes.swap(coded);
      member->codec = options.layout == Layout::kArcv ? "sszl" : "wp16";
      return 0;
    }
  } else if (looks_coded) {
    return Fail("%s is too large to be coded, and stored it would be decoded", source.path.c_str());
  }
  member->bytes.swap(data);
  return 0;
}

// Checks every member's name before anything is written.
int CheckNames(const Options& options, std::vector<Source>* sources) {
  size_t field = options.layout == Layout::kArcv ? kArcvNameField : kCountedNameField;
  for (Source& source : *sources) {
    if (!IsConfinedMemberName(source.name.c_str())) {
      return Fail("%s: kobrex would refuse the member name %s", source.path.c_str(),
                  source.name.c_str());
    }
    source.stored_name = StoredName(options.layout, source.name);
    if (source.stored_name.empty()) {
      return Fail("%s: no arcv member name unpacks as %s", source.path.c_str(),
                  source.name.c_str());
    }
    if (source.stored_name.size() >= field) {
      return Fail("%s: the member name %s is longer than the layout's %zu bytes",
                  source.path.c_str(), source.stored_name.c_str(), field - 1);
    }
  }
  for (size_t a = 0; a < sources->size(); ++a) {
    for (size_t b = a + 1; b < sources->size(); ++b) {
      if ((*sources)[a].name == (*sources)[b].name) {
        return Fail("%s and %s would both unpack as %s", (*sources)[a].path.c_str(),
                    (*sources)[b].path.c_str(), (*sources)[a].name.c_str());
      }
    }
  }
  return 0;
}

std::string Field(const std::string& name, size_t size) {
  std::string field = name;
  field.resize(size, '\0');
  return field;
}

std::string Le32(uint32_t value) {
  uint8_t bytes[4];
  StoreLe32(bytes, value);
  return std::string(reinterpret_cast<char*>(bytes), 4);
}

bool WriteAll(FILE* file, const void* data, size_t size) {
  return size == 0 || std::fwrite(data, 1, size, file) == size;  // an empty member has no data
}

// Writes the archive into `file`: header and directory first (filled in at
// the end), then the members one by one. Returns 0 or an exit status.
int WriteArchive(const Options& options, const std::vector<Source>& sources, FILE* file) {
  bool arcv = options.layout == Layout::kArcv;
  uint64_t header_size = arcv ? 64 : 16;
  uint64_t entry_size = arcv ? 64 : 36;
  uint64_t at = header_size + entry_size * sources.size();
  std::string directory;
  std::vector<uint8_t> zeros(at, 0);
  if (!WriteAll(file, zeros.data(), zeros.size()))
    return Fail("cannot write %s", options.out.c_str());
  for (const Source& source : sources) {
    PackedMember member;
    if (int status = PackMember(options, source, &member)) return status;
    if (at + member.bytes.size() > UINT32_MAX) {
      return Fail("the archive would reach 4 GiB, which its offsets cannot address");
    }
    uint32_t offset = static_cast<uint32_t>(at);
    uint32_t stored_size = static_cast<uint32_t>(member.bytes.size());
    if (arcv) {
      directory += Le32(offset) + Le32(stored_size) + Field(source.stored_name, kArcvNameField);
    } else {
      directory += Field(source.stored_name, kCountedNameField) + Le32(offset) + Le32(stored_size) +
                   Le32(member.size);
    }
    if (!WriteAll(file, member.bytes.data(), member.bytes.size())) {
      return Fail("cannot write %s", options.out.c_str());
    }
    at += member.bytes.size();
  }
  uint32_t count = static_cast<uint32_t>(sources.size());
  uint32_t total = static_cast<uint32_t>(at);
  std::string header = arcv ? Field("ARCV" + Le32(count) + Le32(total), 64)
                            : Le32(count) + Le32(total) + Le32(0) + Le32(0);
  if (!SeekFileTo(file, 0) || !WriteAll(file, header.data(), header.size()) ||
      !WriteAll(file, directory.data(), directory.size())) {
    return Fail("cannot write %s", options.out.c_str());
  }
  return 0;
}

int ListArchive(const Options& options, const std::vector<Source>& sources) {
  for (const Source& source : sources) {
    PackedMember member;
    if (int status = PackMember(options, source, &member)) return status;
    std::printf("%-6s %10lu -> %10lu  %s\n", member.codec, static_cast<unsigned long>(member.size),
                static_cast<unsigned long>(member.bytes.size()), source.stored_name.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (int status = ParseArguments(argc, argv, &options)) return status;

  std::vector<Source> sources;
  for (const std::string& input : options.inputs) {
    if (IsFolderPath(input)) {
      if (!Walk(input, "", &sources)) return 1;
    } else {
      FILE* probe = std::fopen(input.c_str(), "rb");
      if (probe == nullptr) return Fail("cannot read %s", input.c_str());
      std::fclose(probe);
      sources.push_back({input, BaseName(input), ""});
    }
  }
  if (int status = CheckNames(options, &sources)) return status;
  if (options.list) return ListArchive(options, sources);

  // A new file beside OUT, moved over it once complete.
  InstallInterruptHandler();
  std::string temp;
  FILE* file = nullptr;
  for (uint32_t attempt = 0; attempt < 64 && file == nullptr; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".~kb%04x.tmp", (ProcessNumber() + attempt) & 0xFFFFu);
    temp = options.out + suffix;
    file = CreateNewFile(temp.c_str());
  }
  if (file == nullptr) return Fail("cannot create a file beside %s", options.out.c_str());
  SetPendingFile(temp.c_str());
  int status = WriteArchive(options, sources, file);
  if (std::fclose(file) != 0 && status == 0) status = Fail("cannot write %s", options.out.c_str());
  if (status == 0 && !MoveFileOver(temp.c_str(), options.out.c_str())) {
    status = Fail("cannot replace %s", options.out.c_str());
  }
  if (status != 0) RemoveFile(temp.c_str());
  SetPendingFile(nullptr);
  return status;
}
