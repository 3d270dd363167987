#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

using namespace EKCommonNS;

namespace {

TEST(Uri, ConstructionNormalisesEachKindOfString) {
  struct Row {
    const char* in;
    EKUri::URISTRTYPE type;
    const char* out;
  };
  const Row rows[] = {
      {"C:\\dir\\a b.xml", EKUri::URISTR_DETECT, "file:///C:/dir/a%20b.xml"},
      {"\\\\server\\share\\x.xml", EKUri::URISTR_DETECT, "file://server/share/x.xml"},
      {"http://h/a b", EKUri::URISTR_DETECT, "http://h/a b"}, // a scheme makes it valid as it is
      {"a b.xml", EKUri::URISTR_URI, "a%20b.xml"},
      {"100%.xml", EKUri::URISTR_URI, "100%25.xml"},
      {"a%20b.xml", EKUri::URISTR_URI, "a%20b.xml"},
      {"/home/a/b.xml", EKUri::URISTR_DETECT, "/home/a/b.xml"}, // POSIX paths stay scheme-less
      {"C:/x?q", EKUri::URISTR_URI, "file:///C:/x"},
      {"url('pic.png')", EKUri::URISTR_WINPATH, "pic.png"},
      {"url( \"a b.png\" )", EKUri::URISTR_WINPATH, "a%20b.png"},
      {"linear-gradient(red, blue)", EKUri::URISTR_WINPATH, "linear-gradient(red,%20blue)"},
      {"'quoted.png'", EKUri::URISTR_PATH, "quoted.png"},
      {"", EKUri::URISTR_DETECT, ""},
      {"   ", EKUri::URISTR_URI, "   "},
      {"caf\xC3\xA9.xml", EKUri::URISTR_URI, "caf\xC3\xA9.xml"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(utf8(EKUri(u(row.in), row.type).toString()), row.out) << row.in;
}

TEST(Uri, ResolutionAgainstBases) {
  struct Row {
    const char* base;
    const char* ref;
    const char* out;
  };
  const Row rows[] = {
      {"file:///C:/doc/a.xml", "img/p.png", "file:///C:/doc/img/p.png"},
      {"file:///C:/doc/a.xml", "../p.png", "file:///C:/p.png"},
      {"file:///C:/doc/a.xml", "/p.png", "file:///C:/p.png"},
      {"file:///C:/doc/a.xml", "img\\a b.png", "file:///C:/doc/img/a%20b.png"},
      {"file:///C:/doc/a.xml", "file:///x.png", "file:///C:/x.png"},
      {"file:///C:/doc/a.xml", "file:/D:/y.png?q", "file:///D:/y.png"},
      {"file:///C:/doc/a.xml", "file:z.png", "file:///C:/doc/z.png"},
      {"file:///C:/doc/a.xml", "./x/./y/../z.png", "file:///C:/doc/x/z.png"},
      {"file:///home/u/doc.xml", "#sec", "#sec"},
      {"file://srv/share/d/a.xml", "b.xml", "file://srv/share/d/b.xml"},
      {"http://h/dir/page?q=1", "a.css", "http://h/dir/a.css"},
      {"HTTP://h/dir/page", "/img/p.png", "http://h/img/p.png"},
      {"https://h", "x.png", "https://h/x.png"},
      {"http://h/dir/page", "//cdn/x.js", "http://cdn/x.js"},
      {"http://h/dir/page", "c.html#top", "http://h/dir/c.html#top"},
      {"http://h/dir/page", "https://other/y", "https://other/y"},
      {"jar:file:///C:/a.zip!/d/x.xml", "y.xml", "jar:file:///C:/a.zip!/d/y.xml"},
      {"jar:file:///C:/a.zip!/d/x.xml", "/top.xml", "jar:file:///C:/a.zip!/top.xml"},
      {"file:///C:/doc/a.xml", "jar:b.zip!/e.xml", "jar:file:///C:/doc/b.zip!/e.xml"},
      {"doc.xml", "x/y", "x/y"},
      {"/home/u/doc.xml", "img/p.png", "/home/u/img/p.png"},
      {"//srv/share", "p.png", "//srv/p.png"},
      {"//srv/share/", "p.png", "//srv/share/p.png"},
      {"data:text/plain,abc", "x.png", "data:text/x.png"},
      {"data:text/plain,abc", "http://h/y.png", "http://h/y.png"},
      {"file:///C:/doc/a.xml", "  ", ""},
      {"", "a b.png", "a%20b.png"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(utf8(EKUri(EKUri(u(row.base)), u(row.ref)).toString()), row.out) << row.base << " + " << row.ref;
}

TEST(Uri, LocalPathsFileNamesAndExtensions) {
  struct Row {
    const char* uri;
    const char* localPath;
    const char* fileName;
    const char* extension;
    const char* baseString;
  };
  const Row rows[] = {
      {"file:///C:/a%20b/c", "C:/a b/c", "c", "", "C:/a b/"},
      {"file://srv/sh/f.txt", "//srv/sh/f.txt", "f.txt", ".txt", "//srv/sh/"},
      {"file:///home/a/b%20c.xml", "/home/a/b c.xml", "b c.xml", ".xml", "/home/a/"},
      {"file:rel/x.y", "rel/x.y", "x.y", ".y", "rel/"},
      {"file:///a/b.tar.gz?x#y", "/a/b.tar.gz?x#y", "b.tar.gz?x#y", ".gz", "/a/"},
      {"file:///a/", "/a/", "", "", "/a/"},
      {"http://h/p.d/page", "http://h/p.d/page", "page", "", "http://h/p.d/"},
      {"name.css", "name.css", "name.css", ".css", "./"},
      {"data:text/plain,a/b.c", "data:text/plain,a/b.c", "", "", ""},
  };
  for (const Row& row : rows) {
    const EKUri uri(u(row.uri), EKUri::URISTR_URI);
    EXPECT_EQ(utf8(uri.getLocalPath()), row.localPath) << row.uri;
    EXPECT_EQ(utf8(uri.getFileName()), row.fileName) << row.uri;
    EXPECT_EQ(utf8(uri.getExtension()), row.extension) << row.uri;
    EXPECT_EQ(utf8(uri.getBaseString()), row.baseString) << row.uri;
  }
  EXPECT_EQ(EKUri::getLocalPath(u("http://x/y")), u("http://x/y"));
  EXPECT_EQ(EKUri::getLocalPath(u("file:///tmp/a%25")), u("/tmp/a%"));

  std::string longData = "data:text/plain,";
  longData.append(200, 'x');
  const UnicodeString shortened = EKUri(u(longData.c_str())).getLocalPath(true);
  EXPECT_EQ(shortened.length(), 131);
  EXPECT_TRUE(shortened.endsWith(u("...")));
}

TEST(Uri, EditingAndRelativeReferences) {
  EKUri uri(u("file:///C:/a/b.xml#frag"), EKUri::URISTR_URI);
  EXPECT_EQ(uri.setExtension(u(".pdf")), u(".xml"));
  EXPECT_EQ(uri.toString(), u("file:///C:/a/b.pdf#frag"));
  EXPECT_EQ(uri.removeFragment(true), u("frag"));
  EXPECT_EQ(uri.removeFragment(false), u(""));
  EXPECT_EQ(uri.setExtension(nullptr), u(".pdf"));
  EXPECT_EQ(uri.toString(), u("file:///C:/a/b"));
  EXPECT_EQ(uri.toDirectory(), u("file:///C:/a/b/"));
  EXPECT_EQ(uri.toDirectory(), u("file:///C:/a/b/"));
  EXPECT_TRUE(uri.isDirectory());
  EXPECT_TRUE(uri.setExtension(u(".x")).isBogus());

  struct Row {
    const char* uri;
    const char* base;
    const char* relative;
  };
  const Row rows[] = {
      {"file:///C:/a/b/c.png", "file:///C:/a/d/e.html", "../b/c.png"},
      {"file:///C:/a/c.png", "file:///C:/a/e.html", "c.png"},
      {"file:///C:/a/b/c.png", "file:///C:/a/e.html", "b/c.png"},
      {"file:///C:/c.png", "file:///C:/a/b/e.html", "../../c.png"},
      {"http://h/x.png", "file:///C:/a/e.html", ""},
      {"http://cdn/y.js", "http://h/x/", ""},
      {"http://h/x/y.js", "http://h/z/", "../x/y.js"},
      {"x.png", "", ""},
  };
  for (const Row& row : rows)
    EXPECT_EQ(utf8(EKUri(u(row.uri), EKUri::URISTR_URI).getRelativeUri(u(row.base))), row.relative) << row.uri;

  const EKUri dir(u("file:///C:/Docs/"), EKUri::URISTR_URI);
  EXPECT_TRUE(dir.isDescendantOrSelf(EKUri(u("file:///c:/docs/sub/x.xml"), EKUri::URISTR_URI)));
  EXPECT_FALSE(dir.isDescendantOrSelf(EKUri(u("file:///C:/Other/x.xml"), EKUri::URISTR_URI)));
  EXPECT_TRUE(EKUri(u("file:///C:/A/b.xml")).isSameFile(EKUri(u("file:///c:/a/B.xml"))));
  EXPECT_FALSE(EKUri(u("http://h/b.xml")).isSameFile(EKUri(u("http://h/b.xml"))));
}

TEST(Uri, SchemesAndCharacterClasses) {
  const EKUri http(u("HTTPS://h/x"));
  EXPECT_EQ(http.getScheme(), EKN_https);
  EXPECT_TRUE(http.isHttpScheme());
  EXPECT_TRUE(http.isAbsolute());
  EXPECT_FALSE(http.isFile());
  EXPECT_TRUE(EKUri(u("Jar:file:///a.zip!/x")).isJarScheme());
  EXPECT_TRUE(EKUri(u("DATA:,x")).isDataScheme());
  EXPECT_TRUE(EKUri(u("rel/x.xml")).isFile());
  EXPECT_TRUE(EKUri(u("rel/x.xml")).getScheme().isEmpty());
  EXPECT_EQ(EKUri(u("c:x")).toString(), u("file:///c:x")) << "a drive letter, not a scheme";
  EXPECT_EQ(EKUri(u("ab:x")).getScheme(), EKName(u("ab")));
  EXPECT_FALSE(EKUri().isFile());

  EXPECT_TRUE(EKUri::hasDriveLetter(u("c:x"), 0));
  EXPECT_FALSE(EKUri::hasDriveLetter(u("C"), 0));
  EXPECT_FALSE(EKUri::hasDriveLetter(u("1:"), 0));
  EXPECT_TRUE(EKUri::hasDriveLetter(u("/C:"), 1));
  EXPECT_FALSE(EKUri::hasDriveLetter(u("C:"), 5));

  EXPECT_TRUE(EKUri::isValidUri(u("")));
  EXPECT_TRUE(EKUri::isValidUri(u("a%2Fb")));
  EXPECT_FALSE(EKUri::isValidUri(u("a%2")));
  EXPECT_FALSE(EKUri::isValidUri(u("a%zz")));
  EXPECT_FALSE(EKUri::isValidUri(u("a b")));
  EXPECT_FALSE(EKUri::isValidUri(u("a\"b")));
  for (int c : std::initializer_list<int>{'!', '~', '[', ']', 0xA0, 0x4E00})
    EXPECT_TRUE(EKUri::isValidUriChar(c)) << c;
  for (int c : std::initializer_list<int>{' ', '"', '<', '>', '\\', '^', '`', '{', '|', '}', 0x7F, 0x9F, -1})
    EXPECT_FALSE(EKUri::isValidUriChar(c)) << c;

  EXPECT_EQ(EKUri::escape(u("a b%#\x7f")), u("a%20b%25#%7F"));
  EXPECT_EQ(EKUri::unescape(u("a%20b%C3%A9%e2%82%ac%zz%4")), u("a b\xC3\xA9\xE2\x82\xAC%zz%4"));
  EXPECT_EQ(EKUri::unescape(u("%41%")), u("A%"));
  EXPECT_EQ(EKUri::unescape(u("%FF")), UnicodeString(u'\xFFFD')) << "invalid UTF-8 decodes to U+FFFD";

  UnicodeString path = u("a\\b\\c");
  EXPECT_TRUE(EKUri::backslash2slash(path));
  EXPECT_EQ(path, u("a/b/c"));
  EXPECT_FALSE(EKUri::backslash2slash(path));
  EXPECT_TRUE(EKUri::slash2backslash(path));
  EXPECT_EQ(path, u("a\\b\\c"));
}

TEST(Uri, FileSystemChecks) {
  std::string dirTemplate = testing::TempDir() + "ekuriXXXXXX";
  ASSERT_NE(mkdtemp(&dirTemplate[0]), nullptr);
  const std::string dir = dirTemplate;
  const std::string file = dir + "/a#1.xml";
  FILE* f = std::fopen(file.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);

  const EKUri existing(u(file.c_str()));
  EXPECT_EQ(existing.toString(), u(file.c_str())) << "an existing path is kept as a path";
  EXPECT_TRUE(existing.isFileExists());
  EXPECT_TRUE(existing.isDirectoryExists());
  EXPECT_FALSE(existing.isRemote()) << "not a file: URI";
  EXPECT_FALSE(EKUri(u(("file://" + file).c_str())).isRemote()) << "/tmp is local";
  EXPECT_TRUE(EKUri::isFileExists(file.c_str()));
  EXPECT_TRUE(EKUri::isFileExists(std::wstring(file.begin(), file.end()).c_str()));
  EXPECT_FALSE(EKUri::isFileExists(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(EKUri(u((dir + "/missing.xml").c_str())).isFileExists());

  // A '#' that is part of an existing file name is escaped; otherwise the text is kept.
  const EKUri base(u(("file://" + dir + "/doc.xml").c_str()));
  EXPECT_EQ(utf8(EKUri::escapeSharpIfExist(base, u("a#1.xml"), false)), "file://" + dir + "/a%231.xml");
  EXPECT_EQ(utf8(EKUri::escapeSharpIfExist(base, u("b#2.xml"), false)), "b#2.xml");
  EXPECT_EQ(utf8(EKUri::escapeSharpIfExist(base, u("b#2.xml"), true)), "file://" + dir + "/b%232.xml");
  EXPECT_EQ(utf8(EKUri::escapeSharpIfExist(base, u("plain.xml"), true)), "plain.xml");

  std::remove(file.c_str());
  rmdir(dir.c_str());
}

} // namespace
