// Real files through the encoders and back through both decoders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "codec/buffers.h"
#include "codec/sszl.h"
#include "codec/sszl_encoder.h"
#include "codec/wp16.h"
#include "codec/wp16_encoder.h"
#include "reference_decoders.h"
#include "test_support.h"

namespace {

struct Input {
  std::string name;
  std::string bytes;
};

std::vector<Input> Inputs() {
  std::string text;
  for (const char* file : {"src/codec/sszl_encoder.cc", "src/archive/member.cc", "README.md",
                           "tests/wp16_test.cc", "CMakeLists.txt"}) {
    text += ReadBytes(BuiltProgram(KOBREX_SOURCE_DIR) + kSep + file, "");
  }
  std::string binary = ReadBytes(BuiltProgram(KOBREX_PROGRAM), "");
  std::mt19937 random(7);
  std::string noise(100001, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  std::string mixed = std::string(5000, '\0') + text.substr(0, 3001) + std::string(9000, '\0') +
                      noise.substr(0, 777);
  return {{"text", text},   {"binary", binary},
          {"noise", noise}, {"zeros", std::string(70001, '\0')},
          {"mixed", mixed}, {"empty", ""},
          {"one", "x"},     {"two", "xy"},
          {"three", "xyz"}, {"seventeen", text.substr(0, 17)}};
}

std::vector<uint8_t> WithSlack(const uint8_t* data, uint64_t size) {
  std::vector<uint8_t> buffer(size + kBufferSlack, 0x5A);
  std::memcpy(buffer.data(), data, size);
  return buffer;
}

TEST(CodecRoundTripTest, SszlGivesBackEveryFile) {
  for (const Input& input : Inputs()) {
    ASSERT_FALSE(input.name == "text" && input.bytes.size() < 10000) << "sources not found";
    ASSERT_FALSE(input.name == "binary" && input.bytes.empty()) << "program not found";
    const uint8_t* data = reinterpret_cast<const uint8_t*>(input.bytes.data());
    uint32_t size = static_cast<uint32_t>(input.bytes.size());
    for (int level : {1, 4, 9}) {
      std::vector<uint8_t> coded(SszlEncodeBound(size));
      uint64_t coded_size = EncodeSszl(data, size, coded.data(), level);
      ASSERT_LE(coded_size, coded.size());
      std::vector<uint8_t> stored = WithSlack(coded.data(), coded_size);
      for (bool reference : {false, true}) {
        uint8_t* out = nullptr;
        uint32_t got =
            reference ? ReferenceDecodeSszl(stored.data(), static_cast<uint32_t>(coded_size), &out)
                      : DecodeSszl(stored.data(), static_cast<uint32_t>(coded_size), &out);
        std::string decoded = out != nullptr ? std::string(reinterpret_cast<char*>(out), got) : "";
        std::free(out);
        EXPECT_EQ(got, size) << input.name << " level " << level;
        EXPECT_TRUE(decoded == input.bytes)
            << input.name << " level " << level << (reference ? " reference" : " fast");
      }
      if (input.name == "text") EXPECT_LT(coded_size, size / 2) << "level " << level;
    }
  }
}

TEST(CodecRoundTripTest, Wp16GivesBackEveryFile) {
  for (const Input& input : Inputs()) {
    const uint8_t* data = reinterpret_cast<const uint8_t*>(input.bytes.data());
    uint32_t size = static_cast<uint32_t>(input.bytes.size());
    for (int level : {1, 9}) {
      std::vector<uint8_t> coded(Wp16EncodeBound(size));
      uint64_t coded_size = EncodeWp16(data, size, coded.data(), level);
      ASSERT_LE(coded_size, coded.size());
      std::vector<uint8_t> stored = WithSlack(coded.data(), coded_size);
      for (bool reference : {false, true}) {
        std::vector<uint8_t> out(uint64_t{size} + kBufferSlack, 0x5A);
        int result =
            reference
                ? ReferenceDecodeWp16(stored.data(), static_cast<uint32_t>(coded_size), out.data(),
                                      size)
                : DecodeWp16(stored.data(), static_cast<uint32_t>(coded_size), out.data(), size);
        EXPECT_EQ(result, 1);
        EXPECT_TRUE(std::string(reinterpret_cast<char*>(out.data()), size) == input.bytes)
            << input.name << " level " << level << (reference ? " reference" : " fast");
      }
      if (input.name == "zeros") EXPECT_LT(coded_size, size / 10) << "level " << level;
    }
  }
}

}  // namespace
