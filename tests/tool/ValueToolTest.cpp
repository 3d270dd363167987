#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

using EKToolTest::Result;
using EKToolTest::runTool;

TEST(ValueTool, TokensAndValues) {
  const struct {
    const char* args;
    int status;
    const char* out; // exact output, or nullptr to check the status only
  } rows[] = {
      {"value '12pt red'", 0,
       "text\t12pt red\n"
       "token\tnumber\t12\tpt\n"
       "token\tname\tred\n"
       "token\tend\n"
       "value\treal\tpt\t12pt\n"
       "value\tname\tname\tred\tcolor rgb srgb #FF0000\n"
       "value\tarray\t-\t12pt red\n"
       "parsed\tarray\t-\t12pt red\n"},
      {"value 'rgb(255 0 0)'", 0,
       "text\trgb(255 0 0)\n"
       "token\tname\trgb\n"
       "token\tchar\tU+0028\t(\n"
       "token\tnumber\t255\t\n"
       "token\tnumber\t0\t\n"
       "token\tnumber\t0\t\n"
       "token\tchar\tU+0029\t)\n"
       "token\tend\n"
       "value\tinteger\tcolor\t#FF0000\tcolor rgb srgb #FF0000\n"
       "parsed\tarray\t-\trgb ( 255 0 0 )\n"
       "color\tinteger\tcolor\t#FF0000\tcolor rgb srgb #FF0000\n"},
      {"value '{size: 1pt 2pt; .: x}'", 0, nullptr},
      {"value --dialect css -- '-1e3px #abcd'", 0,
       "text\t-1e3px #abcd\n"
       "token\tchar\tU+002D\t-\n"
       "token\tnumber\t1\te3px\n"
       "token\trgba\t#AABBCCDD\n"
       "token\tend\n"
       "value\treal\tpx\t-1000px\n"
       "value\tcompound\tcolor\trgba(170,187,204,0.866667)\tcolor rgb srgb #AABBCC alpha 0.866667\n"
       "value\tarray\t-\t-1000px rgba(170,187,204,0.866667)\n"
       "parsed\tarray\t-\t-1000px rgba(170,187,204,0.866667)\n"},
      {"value --dialect css-strict-unit 10px-5px", 0, nullptr},
      {"value --dialect mime 'text/html;q=0.5' \"url('a b')\" transparent", 0, nullptr},
      {"value ''", 0, "text\t\ntoken\tend\n"},
      {"value \"$(printf '\\377')\"", 1, nullptr},
      {"value", 2, nullptr},
      {"value --dialect", 2, nullptr},
      {"value --dialect cobol x", 2, nullptr},
      {"value --bogus x", 2, nullptr},
      {"value --help", 0, nullptr},
  };
  for (const auto& row : rows) {
    const Result r = runTool(std::string(row.args) + " </dev/null");
    EXPECT_EQ(r.status, row.status) << row.args;
    EXPECT_EQ(r.out, row.out ? row.out : r.out) << row.args;
  }
  const Result mime = runTool("value --dialect mime 'text/html;q=0.5'");
  EXPECT_EQ(mime.out.find("token\tname\ttext/html;q=0.5"), std::string::npos) << "not a MIME name";
  EXPECT_NE(mime.out.find("token\tname\ttext\ntoken\tchar\tU+002F\t/\ntoken\tname\thtml\n"),
            std::string::npos)
      << mime.out;
  EXPECT_NE(runTool("value '{size: 1pt 2pt; .: x}'").out.find("parsed\tcompound\t-\t{size: 1pt 2pt; .: x}\n"),
            std::string::npos);
  const Result strict = runTool("value --dialect css-strict-unit 10px-5px");
  EXPECT_NE(strict.out.find("value\treal\tpx\t10px\nvalue\treal\tpx\t-5px\n"), std::string::npos)
      << strict.out;
  const std::string path = testing::TempDir() + "value-tool-input.txt";
  std::ofstream(path) << "cmyk(0,0,0,1) k100";
  const Result stdinText = runTool("value - < '" + path + "'");
  std::remove(path.c_str());
  EXPECT_NE(stdinText.out.find("value\tname\tname\tk100\tcolor cmyk srgb #000000\n"), std::string::npos)
      << stdinText.out;
}

TEST(ValueTool, DemoShowsValues) {
  const Result r = runTool("demo");
  EXPECT_EQ(r.status, 0);
  for (const char* line : {"1in = 72pt = 25.4mm = 96px at 96dpi", "1cm + 1in = 100.346pt",
                           "50% * 10pt = 5pt", "hsl(30,100%,50%)"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
}

} // namespace
