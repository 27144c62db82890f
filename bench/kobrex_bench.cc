// kobrex-bench: how fast the decoders run, side by side in one run.
//
// Corpora are made from real files of this machine: text (system headers and
// documentation), binaries (shared libraries) and incompressible data (.gz
// files), each coded with kobrex's own encoders and with LZ4. Every decoder
// runs on the same data, best of several runs, one core; the figures that
// matter are the ratios, as the machine may be busy.
//
//   kobrex-bench [--size MIB] [--level N] [--json] [--write-corpora DIR]
//   kobrex-bench --decode-only ARCHIVE     (seconds to decode its members)
//   kobrex-bench --write-only DIR_IN DIR_OUT  (seconds to write DIR_IN's files)
//   kobrex-bench --write-moved DIR_IN DIR_OUT (the same, each file written
//                                              under a temporary name, then moved)
//
// The last three give the halves of an extraction, for bench/extraction.sh.
#include <dirent.h>
#include <lz4.h>
#include <lz4hc.h>
#include <malloc.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "codec/buffers.h"
#include "codec/sszl.h"
#include "codec/sszl_encoder.h"
#include "codec/wp16.h"
#include "codec/wp16_encoder.h"
#include "reference_decoders.h"

namespace {

struct Corpus {
  std::string name;
  std::vector<uint8_t> raw;
};

// Regular files below `root` whose names end in `suffix`, in sorted order.
void FindFiles(const std::string& root, const std::string& suffix, std::vector<std::string>* out) {
  DIR* dir = opendir(root.c_str());
  if (dir == nullptr) return;
  std::vector<std::string> names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    std::string path = root + "/" + name;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      FindFiles(path, suffix, out);
    } else if (S_ISREG(info.st_mode) && name.size() >= suffix.size() &&
               name.find(suffix, name.size() - suffix.size()) != std::string::npos) {
      out->push_back(path);
    }
  }
}

// `size` bytes from the files, in order, taken again from the start if they
// hold fewer.
std::vector<uint8_t> Gather(const std::vector<std::string>& files, size_t size) {
  std::vector<uint8_t> bytes;
  bytes.reserve(size);
  for (size_t round = 0; bytes.size() < size && round < 100; ++round) {
    for (const std::string& path : files) {
      FILE* file = std::fopen(path.c_str(), "rb");
      if (file == nullptr) continue;
      uint8_t chunk[1 << 16];
      size_t got;
      while (bytes.size() < size && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + std::min(got, size - bytes.size()));
      }
      std::fclose(file);
      if (bytes.size() >= size) break;
    }
  }
  return bytes;
}

std::vector<Corpus> MakeCorpora(size_t size) {
  std::vector<std::string> text, binaries, compressed;
  FindFiles("/usr/include", ".h", &text);
  FindFiles("/usr/share/doc", "copyright", &text);
  FindFiles("/usr/lib/x86_64-linux-gnu", ".so", &binaries);
  FindFiles("/usr/lib/x86_64-linux-gnu", ".a", &binaries);
  FindFiles("/usr/share", ".gz", &compressed);
  return {{"text", Gather(text, size)},
          {"binaries", Gather(binaries, size)},
          {"incompressible", Gather(compressed, size)}};
}

double Seconds(const std::function<void()>& run) {
  auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best time of at least three runs and of as many as fit a second.
double BestTime(const std::function<void()>& run) {
  double best = 1e30, total = 0;
  for (int k = 0; k < 3 || (total < 1.0 && k < 50); ++k) {
    double t = Seconds(run);
    best = std::min(best, t);
    total += t;
  }
  return best;
}

struct Row {
  std::string corpus, decoder;
  double mbps;
  double coded_ratio;  // coded size / raw size, 0 for memcpy
};

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "kobrex-bench: %s\n", what);
    std::exit(1);
  }
}

