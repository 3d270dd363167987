// Loading style sheets: byte-order marks, zero-byte patterns, @charset at the start, transport
// and default encodings, and the failures of fetching and decoding.
#include "resources/ResourceTestUtil.h"
#include "support/TestStrings.h"

#include <ekcommon/css/internal/EKCssSheetLoader.h>

#include <sstream>

using namespace EKCommonNS;

namespace {

EKUri pathUri(const std::string& path) { return EKUri(u(path.c_str()), EKUri::URISTR_PATH); }

std::string utf16le(const std::string& ascii) {
  std::string out;
  for (char c : ascii)
    out += std::string(1, c) + '\0';
  return out;
}

// `@charset "  ISO-8859-1";` with its closing quote at `quoteIndex`, then a Latin-1 e-acute.
std::string paddedRule(size_t quoteIndex) {
  return "@charset \"" + std::string(quoteIndex - 20, ' ') + "ISO-8859-1\";\xE9";
}

const char* const LATIN1 = "ISO_8859-1:1987"; // the standard name of ISO-8859-1 and its aliases
const char* const E_ACUTE = "\xC3\xA9";

struct DecodeCase {
  const char* label;
  std::string bytes;
  const char* transport; // null: no content information given
  const char* defaultEncoding;
  uint16_t code;
  std::string detail;   // success: the decoded text; failure: the issue's arguments joined by '|'
  const char* encoding; // on success
};

const DecodeCase DECODE_CASES[] = {
    {"utf8 mark", "\xEF\xBB\xBFp{}", nullptr, "", 0, "p{}", "UTF-8"},
    {"utf16be mark", std::string("\xFE\xFF\0p\0{", 6), nullptr, "", 0, "p{", "UTF-16BE"},
    {"utf16le mark", std::string("\xFF\xFEp\0{\0", 6), nullptr, "", 0, "p{", "UTF-16LE"},
    {"utf32le mark", std::string("\xFF\xFE\0\0p\0\0\0", 8), nullptr, "", 0, "p", "UTF-32LE"},
    {"utf32be mark", std::string("\0\0\xFE\xFF\0\0\0p", 8), nullptr, "", 0, "p", "UTF-32BE"},
    {"utf16be zeros", std::string("\0p\0{", 4), nullptr, "", 0, "p{", "UTF-16BE"},
    {"utf16le zeros", std::string("p\0{\0", 4), nullptr, "", 0, "p{", "UTF-16LE"},
    {"utf32le zeros", std::string("p\0\0\0", 4), nullptr, "", 0, "p", "UTF-32LE"},
    {"utf32be zeros", std::string("\0\0\0p", 4), nullptr, "", 0, "p", "UTF-32BE"},
    {"one mark stripped", "\xEF\xBB\xBF\xEF\xBB\xBFp", nullptr, "", 0, "\xEF\xBB\xBFp", "UTF-8"},
    {"broken utf8 mark", "\xEF\xBB\x41", nullptr, "", 933, "", ""},
    {"empty file", "", nullptr, "", 931, "", ""},
    {"mark only", "\xEF\xBB\xBF", nullptr, "", 935, "UTF-8", ""},
    {"charset rule", "@charset \" latin1 \";\xE9", nullptr, "UTF-8", 0, "@charset \" latin1 \";\xC3\xA9", LATIN1},
    {"rule ends at 1022", paddedRule(1022), nullptr, "", 0, paddedRule(1022).replace(1024, 1, E_ACUTE), LATIN1},
    {"rule ends at 1023", paddedRule(1023), nullptr, "", 0, paddedRule(1023).replace(1025, 1, "\xEF\xBF\xBD"),
     "UTF-8"},
    {"single quotes", "@charset 'latin1';\xC3\xA9", nullptr, "", 0, "@charset 'latin1';\xC3\xA9", "UTF-8"},
    {"upper case", "@CHARSET \"latin1\";\xC3\xA9", nullptr, "", 0, "@CHARSET \"latin1\";\xC3\xA9", "UTF-8"},
    {"space before semicolon", "@charset \"latin1\" ;\xC3\xA9", nullptr, "", 0, "@charset \"latin1\" ;\xC3\xA9",
     "UTF-8"},
    {"twelve bytes", "@charset \"\";", nullptr, "", 0, "@charset \"\";", "UTF-8"},
    {"thirteen bytes", "@charset \"x\";", nullptr, "", 935, "X", ""},
    {"transport wins over rule", "@charset \"UTF-8\";\xE9", "latin1", "", 0, "@charset \"UTF-8\";\xC3\xA9", LATIN1},
    {"empty transport", "@charset \"latin1\";\xE9", "", "", 0, "@charset \"latin1\";\xC3\xA9", LATIN1},
    {"utf16 conflicts with rule", utf16le("@charset \"UTF-8\";p"), "UTF-16LE", "", 934, "UTF-8|UTF-16LE", ""},
    {"utf16 agrees with rule", utf16le("@charset \"utf-16le\";"), nullptr, "", 0, "@charset \"utf-16le\";",
     "UTF-16LE"},
    {"mark overrides rule", "\xFF\xFE" + utf16le("@charset \"UTF-8\";p"), "", "", 0, "@charset \"UTF-8\";p",
     "UTF-16LE"},
    {"default encoding", "p{content:'\xE9'}", nullptr, "latin1", 0, "p{content:'\xC3\xA9'}", LATIN1},
    {"unsupported default", "p{}", nullptr, "x-no-such-charset", 935, "X-NO-SUCH-CHARSET", ""},
};

TEST(CssSheetLoaderTest, FileBytesDecodeAsExpected) {
  ScratchDir dir;
  const EKUri uri = pathUri(dir / "sheet.css");
  for (const DecodeCase& c : DECODE_CASES) {
    SCOPED_TRACE(c.label);
    writeFile(dir / "sheet.css", c.bytes);
    EKUri::ContentInfo info;
    info.charset = u(c.transport ? c.transport : "");
    const EKCssSheetLoader::Result r =
        EKCssSheetLoader(c.transport ? &info : nullptr).load(nullptr, uri, u(c.defaultEncoding), {});
    EXPECT_EQ(r.errorCode, c.code);
    EXPECT_EQ(r.inputUri, uri);
    if (c.code == 0) {
      EXPECT_EQ(utf8(UnicodeString(r.text.data(), static_cast<int32_t>(r.text.size()))), c.detail);
      EXPECT_EQ(utf8(r.encoding), c.encoding);
      EXPECT_TRUE(r.issues.empty());
      continue;
    }
    ASSERT_EQ(r.issues.size(), 1u);
    std::string args;
    for (const UnicodeString& arg : r.issues[0].args)
      args += (args.empty() ? "" : "|") + utf8(arg);
    EXPECT_EQ(r.issues[0].code, c.code);
    EXPECT_EQ(args, c.detail);
    EXPECT_EQ(utf8(r.issues[0].path), dir / "sheet.css");
    EXPECT_TRUE(r.text.empty());
  }
}

TEST(CssSheetLoaderTest, FetchFailuresAndSources) {
  struct {
    const char* uri; // relative to the scratch directory unless it has a scheme; "" for none
    bool inAncestors;
    uint16_t code;
    const char* text;
  } cases[] = {
      {"", false, 929, ""},
      {"absent.css", false, 930, ""},
      {"sheet.css", true, 943, ""},
      {"sheet.css", false, 0, "p{}"},
      {"data:text/css;base64,//5wAA==", false, 0, "p"},
      // The charset parameter of a data: URI is not a transport charset: C3 A9 stays UTF-8.
      {"data:text/css;charset=ISO-8859-1;base64,w6k=", false, 0, E_ACUTE},
  };
  ScratchDir dir;
  writeFile(dir / "sheet.css", "p{}");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.uri);
    const std::string name = c.uri;
    const bool hasScheme = name.find(':') != std::string::npos;
    const EKUri uri = name.empty() ? EKUri() : hasScheme ? EKUri(u(c.uri)) : pathUri(dir / name);
    std::vector<UnicodeString> ancestors = {u("file:///elsewhere.css")};
    if (c.inAncestors)
      ancestors.push_back(uri.toString());
    EKUri::ContentInfo info;
    const EKCssSheetLoader::Result r = EKCssSheetLoader(&info).load(nullptr, uri, UnicodeString(), ancestors);
    EXPECT_EQ(r.errorCode, c.code);
    EXPECT_EQ(utf8(UnicodeString(r.text.data(), static_cast<int32_t>(r.text.size()))), c.text);
    ASSERT_EQ(r.issues.size(), c.code ? 1u : 0u);
    if (c.code) {
      EXPECT_EQ(utf8(r.issues[0].path), name.empty() ? "" : utf8(uri.getLocalPath()));
    }
  }
}

