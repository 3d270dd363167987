#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A scratch directory with two files, removed afterwards.
class ArchiveTool : public testing::Test {
protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("ekcommon-archive-" + std::to_string(getpid()));
    fs::create_directories(m_dir / "work");
    write("work/a.txt", "hello\n");
    std::string numbers;
    for (int i = 0; i < 5000; ++i)
      numbers += std::to_string(i) + "\n";
    write("work/numbers.txt", numbers);
  }
  void TearDown() override { fs::remove_all(m_dir); }
  void write(const std::string& name, const std::string& content) {
    std::ofstream(m_dir / name, std::ios::binary) << content;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(m_dir / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // A shell command run in the work directory.
  std::string in(const std::string& command) const { return "cd '" + (m_dir / "work").string() + "' && " + command; }
  int shell(const std::string& command) const { return WEXITSTATUS(std::system(in(command).c_str())); }

  fs::path m_dir;
};

TEST_F(ArchiveTool, CreateListAndCatAgreeWithUnzip) {
  ASSERT_EQ(runTool("zip create '" + (m_dir / "out.zip").string() + "' '" + (m_dir / "work/a.txt").string() +
                    "' '" + (m_dir / "work/numbers.txt").string() + "'")
                .status,
            0);
  EXPECT_EQ(shell("unzip -tq ../out.zip > /dev/null"), 0);
  const ToolResult listed = runTool("zip list '" + (m_dir / "out.zip").string() + "'");
  ASSERT_EQ(listed.status, 0);
  const std::string entry = (m_dir / "work/a.txt").string().substr(1);
  EXPECT_EQ(listed.out.substr(0, listed.out.find('\n')), "method    compressed       size crc32    name");
  EXPECT_NE(listed.out.find("deflated           8          6 363a3020 " + entry + "\n"), std::string::npos)
      << listed.out;
  EXPECT_EQ(runTool("zip cat '" + (m_dir / "out.zip").string() + "' '" + entry + "'").out, "hello\n");

  EXPECT_EQ(runTool("zip cat '" + (m_dir / "out.zip").string() + "' missing").status, 1);
  EXPECT_EQ(runTool("zip list '" + (m_dir / "work/a.txt").string() + "'").status, 1);
  EXPECT_EQ(runTool("zip create '" + (m_dir / "bad.zip").string() + "' '" + m_dir.string() + "'").status, 1);
  EXPECT_FALSE(fs::exists(m_dir / "bad.zip")) << "a failed create leaves no partial archive";
  EXPECT_EQ(runTool("zip list").status, 2);
}

// Entry names that climb out of a directory are printed as they are and never used as paths.
TEST_F(ArchiveTool, HostileEntryNamesAreOnlyPrinted) {
  ASSERT_EQ(shell("python3 -c \"import zipfile; z = zipfile.ZipFile('../evil.zip', 'w'); "
                  "z.writestr('../escaped.txt', 'x'); z.writestr('/abs.txt', 'y'); z.close()\""),
            0);
  const ToolResult listed = runTool("zip list '" + (m_dir / "evil.zip").string() + "'");
  EXPECT_NE(listed.out.find(" ../escaped.txt\n"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find(" /abs.txt\n"), std::string::npos) << listed.out;
  EXPECT_EQ(runTool("zip cat '" + (m_dir / "evil.zip").string() + "' ../escaped.txt").out, "x");
  EXPECT_FALSE(fs::exists(m_dir / "escaped.txt"));
}

TEST_F(ArchiveTool, GzipBothWaysWithTheGzipTool) {
  const std::string tool = EKCOMMON_TOOL;
  ASSERT_EQ(shell("'" + tool + "' gzip numbers.txt > ../n.gz && gzip -dc ../n.gz > ../n.out"), 0);
  EXPECT_EQ(read("n.out"), read("work/numbers.txt"));
  ASSERT_EQ(shell("gzip -c numbers.txt | '" + tool + "' gzip -d > ../n2.out"), 0);
  EXPECT_EQ(read("n2.out"), read("work/numbers.txt"));
  ASSERT_EQ(shell("'" + tool + "' gzip -d - < a.txt > ../plain.out"), 0);
  EXPECT_EQ(read("plain.out"), "hello\n");
  EXPECT_EQ(runTool("gzip '" + (m_dir / "missing").string() + "'").status, 1);
}

} // namespace
