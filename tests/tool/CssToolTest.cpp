#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

TEST(CssTool, MediaListsAreWrittenBackWithTheirErrors) {
  const struct {
    const char* args;
    int status;
    const char* out; // standard output and standard error together
  } rows[] = {
      {"css media 'ONLY Screen, (Min-Width: 10cm)' 'not print and (colour)'",
       0, "screen, (min-width: 10cm)\nnot print and (colour)\n1:16: 968 Unknown media-feature: 'colour'.\n"},
      {"css media 'screen and min-width: 1px, tv {'",
       0, "tv\n1:12: 969 Missing opening-parenthesis for media expression.\n"},
      {"css media ''", 0, "\n"},
      {"css media", 2, nullptr},
      {"css", 2, nullptr},
      {"css nothing x", 2, nullptr},
      {"css media --bogus", 2, nullptr},
  };
  for (const auto& row : rows) {
    const ToolResult r = runTool(row.args, "&1");
    EXPECT_EQ(r.status, row.status) << row.args;
    if (row.out) {
      EXPECT_EQ(r.out, row.out) << row.args;
    }
  }
  EXPECT_NE(runTool("css --help").out.find("css media"), std::string::npos);
}

TEST(CssTool, ParsePrintsStoredRulesBlocksAndErrors) {
  const struct {
    const char* args;
    const char* sheet; // standard input
    int status;
    const char* out; // standard output and standard error together
  } rows[] = {
      {"css parse -", "@namespace s url(urn:s);\ns|a.b > c, #x { color: red; margin: 0 !important }", 0,
       "source 0: \n@namespace s \"urn:s\"\n"
       "rule 0: s|a.b > c  (0,1,2)\n  color: red  @2:17\n"
       "rule 0: s|a.b > c  (0,1,2)\n  margin: 0 !important  @2:29\n"
       "rule 0: #x  (1,0,0)\n  color: red  @2:17\n"
       "rule 0: #x  (1,0,0)\n  margin: 0 !important  @2:29\n"},
      {"css parse -", "@font-face { font-family: F }\n@counter-style c { system: cyclic }\n@media print { p { a: b } }",
       0, "source 0: \nrule 2: p  (0,0,1)\n  a: b  @3:20\n@font-face\n  font-family: F  @1:14\n"
       "@counter-style c\n  system: cyclic  @2:20\n"},
      {"css parse --feature ignore-font-face --feature FEATURE_HASH_ANYWHERE -", "@font-face { a: b }\n#1{c:d} x{!}",
       1, "source 0: \nrule 0: #\\0031   (1,0,0)\n  c: d  @2:4\n2:11: 962 Invalid property name: !.\n"},
      {"css parse - ", "a{b:c}\n} p { q: r }\n@media print { @media screen {} }\n", 1,
       "source 0: \nrule 0: a  (0,0,1)\n  b: c  @1:3\n2:1: 955 Invalid simple-selector: '}'.\n"
       "3:16: 944 Cannot place @media inside @media.\n"},
      {"css parse /nonexistent/x.css", "", 1, "-1:-1: 930 Cannot open stylesheet file: /nonexistent/x.css\n"},
      {"css parse --feature bogus -", "", 2, nullptr},
      {"css parse", "", 2, nullptr},
  };
  for (const auto& row : rows) {
    const std::string file = ::testing::TempDir() + "css-tool-input.css";
    FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs(row.sheet, out);
    std::fclose(out);
    const ToolResult r = runTool(std::string(row.args) + " <" + file, "&1");
    EXPECT_EQ(r.status, row.status) << row.args;
    if (row.out) {
      EXPECT_EQ(r.out, row.out) << row.args;
    }
  }
}

