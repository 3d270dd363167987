#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <string>

using namespace EKCommonNS;

namespace {

TEST(DataUri, HeaderParts) {
  struct Row {
    const char* uri;
    const char* mediaType;
    bool base64;
    int dataOffset;
  };
  const Row rows[] = {
      {"data:text/plain;charset=utf-8,Hello", "text/plain", false, 30},
      {"data:image/png;base64,iVBORw0K", "image/png", true, 22},
      {"data:,Hello", "", false, 6},
      {"data:;BASE64,SGk=", "", true, 13},
      {"data:text/plain;title=\"a;b,c\",x", "text/plain", false, 30},
      {"data:text/plain", "text/plain", false, -1},
      {"data:te%78t/pl%61in,x", "text/plain", false, 20},
      {"http://h/x", "", false, -1},
  };
  for (const Row& row : rows) {
    const EKDataUri uri(u(row.uri));
    EXPECT_EQ(uri.getMediaType(), u(row.mediaType)) << row.uri;
    EXPECT_EQ(uri.isBase64(), row.base64) << row.uri;
    EXPECT_EQ(uri.getDataOffset(), row.dataOffset) << row.uri;
  }
  const EKDataUri quoted(u("data:text/plain;title=\"a;b,c\";charset=UTF-8,x"));
  EXPECT_EQ(quoted.getStringParam(EKN_title), u("a;b,c"));
  EXPECT_EQ(quoted.getLowerNameParam(EKN_charset), EKName(u("utf-8")));
  EXPECT_TRUE(quoted.getLowerNameParam(EKN_page).isEmpty());
}

TEST(DataUri, TypedParametersAndPages) {
  const EKDataUri uri(u("data:application/pdf;width=12.75;count=7;bad=7x;page=3,"));
  EXPECT_EQ(uri.getIntegerParam(EKN_width, -1), 12);
  EXPECT_EQ(uri.getRealParam(EKN_width, -1), 12.75f);
  EXPECT_EQ(uri.getIntegerParam(EKName(u("count")), -1), 7);
  EXPECT_EQ(uri.getIntegerParam(EKName(u("bad")), -1), -1);
  EXPECT_EQ(uri.getIntegerParam(EKN_height, -1), -1);
  EXPECT_EQ(uri.getRealParam(EKN_height, 2.5f), 2.5f);

  struct Row {
    const char* page;
    int first, last;
  };
  const Row rows[] = {{"5", 5, 5},   {"5-9", 5, 9},   {"5-3", 5, 5}, {"5-0", 5, 0}, {"2.5", 0, 0},
                      {" 4", 4, 4},  {"-2", 0, 0},    {"0", 0, 0},   {"5-", 5, 0},  {"5-9.5", 5, 5},
                      {"5x", 5, 5},  {"5-9x", 0, 0},  {"abc", 0, 0}, {"", 0, 0},    {"7-12", 7, 12}};
  for (const Row& row : rows) {
    const EKDataUri paged(u((std::string("data:application/pdf;page=") + row.page + ",").c_str()));
    EXPECT_EQ(paged.getPageNumber(), std::make_pair(row.first, row.last)) << row.page;
  }
  EXPECT_EQ(EKDataUri(u("data:,x")).getPageNumber(), std::make_pair(0, 0));
}

} // namespace
