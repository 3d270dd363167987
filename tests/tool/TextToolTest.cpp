#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

TEST(TextTool, EncodingAndCharCommands) {
  const ToolRow rows[] = {
      {"encoding latin-1 shift-jis ''", 0,
       "latin-1\tISO_8859-1:1987\tISO-8859-1\n"
       "shift-jis\tShift_JIS\tWINDOWS31J\n"
       "\tUTF-8\t\n"},
      {"encoding", 2, nullptr},
      {"encoding --bogus", 2, nullptr},
      {"encoding --help", 0, nullptr},
      {"char 'a:'", 0,
       "U+0061\ta\tgc=Ll\tea=Na\tlb=AL\txml=name-start\twidth=hankaku\tvo=R\n"
       "U+003A\t:\tgc=Po\tea=Na\tlb=IS\txml=colon\twidth=hankaku\tvo=R\n"},
      {"char -- -", 0, nullptr}, // after "--" a dash reads standard input (empty here)
      {"char \"$(printf '\\343\\200\\214\\357\\275\\261\\360\\237\\230\\200')\"", 0,
       "U+300C\t\xE3\x80\x8C\tgc=Ps\tea=W\tlb=OP\txml=name-start\twidth=zenkaku\tvo=Tr\n"
       "U+FF71\t\xEF\xBD\xB1\tgc=Lo\tea=H\tlb=ID\txml=name-start\twidth=hankaku\tvo=R\n"
       "U+1F600\t\xF0\x9F\x98\x80\tgc=So\tea=W\tlb=ID\txml=name-start\twidth=zenkaku\tvo=U\n"},
      {"char \"$(printf '\\377')\"", 1, "U+FFFD\t\xEF\xBF\xBD\tgc=So\tea=A\tlb=AI\txml=name-start\twidth=-\tvo=U\n"},
      {"char", 2, nullptr},
  };
  expectToolRows(rows);
}

TEST(TextTool, EncodingDetect) {
  const std::string dir = testing::TempDir();
  const std::string declared = dir + "ekdetect-declared.xml", sjis = dir + "ekdetect-sjis.txt";
  std::ofstream(declared) << "<?xml version=\"1.0\" encoding=\"EUC-JP\"?><a/>";
  // Japanese text in Shift_JIS without a declaration, for the charset detector.
  std::ofstream(sjis) << "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xc5\x82\xb7\x81\x42"
                         "\x82\xb1\x82\xea\x82\xcd\x95\xb6\x8e\x9a\x83\x52\x81\x5b\x83\x68\x82\xcc\x94\xbb\x92\xe8\x82\xcc"
                         "\x82\xbd\x82\xdf\x82\xcc\x95\xb6\x8f\xcd\x82\xc5\x82\xb7\x81\x42";
  const struct {
    std::string args;
    int status;
    std::string out;
  } rows[] = {
      {"encoding --detect '" + declared + "' '" + sjis + "' /dev/null", 0,
       declared + "\tEUC-JP\n" + sjis + "\tShift_JIS\n/dev/null\t\n"},
      {"encoding --detect /nonexistent/ekdetect '" + dir + "' '" + declared + "'", 1, declared + "\tEUC-JP\n"},
      {"encoding --detect -", 0, "-\t\n"},
      {"encoding --detect", 2, ""},
  };
  for (const auto& row : rows) {
    const ToolResult r = runTool(row.args + " </dev/null");
    EXPECT_EQ(r.status, row.status) << row.args;
    EXPECT_EQ(r.out, row.out) << row.args;
  }
  std::remove(declared.c_str());
  std::remove(sjis.c_str());
}

} // namespace
