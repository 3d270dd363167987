#include "ToolRunner.h"
#include "resources/LoopbackServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

TEST(FetchTool, LocalDataJarAndWebResources) {
  const fs::path dir = fs::temp_directory_path() / ("ekcommon-fetch-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "page.xml") << "<page/>";
  ASSERT_EQ(runTool("zip create '" + (dir / "a.zip").string() + "' '" + (dir / "page.xml").string() + "'").status, 0);
  const std::string entry = (dir / "page.xml").string().substr(1);

  EXPECT_EQ(runTool("fetch '" + (dir / "page.xml").string() + "'").out, "<page/>");
  EXPECT_EQ(runTool("fetch --base '" + dir.string() + "/' page.xml").out, "<page/>");
  EXPECT_EQ(runTool("fetch 'jar:file://" + (dir / "a.zip").string() + "!/" + entry + "'").out, "<page/>");
  EXPECT_EQ(runTool("fetch 'data:;base64,SGk='").out, "Hi");
  EXPECT_EQ(runTool("fetch --info 'data:text/css,p{}'", "&1").out,
            "address: data:text/css,p{}\ncontent-type: text/css\ncharset: \nlanguage: \ncontent-length: -1\np{}");
  EXPECT_EQ(runTool("fetch '" + (dir / "missing").string() + "'").status, 1);
  EXPECT_EQ(runTool("fetch").status, 2);
  fs::remove_all(dir);

  LoopbackServer server;
  server.routes().Get("/old", [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/new"); });
  server.routes().Get("/new", [](const httplib::Request& q, httplib::Response& r) {
    r.set_content("from " + q.get_header_value("Referer"), "text/plain; charset=UTF-8");
  });
  const std::string base = server.start();
  const ToolResult fetched = runTool("fetch --info --referrer http://ref.test/ " + base + "/old", "&1");
  EXPECT_EQ(fetched.status, 0);
  EXPECT_EQ(fetched.out, "address: " + base + "/new\ncontent-type: text/plain\ncharset: UTF-8\nlanguage: \n"
                         "content-length: 21\nfrom http://ref.test/");
  const ToolResult refused = runTool("fetch " + base + "/missing", "&1");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "ekcommon fetch: HTTP status is 404\n" + base + "/missing\n");
}

} // namespace
