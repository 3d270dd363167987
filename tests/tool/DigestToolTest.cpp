#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A scratch directory holding a file "abc.txt" with the text abc, removed afterwards.
class DigestTool : public testing::Test {
protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("ekcommon-digest-" + std::to_string(getpid()));
    fs::create_directories(m_dir);
    write("abc.txt", "abc");
  }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string write(const std::string& name, const std::string& content) {
    const fs::path path = m_dir / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }
  std::string path(const std::string& name) const { return (m_dir / name).string(); }

  fs::path m_dir;
};

// Every algorithm prints exactly what the matching checksum tool prints, for files and for
// standard input.
TEST_F(DigestTool, SameOutputAsTheChecksumTools) {
  const char* const rows[][2] = {{"--md5", "md5sum"},       {"--sha1", "sha1sum"},
                                 {"--sha256", "sha256sum"}, {"--sha384", "sha384sum"},
                                 {"--sha512", "sha512sum"}};
  const std::string files = "'" + path("abc.txt") + "' '" + write("empty", "") + "'";
  for (const auto& row : rows) {
    for (const std::string& input : {files, "< " + files.substr(0, files.find(' ')),
                                     "- < " + files.substr(0, files.find(' '))}) {
      const ToolResult r = runTool(std::string("digest ") + row[0] + " " + input);
      const std::string command = std::string(row[1]) + " " + input;
      FILE* pipe = popen(command.c_str(), "r");
      char expected[512] = {};
      const size_t n = fread(expected, 1, sizeof expected - 1, pipe);
      pclose(pipe);
      EXPECT_EQ(r.status, 0);
      EXPECT_EQ(r.out, std::string(expected, n)) << row[0] << " " << input;
    }
  }
}

// Unreadable inputs are reported and skipped; names that need escaping are escaped so that the
// checksum tool's check mode reads every line back.
TEST_F(DigestTool, ErrorsEscapesAndCheckMode) {
  const std::string abc = path("abc.txt");
  ToolResult r =
      runTool("digest --md5 '" + path("missing") + "' '" + abc + "' '" + m_dir.string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "900150983cd24fb0d6963f7d28e17f72  " + abc + "\n");

  write("back\\slash", "");
  write("new\nline", "x");
  write("plain name", "12345");
  const std::string sums = path("sums");
  r = runTool("digest --sha256 '" + path("back\\slash") + "' '" + path("new\nline") + "' '" +
              path("plain name") + "' > '" + sums + "'");
  EXPECT_EQ(r.status, 0);
  std::ifstream in(sums);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.substr(0, 9), "\\e3b0c442");
  EXPECT_NE(text.find("back\\\\slash\n"), std::string::npos) << text;
  EXPECT_NE(text.find("new\\nline\n"), std::string::npos) << text;
  const int status = std::system(("sha256sum --quiet -c '" + sums + "' >/dev/null 2>&1").c_str());
  EXPECT_EQ(status, 0) << text;
}

TEST(DigestUuidTool, UsageAndUuids) {
  const struct {
    const char* args;
    int status;
    size_t lines;
    size_t lineLength;
  } rows[] = {
      {"digest", 2, 0, 0},                          {"digest --sha256 --md5 /dev/null", 2, 0, 0},
      {"digest --sha3 /dev/null", 2, 0, 0},         {"digest --sha1 --sha1 /dev/null", 0, 1, 51},
      {"digest --md5 -- /dev/null", 0, 1, 43},      {"uuid", 0, 1, 36},
      {"uuid 3", 0, 3, 36},                         {"uuid --no-hyphens 2", 0, 2, 32},
      {"uuid 0", 0, 0, 0},                          {"uuid -1", 2, 0, 0},
      {"uuid x", 2, 0, 0},                          {"uuid 1 2", 2, 0, 0},
  };
  for (const auto& row : rows) {
    const ToolResult r = runTool(row.args);
    EXPECT_EQ(r.status, row.status) << row.args;
    size_t lines = 0;
    for (size_t start = 0, end; (end = r.out.find('\n', start)) != std::string::npos;
         start = end + 1, ++lines)
      EXPECT_EQ(end - start, row.lineLength) << row.args << ": " << r.out;
    EXPECT_EQ(lines, row.lines) << row.args;
  }
  const ToolResult r = runTool("uuid 2");
  EXPECT_NE(r.out.substr(0, 36), r.out.substr(37, 36));
  EXPECT_EQ(r.out[8], '-');
  EXPECT_EQ(r.out[23], '-');
}

} // namespace