TEST(CssSheetLoaderTest, GivenStreamIsReadInsteadOfTheUri) {
  const EKUri uri = pathUri("/no/such/dir/sheet.css");
  // Longer than the converter's and the buffer's blocks, so that units split across reads.
  std::string bytes = "\xFF\xFE", expected;
  for (int i = 0; i < 20001; ++i) {
    bytes += std::string(1, static_cast<char>('a' + i % 26)) + '\0';
    expected += static_cast<char>('a' + i % 26);
  }
  std::istringstream good(bytes);
  const EKCssSheetLoader::Result r = EKCssSheetLoader().load(&good, uri, UnicodeString(), {uri.toString()});
  EXPECT_EQ(r.errorCode, 0);
  EXPECT_EQ(utf8(UnicodeString(r.text.data(), static_cast<int32_t>(r.text.size()))), expected);
  EXPECT_TRUE(r.inputUri.isEmpty());

  std::istringstream broken("p{}");
  broken.setstate(std::ios::failbit);
  const EKCssSheetLoader::Result failed = EKCssSheetLoader().load(&broken, uri, UnicodeString(), {});
  EXPECT_EQ(failed.errorCode, 932);
  ASSERT_EQ(failed.issues.size(), 1u);
  EXPECT_EQ(utf8(failed.issues[0].path), "/no/such/dir/sheet.css");
}

} // namespace
