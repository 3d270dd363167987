#include "ToolRunner.h"

#include <gtest/gtest.h>

namespace {

TEST(UriTool, ResolvesAndDescribesReferences) {
  ToolResult r = runTool("uri --base 'file:///C:/doc/a.xml' --relative-to 'file:///C:/doc/x/b.xml' 'img\\a b.png'");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "img\\a b.png\n"
                   "  uri: file:///C:/doc/img/a%20b.png\n"
                   "  scheme: file\n"
                   "  local path: C:/doc/img/a b.png\n"
                   "  file name: a b.png\n"
                   "  extension: .png\n"
                   "  relative: ../img/a%20b.png\n");
  r = runTool("uri '\\\\srv\\share\\x.xml'");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("  uri: file://srv/share/x.xml\n  scheme: file\n  local path: //srv/share/x.xml\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(runTool("uri").status, 2);
  EXPECT_EQ(runTool("uri --base").status, 2);
  EXPECT_EQ(runTool("uri --bogus x").status, 2);
  EXPECT_NE(runTool("uri --help").out.find("--relative-to"), std::string::npos);
}

} // namespace