TEST(CssTool, PagePrintsPageRulesAndFiltersByPage) {
  const char* sheet = "@page { size: a4 }\n@page chapter:first { margin: 0 !important; @top-center { content: x } }\n"
                      "@page :left { @footnote { float: none } }\n@page :lefty {}\n";
  const struct {
    const char* args;
    int status;
    const char* out; // standard output and standard error together
  } rows[] = {
      {"css page --sheet -", 1,
       "page 0: @page  (0,0,0)\n  size: a4  @1:9\n"
       "page 2: @page :left  (0,0,1)\n  @footnote\n    float: none  @3:27\n"
       "page 1: @page chapter:first  (1,1,0)\n  @top-center\n    content: x  @2:59\n"
       "page 1: @page chapter:first  (1,1,0)\n  margin: 0 !important  @2:23\n"
       "4:8: 975 Invalid pseudo-page-selector: 'lefty'.\n"},
      {"css page --sheet - chapter:first", 1,
       "page 0: @page  (0,0,0)\n  size: a4  @1:9\n"
       "page 1: @page chapter:first  (1,1,0)\n  @top-center\n    content: x  @2:59\n"
       "page 1: @page chapter:first  (1,1,0)\n  margin: 0 !important  @2:23\n"
       "4:8: 975 Invalid pseudo-page-selector: 'lefty'.\n"},
      // A verso page is a left page in left-to-right text; the first page of another name is not
      // a chapter's.
      {"css page --sheet - :verso index:first", 1,
       "page 0: @page  (0,0,0)\n  size: a4  @1:9\n"
       "page 2: @page :left  (0,0,1)\n  @footnote\n    float: none  @3:27\n"
       "4:8: 975 Invalid pseudo-page-selector: 'lefty'.\n"},
      {"css page --sheet - :lefty", 2, nullptr},
      {"css page --sheet - --bogus", 2, nullptr},
      {"css page :first", 2, nullptr},
  };
  const std::string file = ::testing::TempDir() + "css-tool-page.css";
  FILE* out = std::fopen(file.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fputs(sheet, out);
  std::fclose(out);
  for (const auto& row : rows) {
    const ToolResult r = runTool(std::string(row.args) + " <" + file, "&1");
    EXPECT_EQ(r.status, row.status) << row.args;
    if (row.out) {
      EXPECT_EQ(r.out, row.out) << row.args;
    }
  }
  // parse shows the page rules after the rule sets.
  EXPECT_EQ(runTool("css parse " + file, "&1").out.find("rule"), std::string::npos);
  EXPECT_NE(runTool("css parse " + file, "&1").out.find("page 2: @page :left  (0,0,1)\n  @footnote\n"),
            std::string::npos);
}

TEST(CssTool, CascadePrintsTheWinnersOfEachElement) {
  const std::string dir = ::testing::TempDir();
  for (const auto& file : {std::make_pair("cascade.css", "p { color: red; margin: 1pt 2pt }\n#b { color: blue }\n"),
                           std::make_pair("user.css", "p { color: green !important }\n"),
                           std::make_pair("cascade.xml", "<r><p id='a'/><p id='b' style='x: y'/></r>")}) {
    FILE* out = std::fopen((dir + file.first).c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs(file.second, out);
    std::fclose(out);
  }
  const std::string css = dir + "cascade.css";
  ToolResult r = runTool("css cascade --sheet " + css + " " + dir + "cascade.xml --element b", "&1");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "/r/p[2]\n  color: blue  (author, 1,0,0, " + css + ":2:6)\n"
                   "  margin-bottom: 1pt  (author, 0,0,1, " + css + ":1:17)\n"
                   "  margin-left: 2pt  (author, 0,0,1, " + css + ":1:17)\n"
                   "  margin-right: 2pt  (author, 0,0,1, " + css + ":1:17)\n"
                   "  margin-top: 1pt  (author, 0,0,1, " + css + ":1:17)\n"
                   "  x: y  (style attribute)\n");
  r = runTool("css cascade --sheet " + css + " --user-sheet " + dir + "user.css " + dir + "cascade.xml --element a");
  EXPECT_NE(r.out.find("color: green  (user !important, 0,0,1, "), std::string::npos) << r.out;
  EXPECT_EQ(runTool("css cascade --sheet " + css + " " + dir + "cascade.xml --element none").status, 1);
  EXPECT_EQ(runTool("css cascade " + dir + "cascade.xml").status, 2);
}

} // namespace