std::vector<Row> Measure(const Corpus& corpus, int level) {
  const std::vector<uint8_t>& raw = corpus.raw;
  uint32_t n = static_cast<uint32_t>(raw.size());
  double mb = n / 1e6;
  std::vector<Row> rows;
  std::vector<uint8_t> out(n + kBufferSlack);

  rows.push_back(
      {corpus.name, "memcpy", mb / BestTime([&] { std::memcpy(out.data(), raw.data(), n); }), 0});
  // The bound for groups of eight literals: 8 bytes of every 9 copied, in
  // blocks of 8 and with the decoder's prefetching, the least work that can
  // make the output of an incompressible SSZL stream.
  std::vector<uint8_t> strided(n / 8 * 9 + 16, 0);
  rows.push_back({corpus.name, "8-of-9 copy",
                  mb / BestTime([&] {
                    const uint8_t* in = strided.data();
                    for (uint8_t* op = out.data(); op < out.data() + n; op += 8, in += 9) {
                      __builtin_prefetch(in + kPrefetchAhead);  // as the decoder does
                      __builtin_prefetch(op + kPrefetchAhead, 1);
                      Copy8(op, in + 1);
                    }
                  }),
                  0});

  // SSZL: the stored bytes in a buffer with slack, as the reader gives them.
  std::vector<uint8_t> sszl(SszlEncodeBound(n) + kBufferSlack);
  uint32_t sszl_size = static_cast<uint32_t>(EncodeSszl(raw.data(), n, sszl.data(), level));
  // Every decoder writes into the same buffer, already in memory: the rows
  // compare decoding, not the allocator (DecodeSszl's own allocation is the
  // one step it adds to DecodeSszlCoded).
  Check(SszlDeclaredSize(sszl.data(), sszl_size) == n, "sszl size");
  for (bool fast : {false, true}) {
    auto run = [&] {
      SszlStop stop = fast ? DecodeSszlCoded(sszl.data(), sszl_size, out.data())
                           : ReferenceDecodeSszlInto(sszl.data(), sszl_size, out.data());
      Check(stop.output_index >= n, "sszl stopped early");
    };
    double t = BestTime(run);
    Check(std::memcmp(out.data(), raw.data(), n) == 0, "sszl output differs");
    rows.push_back({corpus.name, fast ? "sszl fast" : "sszl plain", mb / t, double(sszl_size) / n});
  }

  std::vector<uint8_t> wp16(Wp16EncodeBound(n) + kBufferSlack);
  uint32_t wp16_size = static_cast<uint32_t>(EncodeWp16(raw.data(), n, wp16.data(), level));
  for (bool fast : {false, true}) {
    auto run = [&] {
      int got = fast ? DecodeWp16(wp16.data(), wp16_size, out.data(), n)
                     : ReferenceDecodeWp16(wp16.data(), wp16_size, out.data(), n);
      Check(got == 1, "wp16 result");
    };
    double t = BestTime(run);
    Check(std::memcmp(out.data(), raw.data(), n) == 0, "wp16 output differs");
    rows.push_back({corpus.name, fast ? "wp16 fast" : "wp16 plain", mb / t, double(wp16_size) / n});
  }

  std::vector<char> lz4(LZ4_compressBound(static_cast<int>(n)));
  int lz4_size = LZ4_compress_HC(reinterpret_cast<const char*>(raw.data()), lz4.data(),
                                 static_cast<int>(n), static_cast<int>(lz4.size()), 9);
  double t = BestTime([&] {
    int got = LZ4_decompress_safe(lz4.data(), reinterpret_cast<char*>(out.data()), lz4_size,
                                  static_cast<int>(n));
    Check(got == static_cast<int>(n), "lz4 size");
  });
  Check(std::memcmp(out.data(), raw.data(), n) == 0, "lz4 output differs");
  rows.push_back({corpus.name, "lz4", mb / t, double(lz4_size) / n});
  return rows;
}

double Speed(const std::vector<Row>& rows, const std::string& corpus, const std::string& decoder) {
  for (const Row& row : rows) {
    if (row.corpus == corpus && row.decoder == decoder) return row.mbps;
  }
  return 0;
}

std::string PlainOf(const std::string& decoder) {
  if (decoder.compare(0, 4, "sszl") == 0) return "sszl plain";
  if (decoder.compare(0, 4, "wp16") == 0) return "wp16 plain";
  return "";
}

std::vector<uint8_t> ReadWhole(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  uint8_t chunk[1 << 16];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(file);
  return bytes;
}

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && ok;
}

// Reads every file of DIR_IN into memory, then writes them all to DIR_OUT,
// as kobrex writes its members: the write half of an extraction. Prints the
// best time of five.
// `moved`: each file is written under a temporary name beside its path and
// then moved over it, as kobrex writes its members so that none is ever
// half written under its own name.
int WriteOnly(const std::string& in, const std::string& out, bool moved) {
  std::vector<std::string> files;
  FindFiles(in, "", &files);
  std::vector<std::pair<std::string, std::vector<uint8_t>>> contents;
  for (const std::string& path : files) {
    contents.push_back({out + path.substr(in.size()), ReadWhole(path)});
  }
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    for (const auto& file : contents) std::remove(file.first.c_str());
    best =
        std::min(best, Seconds([&] {
                   for (const auto& file : contents) {
                     if (!moved) {
                       Check(WriteFile(file.first, file.second.data(), file.second.size()),
                             "write");
                       continue;
                     }
                     std::string temporary = out + "/~kb0000.tmp";
                     Check(WriteFile(temporary, file.second.data(), file.second.size()), "write");
                     Check(std::rename(temporary.c_str(), file.first.c_str()) == 0, "move");
                   }
                 }));
  }
  std::printf("%.4f\n", best);
  return 0;
}

