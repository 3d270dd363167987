#include "LoopbackServer.h"
#include "ResourceTestUtil.h"
#include "support/TestStrings.h"

#include <ekcommon/ekcommon.h>

#include <atomic>
#include <chrono>

using namespace EKCommonNS;

namespace {

std::string fetch(const EKUri& uri, EKUri::ContentInfo* info = nullptr, UnicodeString* error = nullptr) {
  std::unique_ptr<std::istream> in(uri.getIStream(info, error));
  return in ? readAll(*in) : std::string("<null>");
}

EKUri fileUri(const std::string& path) { return EKUri(u(("file://" + path).c_str()), EKUri::URISTR_URI); }

// An archive written by the library: each (name, bytes) pair an entry.
std::string makeZip(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::ostringstream out;
  EKZipArchive zip;
  zip.open(out);
  for (const auto& entry : entries) {
    std::istringstream in(entry.second);
    zip.append(in, u(entry.first.c_str()));
  }
  zip.close();
  return out.str();
}

// The routes every HTTP test uses.
class Fetch : public testing::Test {
protected:
  void SetUp() override {
    httplib::Server& s = m_server.routes();
    s.Get("/hello", [](const httplib::Request&, httplib::Response& r) { r.set_content("hello", "text/plain"); });
    s.Get("/typed", [](const httplib::Request&, httplib::Response& r) {
      r.set_header("Content-Language", "de");
      r.set_content("<p/>", "text/html; charset=\"utf-8\"");
    });
    s.Get(R"(/redirect/(\d+))", [](const httplib::Request& q, httplib::Response& r) {
      const int left = std::stoi(q.matches[1]);
      if (left == 0)
        r.set_content("arrived", "text/plain");
      else
        r.set_redirect(std::to_string(left - 1)); // relative to the directory
    });
    s.Get("/dir/start", [](const httplib::Request&, httplib::Response& r) { r.set_redirect("../other/end"); });
    s.Get("/other/end", [](const httplib::Request&, httplib::Response& r) { r.set_content("end", "text/plain"); });
    s.Get(R"(/away/(.*))", [](const httplib::Request& q, httplib::Response& r) { r.set_redirect(q.matches[1].str()); });
    s.Get("/headers", [](const httplib::Request& q, httplib::Response& r) {
      r.set_content(q.get_header_value("Accept") + "|" + q.get_header_value("Referer") + "|" +
                        q.get_header_value("User-Agent"),
                    "text/plain");
    });
    s.Get(R"(/status/(\d+))", [](const httplib::Request& q, httplib::Response& r) {
      r.status = std::stoi(q.matches[1]);
      r.set_content("error page", "text/plain");
    });
    s.Get("/stall", [this](const httplib::Request&, httplib::Response& r) {
      for (int i = 0; i < 100 && !m_server.stopping(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      r.set_content("late", "text/plain");
    });
    s.Get("/archive.zip", [](const httplib::Request&, httplib::Response& r) {
      r.set_content(makeZip({{"c.xml", "<remote/>"}}), "application/zip");
    });
    m_base = m_server.start();
  }
  EKUri at(const std::string& path) const { return EKUri(u((m_base + path).c_str()), EKUri::URISTR_URI); }

  LoopbackServer m_server;
  std::string m_base;
};

} // namespace

TEST(FetchLocal, FilesDataAndWriting) {
  ScratchDir dir;
  writeFile(dir / "a b.txt", "local bytes");
  EXPECT_EQ(fetch(EKUri(u((dir / "a b.txt").c_str()), EKUri::URISTR_PATH)), "local bytes");
  EXPECT_EQ(fetch(fileUri(dir.path() + "/a%20b.txt")), "local bytes");
  EXPECT_EQ(fetch(fileUri(dir.path() + "/")), "<null>") << "a directory is no resource";
  EXPECT_EQ(fetch(fileUri(dir.path() + "/missing")), "<null>");
  EXPECT_EQ(fetch(EKUri(u"gopher://host/x", EKUri::URISTR_URI)), "<null>");

  EKUri::ContentInfo info;
  info.charset = u"stale";
  EXPECT_EQ(fetch(EKUri(u"data:text/plain;base64,SGVsbG8=", EKUri::URISTR_URI), &info), "Hello");
  EXPECT_EQ(info.contentType, u"text/plain");
  EXPECT_EQ(info.charset, u"");
  EXPECT_EQ(info.contentLength, -1);
  EXPECT_EQ(fetch(EKUri(u"data:,a%20b\u00E9", EKUri::URISTR_URI)), "a%20b\xC3\xA9") << "escapes stay as written";

  const EKUri out = fileUri(dir.path() + "/out.bin");
  { std::unique_ptr<std::ostream>(out.getOStream(true))->write("0123456789", 10); }
  { std::unique_ptr<std::ostream>(out.getOStream(false))->write("ab", 2); }
  EXPECT_EQ(readFile(dir / "out.bin"), "ab23456789");
  {
    std::unique_ptr<std::fstream> both(out.getFStream());
    both->seekp(8);
    both->write("YZ", 2);
  }
  EXPECT_EQ(readFile(dir / "out.bin"), "ab234567YZ");
  EXPECT_EQ(fileUri(dir.path() + "/no/dir/x").getOStream(true), nullptr);

  ASSERT_EQ(shell("gzip -c '" + (dir / "a b.txt") + "' > '" + (dir / "a.gz") + "'"), 0);
  EXPECT_TRUE(fileUri(dir.path() + "/a.gz").isGzip());
  EXPECT_FALSE(fileUri(dir.path() + "/out.bin").isGzip());
  std::unique_ptr<std::istream> gz(fileUri(dir.path() + "/a.gz").getGzipStream());
  EXPECT_EQ(readAll(*gz), "local bytes");
  EXPECT_EQ(fileUri(dir.path() + "/missing.gz").getGzipStream(), nullptr);
}

TEST(FetchLocal, JarEntriesNestedArchivesAndMissingEntries) {
  ScratchDir dir;
  const std::string inner = makeZip({{"c.xml", "<inner/>"}});
  writeFile(dir / "a.zip", makeZip({{"b.zip", inner}, {"dir/t\xC3\xA9xt.txt", "entry"}}));
  writeFile(dir / "plain.txt", "not an archive");
  const std::string jar = "jar:file://" + dir.path();
  EXPECT_EQ(fetch(EKUri(u((jar + "/a.zip!/b.zip!/c.xml").c_str()), EKUri::URISTR_URI)), "<inner/>");
  EXPECT_EQ(fetch(EKUri(u((jar + "/a.zip!/dir/t%C3%A9xt.txt").c_str()), EKUri::URISTR_URI)), "entry");
  EXPECT_EQ(fetch(EKUri(u((jar + "/a.zip!/missing").c_str()), EKUri::URISTR_URI)), "<null>");
  EXPECT_EQ(fetch(EKUri(u((jar + "/a.zip!/b.zip!/missing").c_str()), EKUri::URISTR_URI)), "<null>");
  EXPECT_EQ(fetch(EKUri(u((jar + "/a.zip!/dir/t%C3%A9xt.txt!/x").c_str()), EKUri::URISTR_URI)), "<null>");
  EXPECT_EQ(fetch(EKUri(u((jar + "/plain.txt!/x").c_str()), EKUri::URISTR_URI)), "<null>");
  EXPECT_EQ(fetch(EKUri(u((jar + "/missing.zip!/x").c_str()), EKUri::URISTR_URI)), "<null>");
}

TEST(FetchLocal, ResolverServesOrDeclines) {
  struct Resolver : EKUriReferenceResolver2 {
    bool resolve(const wchar_t* uri, EKUriWriteCallback write, void* context) override {
      if (std::wstring(uri) != L"http://host.invalid/served\u00E9")
        return false;
      write(3, "abc", context);
      write(3, "def", context);
      return true;
    }
  } resolver;
  ScratchDir dir;
  writeFile(dir / "f", "file");
  EXPECT_EQ(EKUri::setUriReferenceResolver2(&resolver), nullptr);
  EXPECT_EQ(fetch(EKUri(u"http://host.invalid/served\u00E9", EKUri::URISTR_URI)), "abcdef");
  EXPECT_EQ(fetch(fileUri(dir / "f")), "file");
  EXPECT_EQ(EKUri::setUriReferenceResolver2(nullptr), &resolver);
  EXPECT_EQ(EKUri(u"http://host.invalid/served", EKUri::URISTR_URI).getStreamFromResolver(), nullptr);
}

TEST(FetchLocal, UserAgentAndModules) {
  const UnicodeString original = EKUri::getUserAgent();
  EKUri::setUserAgent(UnicodeString(300, u'a', 300));
  EXPECT_EQ(EKUri::getUserAgent(), UnicodeString(255, u'a', 255));
  UnicodeString split(254, u'b', 254);
  split.append(UnicodeString(u"\U0001F600"));
  EKUri::setUserAgent(split);
  EXPECT_EQ(EKUri::getUserAgent().length(), 254) << "a surrogate pair is not cut in half";
  EKUri::setUserAgent(UnicodeString());
  EXPECT_EQ(EKUri::getUserAgent().length(), 254);
  EKUri::cleanup();
  EXPECT_EQ(EKUri::getUserAgent(), UnicodeString());
  if (!original.isEmpty())
    EKUri::setUserAgent(original);

  // libz is loaded with the library, so its directory is known and it can be loaded again.
  const EKUri zlib = EKUri::getModuleUri("libz.so.1", "libz.so.1", nullptr);
  ASSERT_TRUE(zlib.isFileExists()) << zlib.toString();
  void* module = zlib.loadLibrary();
  ASSERT_NE(module, nullptr);
  EXPECT_NE(EKUri::getProcAddress(module, "zlibVersion"), nullptr);
  EXPECT_EQ(EKUri::getProcAddress(module, "noSuchSymbol"), nullptr);
  EKUri::freeLibrary(module);
  EKUri::freeLibrary(nullptr);

  ScratchDir dir;
  setenv("EKCOMMON_TEST_MODULE_DIR", dir.path().c_str(), 1);
  EXPECT_EQ(utf8(EKUri::getModuleUri("libz.so.1", "x.cfg", "EKCOMMON_TEST_MODULE_DIR").getLocalPath()), dir / "x.cfg");
  unsetenv("EKCOMMON_TEST_MODULE_DIR");
  EXPECT_EQ(utf8(EKUri::getModuleUri("not-loaded.so", "plugin.so", nullptr).toString()), "plugin.so");
  EXPECT_EQ(utf8(EKUri::getModuleUri(nullptr, "x.cfg", nullptr).toString()), "x.cfg") << "relative to ./";
}

TEST_F(Fetch, BodyAndContentInformation) {
  EKUri::ContentInfo info;
  EXPECT_EQ(fetch(at("/hello"), &info), "hello");
  EXPECT_EQ(info.contentType, u"text/plain");
  EXPECT_EQ(info.contentLength, 5);
  EXPECT_EQ(fetch(at("/typed"), &info), "<p/>");
  EXPECT_EQ(info.contentType, u"text/html");
  EXPECT_EQ(info.charset, u"utf-8");
  EXPECT_EQ(info.language, u"de");

  EKUri::ContentInfo request;
  request.referrer = u"http://referrer.test/page";
  EXPECT_EQ(fetch(at("/headers"), &request), "*/*|http://referrer.test/page|Quillmark Common Library Linux (x64) (2,2,0,0)");
  EKUri::setUserAgent(u"TestAgent/1.0");
  EXPECT_EQ(fetch(at("/headers")), "*/*||TestAgent/1.0");
  EKUri::cleanup();
}

TEST_F(Fetch, RedirectionsAreFollowedNineTimesAndOnlyToTheWeb) {
  EKUri::ContentInfo info;
  info.flags = EKUri::ContentInfo::FLAG_UPDATE_URI;
  EKUri nine = at("/redirect/9");
  std::unique_ptr<std::istream> in(nine.getIStream(&info, nullptr));
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(readAll(*in), "arrived");
  EXPECT_EQ(utf8(nine.toString()), m_base + "/redirect/0");

  UnicodeString error;
  EXPECT_EQ(fetch(at("/redirect/10"), nullptr, &error), "<null>");
  EXPECT_EQ(utf8(error), "HTTP status is 302\n" + m_base + "/redirect/1");
  EXPECT_EQ(fetch(at("/dir/start")), "end");

  for (const std::string target : {"file:///etc/passwd", "jar:file:///tmp/a.zip!/x", "data:,x", "ftp://127.0.0.1/x"}) {
    EXPECT_EQ(fetch(at("/away/" + target), nullptr, &error), "<null>") << target;
    EXPECT_EQ(utf8(error), "HTTP status is 302\n" + m_base + "/away/" + target);
  }

  EKUri probe = at("/redirect/2");
  EXPECT_TRUE(probe.checkRedirection());
  EXPECT_EQ(utf8(probe.toString()), m_base + "/redirect/0");
  EXPECT_FALSE(probe.checkRedirection()) << "the final address is known not to redirect";
  EKUri direct = at("/hello");
  EXPECT_FALSE(direct.checkRedirection());
  EKUri local(u"file:///tmp/x", EKUri::URISTR_URI);
  EXPECT_FALSE(local.checkRedirection());
}

TEST_F(Fetch, FailuresGiveNullAndTheReason) {
  UnicodeString error;
  EXPECT_EQ(fetch(at("/status/404"), nullptr, &error), "<null>");
  EXPECT_EQ(utf8(error), "HTTP status is 404\n" + m_base + "/status/404");
  EXPECT_EQ(fetch(at("/status/500"), nullptr, &error), "<null>");
  EXPECT_EQ(utf8(error), "HTTP status is 500\n" + m_base + "/status/500");

  EKUri::ContentInfo impatient;
  impatient.connectTimeout = 300;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(fetch(at("/stall"), &impatient, &error), "<null>");
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
  EXPECT_EQ(utf8(error), "HTTP request failure: 12028: Timeout was reached\n" + m_base + "/stall");

  const std::string closed = m_base;
  m_server.stop();
  impatient.connectRetries = 2;
  impatient.connectBackoff = 10;
  EXPECT_EQ(fetch(EKUri(u((closed + "/hello").c_str()), EKUri::URISTR_URI), &impatient, &error), "<null>");
  EXPECT_EQ(utf8(error), "HTTP request failure: 12007: Couldn't connect to server\n" + closed + "/hello");
}

TEST_F(Fetch, RemoteArchivesAndThreads) {
  EXPECT_EQ(fetch(EKUri(u(("jar:" + m_base + "/archive.zip!/c.xml").c_str()), EKUri::URISTR_URI)), "<remote/>");
  std::atomic<int> good{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 5; ++i) {
        EKUri uri = at("/redirect/" + std::to_string((t + i) % 3));
        if (fetch(uri) == "arrived" && (uri.checkRedirection() || (t + i) % 3 == 0))
          ++good;
      }
    });
  for (std::thread& t : threads)
    t.join();
  EXPECT_EQ(good, 20);
}

TEST(FetchTls, SelfSignedCertificatesFailUnlessIgnored) {
  ScratchDir dir;
  ASSERT_EQ(shell("openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -days 1 -keyout '" + (dir / "key.pem") +
                  "' -out '" + (dir / "cert.pem") + "' 2>/dev/null"),
            0);
  LoopbackServer server(dir / "cert.pem", dir / "key.pem");
  server.routes().Get("/secure", [](const httplib::Request&, httplib::Response& r) { r.set_content("secret", "text/plain"); });
  const std::string base = server.start("https");
  const EKUri secure(u((base + "/secure").c_str()), EKUri::URISTR_URI);
  UnicodeString error;
  EXPECT_EQ(fetch(secure, nullptr, &error), "<null>");
  EXPECT_EQ(utf8(error).rfind("HTTP request failure: 12060: ", 0), 0u) << utf8(error);
  EKUri::ContentInfo trusting;
  trusting.flags = EKUri::ContentInfo::FLAG_IGNORE_CERTIFICATE_ERRORS;
  EXPECT_EQ(fetch(secure, &trusting), "secret");
}
