#include "ToolRunner.h"

#include <gtest/gtest.h>

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

} // namespace