// Loads an archive of either layout into memory, then decodes every member
// as kobrex does: a fresh output buffer each, decoded and released. The
// decode half of an extraction; prints the best time of five.
int DecodeOnly(const std::string& path) {
  std::vector<uint8_t> archive = ReadWhole(path);
  Check(archive.size() >= 16, "archive");
  archive.resize(archive.size() + kBufferSlack);
  bool arcv = LoadLe32(archive.data()) == 0x56435241;
  uint32_t count = LoadLe32(archive.data() + (arcv ? 4 : 0));
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);  // as in kobrex: large buffers are fresh pages
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    best = std::min(best, Seconds([&] {
                      for (uint32_t k = 0; k < count; ++k) {
                        const uint8_t* entry =
                            arcv ? archive.data() + 64 + 64 * k : archive.data() + 16 + 36 * k;
                        uint32_t offset = LoadLe32(entry + (arcv ? 0 : 24));
                        uint32_t size = LoadLe32(entry + (arcv ? 4 : 28));
                        if (arcv) {
                          uint8_t* decoded = nullptr;
                          DecodeSszl(archive.data() + offset, size, &decoded);
                          std::free(decoded);
                        } else {
                          uint32_t unpacked = LoadLe32(entry + 32);
                          uint8_t* decoded = AllocateSlackBuffer(unpacked);
                          DecodeWp16(archive.data() + offset, size, decoded, unpacked);
                          std::free(decoded);
                        }
                      }
                    }));
  }
  std::printf("%.4f\n", best);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  size_t size_mib = 64;
  int level = kSszlDefaultLevel;
  bool json = false;
  std::string corpora_folder;
  for (int k = 1; k < argc; ++k) {
    std::string arg = argv[k];
    if (arg == "--size" && k + 1 < argc) {
      size_mib = std::strtoul(argv[++k], nullptr, 10);
    } else if (arg == "--level" && k + 1 < argc) {
      level = std::atoi(argv[++k]);
    } else if (arg == "--json") {
      json = true;
    } else if (arg == "--write-corpora" && k + 1 < argc) {
      corpora_folder = argv[++k];
    } else if ((arg == "--write-only" || arg == "--write-moved") && k + 2 < argc) {
      return WriteOnly(argv[k + 1], argv[k + 2], arg == "--write-moved");
    } else if (arg == "--decode-only" && k + 1 < argc) {
      return DecodeOnly(argv[k + 1]);
    } else {
      std::fprintf(stderr,
                   "usage: kobrex-bench [--size MIB] [--level N] [--json] [--write-corpora DIR]\n"
                   "       kobrex-bench --decode-only ARCHIVE\n"
                   "       kobrex-bench --write-only|--write-moved DIR_IN DIR_OUT\n");
      return 2;
    }
  }
  // Freed buffers are reused rather than given back, so that every run
  // measures the decoder and not the kernel's page faults.
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);

  std::vector<Corpus> corpora = MakeCorpora(size_mib << 20);
  if (!corpora_folder.empty()) {
    for (const Corpus& corpus : corpora) {
      Check(WriteFile(corpora_folder + "/" + corpus.name, corpus.raw.data(), corpus.raw.size()),
            "corpus");
    }
    return 0;
  }
  std::vector<Row> rows;
  for (const Corpus& corpus : corpora) {
    std::vector<Row> more = Measure(corpus, level);
    rows.insert(rows.end(), more.begin(), more.end());
  }

  if (json) {
    std::printf("{\n  \"size_mib\": %zu,\n  \"level\": %d,\n  \"rows\": [\n", size_mib, level);
    for (size_t k = 0; k < rows.size(); ++k) {
      const Row& r = rows[k];
      std::string plain = PlainOf(r.decoder);
      char speedup[16] = "null";
      if (!plain.empty())
        std::snprintf(speedup, sizeof speedup, "%.2f", r.mbps / Speed(rows, r.corpus, plain));
      char coded[16] = "null";
      if (r.coded_ratio > 0) std::snprintf(coded, sizeof coded, "%.4f", r.coded_ratio);
      std::printf(
          "    {\"corpus\": \"%s\", \"decoder\": \"%s\", \"mb_per_s\": %.1f, \"coded_ratio\": %s, "
          "\"speedup_over_plain\": %s, \"ratio_to_memcpy\": %.3f, \"ratio_to_lz4\": %.3f}%s\n",
          r.corpus.c_str(), r.decoder.c_str(), r.mbps, coded, speedup,
          r.mbps / Speed(rows, r.corpus, "memcpy"), r.mbps / Speed(rows, r.corpus, "lz4"),
          k + 1 < rows.size() ? "," : "");
    }
    std::printf("  ]\n}\n");
    return 0;
  }
  std::printf("%-15s %-11s %10s %8s %10s %9s %8s\n", "corpus", "decoder", "MB/s", "coded",
              "vs plain", "vs memcpy", "vs lz4");
  for (const Row& r : rows) {
    std::string plain = PlainOf(r.decoder);
    char speedup[16] = "";
    if (!plain.empty())
      std::snprintf(speedup, sizeof speedup, "%.2fx", r.mbps / Speed(rows, r.corpus, plain));
    char coded[16] = "";
    if (r.coded_ratio > 0) std::snprintf(coded, sizeof coded, "%.1f%%", 100 * r.coded_ratio);
    std::printf("%-15s %-11s %10.1f %8s %10s %9.3f %8.3f\n", r.corpus.c_str(), r.decoder.c_str(),
                r.mbps, coded, speedup, r.mbps / Speed(rows, r.corpus, "memcpy"),
                r.mbps / Speed(rows, r.corpus, "lz4"));
  }
  return 0;
}
