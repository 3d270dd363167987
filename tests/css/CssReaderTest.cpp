// The reader under the CSS grammar: error recovery skips balanced brackets, trials leave no trace,
// and errors carry positions.
#include "ekcommon/css/internal/EKCssReader.h"
#include "support/TestStrings.h"

#include <ekcommon/ekcommon.h>

#include <gtest/gtest.h>

#include <string>

using namespace EKCommonNS;

namespace {

struct Sheet {
  explicit Sheet(const char* text) : chars(u(text).getTerminatedBuffer()) {
    lineStarts = cssLineStarts(chars.c_str(), static_cast<int32_t>(chars.size()));
  }
  std::u16string chars;
  std::vector<uint32_t> lineStarts;
};

// The text of the token after the skip, or "ERROR code" when the skip failed.
std::string afterSkip(const char* text, bool statement) {
  Sheet sheet(text);
  EKCssReader reader(sheet.chars.data(), &sheet.lineStarts, 0, 0, UnicodeString());
  reader.next(); // the first token belongs to the statement
  const bool skipped = statement ? reader.skipStatement() : reader.skipTo(u')');
  if (!skipped)
    return "ERROR " + std::to_string(reader.getErrors().back().getErrorCode());
  reader.nextSignificant();
  return utf8(reader.text()) + (reader.kind() == CSS_EOF ? "<EOF>" : "");
}

TEST(CssReader, RecoverySkipsBalancedBrackets) {
  const struct {
    const char* text;
    bool statement;
    const char* next;
  } rows[] = {
      {"a b; next", true, "next"},
      {"a (b; c) [d; e] ; next", true, "next"},
      {"a { b; { c } (}) } next", true, "next"},
      {"a url(x;y) ; next", true, "next"},
      {"a b", true, "<EOF>"},
      {"a (b", true, "ERROR 936"},
      {"a { b", true, "ERROR 936"},
      {"a (b) c) next", false, "next"},
      {"a [)] ) next", false, "next"},
      {"a (", false, "ERROR 936"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(afterSkip(row.text, row.statement), row.next) << row.text;
}

TEST(CssReader, TrialsLeaveNoTraceAndErrorsHavePositions) {
  Sheet sheet("a\n  b c");
  EKCssReader reader(sheet.chars.data(), &sheet.lineStarts, 10, 5, u("s.css"));
  reader.nextSignificant();
  reader.nextSignificant(); // b
  const EKCssReader::Trial trial = reader.beginTrial();
  reader.error(954, u("b"));
  reader.nextSignificant(); // c
  reader.endTrial(trial, false);
  EXPECT_TRUE(reader.getErrors().empty());
  EXPECT_EQ(reader.getLastError(), 0);
  EXPECT_EQ(reader.next(), CSS_IDENT);
  EXPECT_EQ(utf8(reader.text()), "b");
  reader.error(954, u("b"));
  ASSERT_EQ(reader.getErrors().size(), 1u);
  const EKError& error = reader.getErrors()[0];
  EXPECT_EQ(error.getLineNumber(), 12);
  EXPECT_EQ(error.getColumnNumber(), 3);
  EXPECT_EQ(utf8(error.getRawMessage()), "Unexpected token: 'b': s.css");
  EXPECT_EQ(reader.getLastError(), 954);
  EXPECT_EQ(utf8(reader.slice(0, 5)), "a\n  b");
}

} // namespace
