#include "krcommon/stdio_file_ex.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string RunAndCapture(const std::string& command) {
  std::string output;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  std::array<char, 256> chunk;
  size_t n;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) output.append(chunk.data(), n);
  pclose(pipe);
  return output;
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class StdioFileExTest : public ::testing::Test {
 protected:
  std::filesystem::path path_ =
      std::filesystem::temp_directory_path() /
      ("kr_utf16_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".txt");
  void TearDown() override { std::filesystem::remove(path_); }
};

TEST_F(StdioFileExTest, IndependentDecoderReadsTextWithOneBomAndCrLf) {
  {
    kr::CStdioFileEx file;
    ASSERT_TRUE(file.Open(path_, kr::CStdioFileEx::OpenMode::kCreate));
    ASSERT_TRUE(file.WriteString("Peak X\t12.5 mm/s\r\n"));
    ASSERT_TRUE(file.Close());
  }
  {
    kr::CStdioFileEx file;
    ASSERT_TRUE(file.Open(path_, kr::CStdioFileEx::OpenMode::kAppend));
    ASSERT_TRUE(file.WriteString("Größe 震动\r\n"));
    ASSERT_TRUE(file.Close());
  }
  // Python decodes the bytes on its own; the BOM must appear once, at the start.
  std::string decoded = RunAndCapture(
      "python3 -c \"import sys; b=open(sys.argv[1],'rb').read(); "
      "assert b[:2]==b'\\xff\\xfe', 'no BOM'; t=b[2:].decode('utf-16-le'); "
      "assert '\\ufeff' not in t, 'second BOM'; sys.stdout.buffer.write(t.encode('utf-8'))\" " +
      path_.string());
  EXPECT_EQ(decoded, "Peak X\t12.5 mm/s\r\nGröße 震动\r\n");
}

TEST_F(StdioFileExTest, NoNewlineTranslationAndExactBytes) {
  kr::CStdioFileEx file;
  ASSERT_TRUE(file.Open(path_, kr::CStdioFileEx::OpenMode::kCreate));
  ASSERT_TRUE(file.WriteString("a\nb"));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadBytes(path_), std::string("\xFF\xFE"
                                          "a\0\n\0b\0",
                                          8));
}

TEST_F(StdioFileExTest, ReadAllDecodesWhatWasWritten) {
  kr::CStdioFileEx file;
  ASSERT_TRUE(file.Open(path_, kr::CStdioFileEx::OpenMode::kCreate));
  ASSERT_TRUE(file.WriteString("x\U0001F600y\r\n"));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(kr::CStdioFileEx::ReadAll(path_).value_or(""), "x\U0001F600y\r\n");
  EXPECT_FALSE(kr::CStdioFileEx::ReadAll(path_.string() + ".missing").has_value());
}

TEST_F(StdioFileExTest, OpenFailsForMissingFolder) {
  kr::CStdioFileEx file;
  EXPECT_FALSE(file.Open("/nonexistent-folder/x.txt", kr::CStdioFileEx::OpenMode::kCreate));
  EXPECT_FALSE(file.WriteString("x"));
}

}  // namespace
