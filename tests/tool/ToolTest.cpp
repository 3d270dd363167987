#include "ToolRunner.h"

#include <gtest/gtest.h>

namespace {

using EKToolTest::Result;
using EKToolTest::runTool;

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
