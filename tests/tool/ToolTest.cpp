#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct Result {
  int status;
  std::string out;
};

// Runs the tool with the given arguments (shell syntax), capturing standard output.
Result runTool(const std::string& args) {
  const std::string command = std::string(EKCOMMON_TOOL) + " " + args + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  Result result{-1, {}};
  if (!pipe)
    return result;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    result.out.append(buffer.data(), n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(Tool, ExitCodesAndHelp) {
  const struct {
    const char* args;
    int status;
    const char* contains;
  } rows[] = {
      {"--help", 0, "usage: ekcommon"},
      {"--version", 0, "ekcommon 0."},
      {"", 2, ""},
      {"no-such-command", 2, ""},
      {"name --help", 0, "--number"},
      {"demo --help", 0, "usage: ekcommon demo"},
      {"name", 2, ""},
      {"name --bogus x", 2, ""},
      {"demo extra", 2, ""},
  };
  for (const auto& row : rows) {
    const Result r = runTool(row.args);
    EXPECT_EQ(r.status, row.status) << row.args;
    EXPECT_NE(r.out.find(row.contains), std::string::npos) << row.args << "\n" << r.out;
  }
}

TEST(Tool, NameBothWays) {
  Result r = runTool("name inherit scaleX 'made-up name' inherit");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "820\tbuilt-in\tinherit\n"
                   "2416\tbuilt-in\tscaleX\n"
                   "3207\trun-time\tmade-up name\n"
                   "820\tbuilt-in\tinherit\n");
  r = runTool("name --number 1 3206 0");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "1\tANSI_X3.4\n3206\txls-settings\n0\t\n");
  r = runTool("name --number 3207 abc 820");
  EXPECT_EQ(r.status, 1) << "unknown numbers and non-numbers are input errors";
  EXPECT_EQ(r.out, "820\tinherit\n");
}

TEST(Tool, DemoRuns) {
  const Result r = runTool("demo");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("inherit -> 820 (built-in), a CSS-wide keyword"), std::string::npos) << r.out;
}

} // namespace
