#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

TEST(ValueTool, TokensAndValues) {
  const std::string input = testing::TempDir() + "value-tool-input.txt";
  std::ofstream(input) << "cmyk(0,0,0,1) k100";
  const struct {
    std::string args;
    int status;
    const char* out; // the exact output, or one part of it, or nullptr to check the status only
    bool exact;
  } rows[] = {
      {"value 'rgb(255 0 0)'", 0,
       "value\tinteger\tcolor\t#FF0000\tcolor rgb srgb #FF0000\n"
       "parsed\tarray\t-\trgb ( 255 0 0 )\n"
       "color\tinteger\tcolor\t#FF0000\tcolor rgb srgb #FF0000\n",
       false},
      {"value --dialect css -- '-1e3px #abcd'", 0,
       "text\t-1e3px #abcd\n"
       "token\tchar\tU+002D\t-\n"
       "token\tnumber\t1\te3px\n"
       "token\trgba\t#AABBCCDD\n"
       "token\tend\n"
       "value\treal\tpx\t-1000px\n"
       "value\tcompound\tcolor\trgba(170,187,204,0.866667)\tcolor rgb srgb #AABBCC alpha 0.866667\n"
       "value\tarray\t-\t-1000px rgba(170,187,204,0.866667)\n"
       "parsed\tarray\t-\t-1000px rgba(170,187,204,0.866667)\n",
       true},
      {"value ''", 0, "text\t\ntoken\tend\n", true},
      {"value '{size: 1pt 2pt; .: x}'", 0, "parsed\tcompound\t-\t{size: 1pt 2pt; .: x}\n", false},
      {"value --dialect css-strict-unit 10px-5px", 0, "value\treal\tpx\t10px\nvalue\treal\tpx\t-5px\n", false},
      // A MIME name stops at '/'.
      {"value --dialect mime 'text/html;q=0.5' \"url('a b')\" transparent", 0,
       "token\tname\ttext\ntoken\tchar\tU+002F\t/\ntoken\tname\thtml\n", false},
      {"value - < '" + input + "'", 0, "value\tname\tname\tk100\tcolor cmyk srgb #000000\n", false},
      {"value \"$(printf '\\377')\"", 1, nullptr, false},
      {"value", 2, nullptr, false},
      {"value --dialect", 2, nullptr, false},
      {"value --dialect cobol x", 2, nullptr, false},
      {"value --bogus x", 2, nullptr, false},
      {"value --help", 0, nullptr, false},
  };
  for (const auto& row : rows) {
    const ToolResult r = runTool(row.args + (row.args.find('<') == std::string::npos ? " </dev/null" : ""));
    EXPECT_EQ(r.status, row.status) << row.args;
    if (row.exact) {
      EXPECT_EQ(r.out, row.out) << row.args;
    } else if (row.out) {
      EXPECT_NE(r.out.find(row.out), std::string::npos) << row.args << "\n" << r.out;
    }
  }
  std::remove(input.c_str());
}

} // namespace
