#include "ToolRunner.h"

#include <gtest/gtest.h>

namespace {

TEST(Tool, ExitCodesAndHelp) {
  const struct {
    const char* args;
    int status;
    const char* contains;
  } rows[] = {
      {"--help", 0, "usage: ekcommon"},           {"--version", 0, "ekcommon 0."},
      {"", 2, ""},                                {"no-such-command", 2, ""},
      {"name --help", 0, "--number"},             {"demo --help", 0, "usage: ekcommon demo"},
      {"name", 2, ""},                            {"name --bogus x", 2, ""},
      {"demo extra", 2, ""},
  };
  for (const auto& row : rows) {
    const ToolResult r = runTool(row.args);
    EXPECT_EQ(r.status, row.status) << row.args;
    EXPECT_NE(r.out.find(row.contains), std::string::npos) << row.args << "\n" << r.out;
  }
}

TEST(Tool, NameBothWays) {
  ToolResult r = runTool("name inherit scaleX 'made-up name' inherit");
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

// One line from each section of the demo.
TEST(Tool, DemoRuns) {
  const ToolResult r = runTool("demo");
  EXPECT_EQ(r.status, 0);
  for (const char* line : {"inherit -> 820 (built-in), a CSS-wide keyword", "canonical WINDOWS31J",
                           "1in = 72pt = 25.4mm = 96px at 96dpi", "1cm + 1in = 100.346pt",
                           "50% * 10pt = 5pt", "hsl(30,100%,50%)", "zip entry content/page.fo: <fo:root/>",
                           "== Digests and UUIDs ==", "lower-roman: i, iv, xii, mcmxcix",
                           "language zh-TW: zho-TW, LCID 1028, script Hant",
                           "element fo:block in http://www.w3.org/1999/XSL/Format with font-size=\"12pt\", xml:lang=\"fr\"",
                           "error 134: End tag </fo:root> does not match the start tag <fo:block>.",
                           "font-size of the first of 2 blocks set to 18pt",
                           "<fo:block font-size=\"18pt\">Hello</fo:block>",
                           "-> root in http://www.w3.org/1999/XSL/Transform",
                           "with the catalog: file:///usr/share/styles/report.css",
                           "p color: #c03"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
}

} // namespace
