// kobrex-pack, and what kobrex makes of its archives.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "archive_builder.h"
#include "cli_fixture.h"
#include "test_support.h"

#ifndef KOBREX_PACK_PROGRAM
#error "KOBREX_PACK_PROGRAM must name the built kobrex-pack program"
#endif

namespace {

using Tree = std::vector<std::string>;

class PackCliTest : public CliTest {
 protected:
  RunResult Pack(const std::vector<std::string>& args) {
    return RunProgram(BuiltProgram(KOBREX_PACK_PROGRAM), args, elsewhere_);
  }

  // Files of every kind that matters, below `folder`.
  void MakeInputs(const std::string& folder) {
    std::string text;
    for (const char* file : {"src/codec/sszl_encoder.cc", "src/archive/member.cc", "README.md"}) {
      text += ReadBytes(BuiltProgram(KOBREX_SOURCE_DIR) + kSep + file, "");
    }
    std::mt19937 random(5);
    std::string noise(50001, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    ASSERT_TRUE(MakeFolder(folder));
    ASSERT_TRUE(MakeFolder(Join(folder, "sub")));
    ASSERT_TRUE(MakeFolder(Join(Join(folder, "sub"), "deeper")));
    const std::string hyou = "\x95\x5c";  // 表: its second byte is a backslash
    const std::pair<std::string, std::string> files[] = {
        {"text.txt", text},
        {"program.exe", ReadBytes(program_)},
        {"noise.dat", noise},
        {"empty", ""},
        {"one", "1"},
        {"three.odd", "abc"},
        {"seventeen.bin", text.substr(100, 17)},
        {"readme", text.substr(0, 999)},
        {"module.prx", text.substr(50, 5000)},
        {"glyphs.font16", std::string(4000, 'g')},
        {hyou + ".txt", "double-byte name"},
        {"\x83\x5c\x83\x74\x83\x67.bin", noise.substr(0, 77)},  // ソフト
        {"looks.sszl", SszlStream(9, 8, Hex("FF 41 42 43 44 45 46 47 48"))},
        {"looks.wp16", Hex("57 70 31 36 0C 00 00 00 01 00 00 00 41 42 23 00")},
        {"sub/inner.txt", text.substr(7, 3333)},
        {"sub/deeper/zeros.bin", std::string(20000, '\0')},
    };
    for (const auto& file : files) {
      std::string path = file.first;
      for (char& c : path) {
        if (c == '/') c = kSep;
      }
      ASSERT_TRUE(WriteBytes(Join(folder, path), file.second)) << file.first;
    }
  }

  // The bytes of every file below `folder`, by relative path.
  std::vector<std::pair<std::string, std::string>> Contents(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> contents;
    for (const std::string& entry : ListTree(folder)) {
      std::string native = entry;
      for (char& c : native) {
        if (c == '/') c = kSep;
      }
      contents.push_back({entry, entry.back() == '/' ? "" : ReadBytes(Join(folder, native))});
    }
    return contents;
  }
};

TEST_F(PackCliTest, EveryArchiveUnpacksToTheSameFiles) {
  std::string input = Join(root_, "input");
  MakeInputs(input);
  auto expected = Contents(input);
  struct Variant {
    std::string layout;
    std::vector<std::string> options;
  };
  const Variant variants[] = {
      {"arcv", {}},    {"arcv", {"--level", "1"}},    {"arcv", {"--codec", "none"}},
      {"counted", {}}, {"counted", {"--level", "1"}}, {"counted", {"--codec", "none"}},
  };
  for (const Variant& variant : variants) {
    std::string label =
        variant.layout +
        (variant.options.empty() ? "" : " " + variant.options[0] + " " + variant.options[1]);
    std::string archive = InBin("pack.bin");
    std::vector<std::string> args = variant.options;
    args.insert(args.end(), {variant.layout, archive, input});
    RunResult packed = Pack(args);
    ASSERT_EQ(packed.exit_code, 0) << label << ": " << packed.err;
    std::string out = Join(root_, "out");
    RunResult unpacked = Kobrex({archive, out});
    EXPECT_EQ(unpacked.exit_code, 0) << label << "\n" << unpacked.out;
    auto got = Contents(out);
    EXPECT_EQ(got.size(), expected.size()) << label;
    EXPECT_TRUE(got == expected) << label;
    RemoveTree(out);
  }
}

TEST_F(PackCliTest, ListShowsTheMembersAndWritesNothing) {
  std::string input = Join(root_, "input");
  ASSERT_TRUE(MakeFolder(input));
  ASSERT_TRUE(WriteBytes(Join(input, "title.dds"), std::string(4096, 'a')));
  ASSERT_TRUE(WriteBytes(Join(input, "tiny.txt"), "xy"));
  RunResult run = Pack({"--list", "arcv", InBin("pack.bin"), input});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  // Sorted by name; 4096 equal bytes take 228 matches of at most 18.
  EXPECT_EQ(run.out, Lines("stored          2 ->          2  tiny_wxt\n"
                           "sszl         4096 ->        502  title_gds\n"));
  EXPECT_FALSE(IsFile(InBin("pack.bin")));
}

TEST_F(PackCliTest, RefusesBeforeWritingAnything) {
  std::string input = Join(root_, "input");
  ASSERT_TRUE(MakeFolder(input));
  ASSERT_TRUE(MakeFolder(Join(input, "other")));
  ASSERT_TRUE(WriteBytes(Join(input, "fine.txt"), "fine"));
  ASSERT_TRUE(WriteBytes(Join(input, "my_notes"), "an underscore no arcv name gives back"));
  ASSERT_TRUE(WriteBytes(Join(input, std::string(20, 'n') + ".txt"), "a long name"));
  ASSERT_TRUE(WriteBytes(Join(Join(input, "other"), "fine.txt"), "the same name again"));
  std::string archive = InBin("pack.bin");
  ASSERT_TRUE(WriteBytes(archive, "an archive that was there"));
  struct Refusal {
    std::vector<std::string> args;
    std::string says;
  };
  const Refusal refusals[] = {
      {{"arcv", archive, Join(input, "my_notes")}, "no arcv member name unpacks as my_notes"},
      {{"counted", archive, Join(input, std::string(20, 'n') + ".txt")},
       "longer than the layout's 23 bytes"},
      {{"counted", archive, Join(input, "fine.txt"), Join(Join(input, "other"), "fine.txt")},
       "would both unpack as fine.txt"},
      {{"arcv", archive, Join(input, "absent")}, "cannot read"},
      {{"--codec", "wp16", "arcv", archive, input}, "codes its members with sszl"},
      {{"--level", "0", "arcv", archive, input}, "--level takes 1 to 9"},
  };
  for (const Refusal& refusal : refusals) {
    RunResult run = Pack(refusal.args);
    EXPECT_EQ(run.exit_code, 1) << refusal.says;
    EXPECT_NE(run.err.find(refusal.says), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(archive), "an archive that was there");
  }
  EXPECT_EQ(Pack({"arcv", archive}).exit_code, 2);  // no input: the usage
  Tree left = {"pack.bin", program_name_};
  std::sort(left.begin(), left.end());
  EXPECT_EQ(ListTree(bin_), left) << "no temporary file is left";
}

TEST_F(PackCliTest, TheBundledSamplesAreWhatThePackerMakes) {
  // The samples are made by tools/make-samples; packing is deterministic on
  // both systems, so the same files give the same bytes.
  std::string samples = BuiltProgram(KOBREX_SOURCE_DIR) + kSep + "samples";
  for (const char* layout : {"arcv", "counted"}) {
    std::string archive = InBin(std::string("sample.") + layout);
    RunResult run = Pack({layout, archive, Join(samples, "files")});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_TRUE(ReadBytes(archive) == ReadBytes(Join(samples, std::string("sample.") + layout)))
        << layout << ": run tools/make-samples after changing samples/files or the encoder";
  }
}

}  // namespace
