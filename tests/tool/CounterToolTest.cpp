#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST(CounterTool, StylesFormatsAndKansuji) {
  const ToolRow rows[] = {
      {"counter upper-roman 1999 4000 -- -3", 0,
       "1999\tMCMXCIX\t\"MCMXCIX. \"\n4000\t4000\t\"4000. \"\n-3\t-3\t\"-3. \"\n"},
      {"counter Japanese-Formal 12", 0, "12\t壱拾弐\t\"壱拾弐、\"\n"},
      {"counter decimal 5 x 99999999999999999999 -7", 1, "5\t5\t\"5. \"\n-7\t-7\t\"-7. \"\n"},
      {"counter no-such-style 1", 1, ""},
      {"counter decimal", 2, nullptr},
      {"counter", 2, nullptr},
      {"counter --format '(i)' 1 14", 0, "1\t(i)\n14\t(xiv)\n"},
      {"counter --format 1 --grouping , 3 1234567", 0, "1234567\t1,234,567\n"},
      {"counter --format i --letter-value alphabetic 3", 0, "3\tk\n"},
      {"counter --format 一 --lang zh-CN 12", 0, "12\t十二\n"},
      {"counter --format 1 --grouping , 0 5", 2, nullptr},
      {"counter --format 1 --letter-value roman 5", 2, nullptr},
      {"counter --format", 2, nullptr},
      {"counter --format '' 7", 0, "7\t7\n"},
      {"counter --kansuji readable 12345 100000000000000000000000", 0,
       "12345\t一万二千三百四十五\n100000000000000000000000\t千垓\n"},
      {"counter --kansuji grouping --digits latin 100050000", 0, "100050000\t１億５万\n"},
      {"counter --kansuji readable 12x", 1, ""},
      {"counter --kansuji fancy 1", 2, nullptr},
      {"counter --kansuji simple --format 1 1", 2, nullptr},
      {"counter --list extra", 2, nullptr},
      {"counter --bogus", 2, nullptr},
  };
  expectToolRows(rows);
}

TEST(CounterTool, ListShowsEveryStyle) {
  const ToolResult r = runTool("counter --list");
  EXPECT_EQ(r.status, 0);
  for (const char* line : {"decimal\tnumeric\t1 2 3 4 5 6 7 8 9 10\n",
                           "lower-roman\tadditive\ti ii iii iv v vi vii viii ix x\n",
                           "kansuji\tkansuji\t一 二 三 四 五 六 七 八 九 十\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line;
  EXPECT_GT(std::count(r.out.begin(), r.out.end(), '\n'), 200);
}

TEST(CounterTool, LangAndScript) {
  const ToolRow rows[] = {
      {"lang ja zh-TW none", 0,
       "ja\ttag=ja\tfull=ja\tiso3=jpn\tlcid=17\tname=856\tscript=Jpan (Jpan)\n"
       "zh-TW\ttag=zh-TW\tfull=zh-TW\tiso3=zho-TW\tlcid=1028\tname=1637\tscript=Hant (Hant)\n"
       "none\tnull language\n"},
      {"lang xq en", 1, "en\ttag=en\tfull=en\tiso3=eng\tlcid=9\tname=568\tscript=Latn (Latin)\n"},
      {"lang", 2, nullptr},
      {"script '123 abc' 'abc \xE3\x81\x82'", 0,
       "script=Latn (Latin)\tfirst=Latn (Latin)\tclasses=latin-group\n"
       "script=Hira (Hiragana)\tfirst=Latn (Latin)\tclasses=cjk,cjk-justify,kana,ja\n"},
      {"script \"$(printf '\\377')\"", 1, nullptr},
      {"script", 2, nullptr},
  };
  expectToolRows(rows);
}

} // namespace
