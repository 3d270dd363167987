#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <stdexcept>

using namespace EKCommonNS;

namespace {

TEST(Error, LevelsFromCodeBits) {
  const struct {
    unsigned short code;
    EKErrorLevel level;
  } rows[] = {{0, EKERROR_LEVEL_FATAL},       {0x0100, EKERROR_LEVEL_FATAL},   {0x0080, EKERROR_LEVEL_FATAL},
              {0x0205, EKERROR_LEVEL_WARNING}, {0x0280, EKERROR_LEVEL_WARNING}, {0x0300, EKERROR_LEVEL_ERROR},
              {0x0380, EKERROR_LEVEL_INFO},    {0xFF7F, EKERROR_LEVEL_ERROR}};
  for (const auto& row : rows)
    EXPECT_EQ(getErrorLevel(row.code), row.level) << std::hex << row.code;
  EXPECT_EQ(EKError(0x1C05, u("x")).getErrorCategory(), 0x1C00);
}

TEST(Error, PositionAndMessages) {
  const EKError none;
  EXPECT_EQ(none.getErrorCode(), 0);
  EXPECT_EQ(none.getLineNumber(), -1);
  EXPECT_NO_THROW(none.throwFatalError());

  EKError error(3, u("raw"));
  EXPECT_EQ(error.getMessage(), u("raw")) << "no position, no tail";

  struct Row {
    int line, column;
    const char* uri;
    const char* position;
  };
  const Row rows[] = {
      {3, 7, "file:///home/a/b%20c.xml", "Line 3, Col 7, /home/a/b c.xml"},
      {0, 5, "", "Col 5, "},
      {-1, 0, "", ""},
      {12, -3, "http://h/x.css", "Line 12, http://h/x.css"},
      {-1, -1, "file:///C:/d/x.xml", "C:/d/x.xml"},
  };
  for (const Row& row : rows) {
    EKError e(0x301, u("Bad thing."), u("origin"), row.line, row.column, u(row.uri));
    EXPECT_EQ(e.getPositionDescription(), u(row.position)) << row.position;
    const UnicodeString full = e.getMessage();
    e.setMessage(full);
    EXPECT_EQ(e.getRawMessage(), u("Bad thing.")) << "setMessage(getMessage()) is a no-op";
    EXPECT_EQ(e.getMessage(), full);
  }

  EKError appended(5, u("a"));
  appended.appendMessage(u(""));
  EXPECT_EQ(appended.getRawMessage(), u("a"));
  appended.appendMessage(u("b"));
  EXPECT_EQ(appended.getRawMessage(), u("a\nb"));
  EKError empty(5, u(""));
  empty.appendMessage(u("b"));
  EXPECT_EQ(empty.getRawMessage(), u("b"));

  EXPECT_THROW(EKError(5, u("fatal")).throwFatalError(), EKError);
  EXPECT_NO_THROW(EKError(0x205, u("warning")).throwFatalError());

  std::bad_alloc oom;
  EXPECT_EQ(EKError(oom, u("")).getRawMessage(), u("SYSTEM ERROR: Out of memory."));
  std::runtime_error failure("disk on fire");
  const EKError wrapped(failure, u(""));
  EXPECT_EQ(wrapped.getErrorCode(), 2);
  EXPECT_EQ(wrapped.getRawMessage(), u("SYSTEM ERROR: C++ exception: disk on fire"));

  EXPECT_EQ(EKError::getLastErrorMessage(ENOENT, nullptr), u("No such file or directory"));
  EXPECT_TRUE(EKError::getLastErrorMessage(0, nullptr).isEmpty());
  EXPECT_TRUE(EKError::getLastErrorMessage(999999, nullptr).isEmpty());
}

TEST(Error, CommonCodesThrowTheirMessages) {
  struct Row {
    unsigned short code;
    const char* text;
    const char* second;
    const char* message;
    const char* uri;
  };
  const Row rows[] = {
      {3, "", "", "SYSTEM ERROR: arg is null.", ""},
      {3, "node", "", "SYSTEM ERROR: node is null.", ""},
      {4, "i", "", "SYSTEM ERROR: Argument is out of range.", ""},
      {6, "newChild", "", "SYSTEM ERROR: newChild is created from a different document.", ""},
      {7, "", "", "SYSTEM ERROR: arg is not an EKAttr object.", ""},
      {8, "a", "", "SYSTEM ERROR: a is an EKAttr that is already an attribute of another EKElement object.", ""},
      {9, "old", "", "SYSTEM ERROR: old is not a child of this node.", ""},
      {11, "", "", "SYSTEM ERROR: Cannot set a value on node type.", ""},
      {11, "Element", "", "SYSTEM ERROR: Cannot set a value on node type: Element", ""},
      {12, "", "", "SYSTEM ERROR: startDocument() must be called just after setOutput().", ""},
      {13, "", "", "SYSTEM ERROR: attribute() must be called just after startTag().", ""},
      {14, "", "", "SYSTEM ERROR: Unexpected endTag().", ""},
      {15, "b", "a", "SYSTEM ERROR: End tag 'b' does not match the start tag 'a'.", ""},
      {16, "", "", "SYSTEM ERROR: Unexpected docdecl().", ""},
      {18, "", "", "SYSTEM ERROR: Unsupported node type.", ""},
      {67, "/x.xml", "", "Cannot open file.", "/x.xml"},
      {68, "/x.xml", "", "Unexpected end of input stream.", "/x.xml"},
      {69, "", "", "Output stream is not set.", ""},
      {70, "/in", "", "Input stream error.", "/in"},
      {71, "/out", "", "Output stream error.", ""},
      {77, "/tmp/t", "", "Cannot remove temporary file: /tmp/t", ""},
      {78, "/tmp/t", "", "Cannot create temporary file: /tmp/t", ""},
      {128, "", "", "", ""},
      {517, "c.xml", "", "Cannot open file.", "c.xml"},
      {518, "c.xml", "", "Not an XML Catalog file.", "c.xml"},
      {42, "x", "", "SYSTEM ERROR: EKErrorCodeCOMMON", ""},
  };
  for (const Row& row : rows) {
    try {
      throwCommonError(row.code, u(row.text), u(row.second));
      ADD_FAILURE() << "code " << row.code << " did not throw";
    } catch (const EKError& e) {
      EXPECT_EQ(e.getErrorCode(), row.code);
      EXPECT_EQ(e.getRawMessage(), u(row.message)) << row.code;
      EXPECT_EQ(e.getUri(), u(row.uri)) << row.code;
      EXPECT_EQ(e.getLineNumber(), -1);
      EXPECT_EQ(e.getColumnNumber(), -1);
    }
  }
}

TEST(Error, MessagePatterns) {
  EXPECT_EQ(EKMessage("Unsupported encoding ''{1}''{0}", u(" in x.css"), u("foo")).toString(),
            u("Unsupported encoding 'foo' in x.css"));
  EXPECT_EQ(EKMessage(u("{4}{3}{2}{1}{0}"), u("a"), u("b"), u("c"), u("d"), u("e")).toString(), u("edcba"));
  EXPECT_EQ(EKMessage("no arguments").toString(), u("no arguments"));
  EXPECT_TRUE(EKMessage("broken {0").toString().isEmpty());
  EXPECT_EQ(static_cast<const UnicodeString&>(EKMessage("caf\xC3\xA9 {0}", u("1"))), u("caf\xC3\xA9 1"));
}

TEST(Error, MessageLogByteForByte) {
  std::ostringstream out;
  {
    EKErrorXML log(out, u("ekcommon"), u("1.0"), u(""), u(""));
    log.errorMessage(EKError(0x301, u("Bad <value> & \"quotes\""), u(""), 3, 7, u("file:///a?b=\"1\"&c")));
    log.errorMessage(0x205, u("ends with newline\n"), 0, -1, u(""));
    log.errorMessage(0, u("ignored"), 1, 1, u(""));
    log.errorMessage(u("plain"));
    log.errorMessage(u(""));
    log.infoMessage(u("done > 1"));
  }
  EXPECT_EQ(out.str(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<errors xmlns=\"http://ns.ekcommon.org/names/Error\" application=\"ekcommon\" version=\"1.0\">\n"
            "<error level=\"3\" code=\"769\" line=\"3\" column=\"7\" source=\"file:///a?b=&quot;1&quot;&amp;c\">\n"
            "Bad &lt;value&gt; &amp; \"quotes\"\n"
            "</error>\n"
            "<error level=\"2\" code=\"517\">\n"
            "ends with newline\n"
            "</error>\n"
            "<error>\n"
            "plain\n"
            "</error>\n"
            "<info>done &gt; 1</info>\n"
            "</errors>\n");

  std::ostringstream prefixed;
  {
    EKErrorXML log(prefixed, u(""), u(""), u("(c) x"), u("e"));
    log.errorMessage(EKError(0x380, u("note")));
  }
  EXPECT_EQ(prefixed.str(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<e:errors xmlns:e=\"http://ns.ekcommon.org/names/Error\" copyright=\"(c) x\">\n"
            "<e:error level=\"1\" code=\"896\">\n"
            "note\n"
            "</e:error>\n"
            "</e:errors>\n");
}

} // namespace
