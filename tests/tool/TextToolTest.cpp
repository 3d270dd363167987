#include "ToolRunner.h"

#include <gtest/gtest.h>

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

} // namespace
