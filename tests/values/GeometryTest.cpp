#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace EKCommonNS;

namespace {

std::string nameOf(EKName name) { return utf8(name.toString()); }

TEST(WritingMode, NamesAndDirectionsOfEveryCode) {
  const struct {
    const char* name;
    const char* bp;
    const char* bpLong;
    const char* ip;
    const char* direction;
    const char* paging;
    const char* shift;
  } rows[] = {
      {"lr-tb", "tb", "top-to-bottom", "left-to-right", "ltr", "left-to-right", "bottom-to-top"},
      {"rl-tb", "tb", "top-to-bottom", "right-to-left", "rtl", "right-to-left", "bottom-to-top"},
      {"tb-rl", "rl", "right-to-left", "top-to-bottom", "ltr", "right-to-left", "left-to-right"},
      {"bt-rl", "rl", "right-to-left", "bottom-to-top", "rtl", "right-to-left", "left-to-right"},
      {"lr-bt", "bt", "bottom-to-top", "left-to-right", "ltr", "left-to-right", "bottom-to-top"},
      {"rl-bt", "bt", "bottom-to-top", "right-to-left", "rtl", "right-to-left", "bottom-to-top"},
      {"tb-lr", "lr", "left-to-right", "top-to-bottom", "ltr", "left-to-right", "right-to-left"},
      {"bt-lr", "lr", "left-to-right", "bottom-to-top", "rtl", "left-to-right", "right-to-left"},
  };
  for (unsigned code = 0; code < 8; ++code) {
    const auto& row = rows[code];
    SCOPED_TRACE(row.name);
    const EKWritingMode wm{EKName(u(row.name))};
    EXPECT_EQ(wm.getCode(), code);
    EXPECT_EQ(wm, EKWritingMode(code));
    EXPECT_EQ(nameOf(wm.getName()), row.name);
    EXPECT_EQ(EKValue(wm).getNameValue(), wm.getName());
    EXPECT_EQ(EKWritingMode(EKValue(wm)), wm);
    EXPECT_EQ(nameOf(wm.getBlockProgressionName()), row.bp);
    EXPECT_EQ(nameOf(wm.getBPDirection()), row.bpLong);
    EXPECT_EQ(nameOf(wm.getIPDirection()), row.ip);
    EXPECT_EQ(nameOf(wm.getDirectionName()), row.direction);
    EXPECT_EQ(nameOf(wm.getPagingDirection()), row.paging);
    EXPECT_EQ(nameOf(wm.getShiftDirection()), row.shift);
    // The block progression and direction give the mode back.
    EXPECT_EQ(EKWritingMode(wm.getBlockProgressionName(), wm.getDirectionName()), wm);
    EXPECT_EQ(EKWritingMode(wm.getName(), wm.getIPDirection()), wm);
  }
}

TEST(WritingMode, PredicatesFollowTheBits) {
  // Codes for which each predicate holds, as a bit set over the eight codes.
  const struct {
    const char* predicate;
    bool (EKWritingMode::*test)() const;
    unsigned codes;
  } rows[] = {
      {"isLTR", &EKWritingMode::isLTR, 1u << 0 | 1u << 4},
      {"isRTL", &EKWritingMode::isRTL, 1u << 1 | 1u << 5},
      {"isTTB", &EKWritingMode::isTTB, 1u << 2 | 1u << 6},
      {"isBTT", &EKWritingMode::isBTT, 1u << 3 | 1u << 7},
      {"isRtlOrBtt", &EKWritingMode::isRtlOrBtt, 0xAAu},
      {"isVerticalText", &EKWritingMode::isVerticalText, 0xCCu},
      {"isBPDirLtrOrBtt", &EKWritingMode::isBPDirLtrOrBtt, 0xF0u},
      {"isBPDirRtlOrBtt", &EKWritingMode::isBPDirRtlOrBtt, 0x3Cu},
      {"isPagingRightToLeft", &EKWritingMode::isPagingRightToLeft, 1u << 1 | 1u << 2 | 1u << 3 | 1u << 5},
  };
  for (const auto& row : rows) {
    for (unsigned code = 0; code < 8; ++code)
      EXPECT_EQ((EKWritingMode(code).*row.test)(), ((row.codes >> code) & 1u) != 0) << row.predicate << ' ' << code;
  }
}

TEST(WritingMode, ConstructionFromNames) {
  const struct {
    const char* first;
    const char* second; // null: the one-name constructor
    unsigned code;
  } rows[] = {
      {"rl", nullptr, 1},       {"tb", nullptr, 2},         {"lr", nullptr, 0},       {"bt", nullptr, 0},
      {"sideways", nullptr, 0}, {"", nullptr, 0},           {"RL-TB", nullptr, 0},    {"tb", "rtl", 1},
      {"rl", "ltr", 2},         {"rl", "rtl", 3},           {"rl", "bottom-to-top", 3}, {"rl", "right-to-left", 2},
      {"tb", "right-to-left", 1}, {"tb", "bottom-to-top", 0}, {"bt", "rtl", 5},       {"bt", "ltr", 4},
      {"lr", "rtl", 7},         {"left-to-right", "", 6},   {"top-to-bottom", "rtl", 1},
      {"bottom-to-top", "x", 4}, {"lr-tb", "rtl", 1},       {"bt-rl", "ltr", 2},      {"rl-bt", "rtl", 5},
      {"tb-lr", "bottom-to-top", 7}, {"sideways", "rtl", 0}, {"", "rtl", 0},
  };
  for (const auto& row : rows) {
    const EKWritingMode wm = row.second ? EKWritingMode(EKName(u(row.first)), EKName(u(row.second)))
                                        : EKWritingMode(EKName(u(row.first)));
    EXPECT_EQ(wm.getCode(), row.code) << row.first << ' ' << (row.second ? row.second : "-");
  }
  EXPECT_EQ(EKWritingMode(EKValue(u"tb-lr", UNIT_STRING)).getCode(), 6u);
  EXPECT_EQ(EKWritingMode(EKValue(12)).getCode(), 0u);
}

TEST(WritingMode, SidesOfSpreadsAsParity) {
  const struct {
    unsigned code;
    const char* name;
    const char* parity; // leftRight2oddEven
  } rows[] = {
      {0, "left", "even"},  {0, "right", "odd"},  {0, "recto", "odd"}, {0, "verso", "even"}, {0, "first", "first"},
      {2, "left", "odd"},   {2, "right", "even"}, {2, "recto", "odd"}, {2, "verso", "even"}, {1, "left", "odd"},
      {3, "left", "odd"},   {5, "left", "odd"},   {4, "left", "even"}, {6, "left", "even"},  {7, "right", "odd"},
      {0, "odd", "odd"},    {1, "even", "even"},
  };
  for (const auto& row : rows) {
    const EKWritingMode wm(row.code);
    const EKName parity = wm.leftRight2oddEven(EKName(u(row.name)));
    EXPECT_EQ(nameOf(parity), row.parity) << row.code << ' ' << row.name;
    const std::string name = row.name;
    if (name == "left" || name == "right" || name == "first") {
      EXPECT_EQ(nameOf(wm.oddEven2leftRight(parity)), name) << row.code;
    }
  }
}

TEST(WritingMode, PerpendicularDependsOnVerticalityAndTurn) {
  const struct {
    unsigned a, b;
    int degrees;
    bool perpendicular;
  } rows[] = {
      {0, 2, 0, true},  {0, 2, 90, false}, {0, 1, 0, false}, {0, 1, 270, true},
      {2, 6, 180, false}, {6, 5, -90, false}, {3, 4, 45, false}, {3, 4, 44, true},
  };
  for (const auto& row : rows)
    EXPECT_EQ(EKWritingMode(row.a).isPerpendicularTo(EKWritingMode(row.b), EKOrientation(row.degrees)),
              row.perpendicular)
        << row.a << ' ' << row.b << ' ' << row.degrees;
}

TEST(Orientation, RoundsToQuarterTurns) {
  const struct {
    int in;
    int degrees;
  } rows[] = {
      {0, 0},     {44, 0},     {45, 90},     {-44, 0},     {-45, 270},   {-90, 270}, {134, 90},
      {135, 180}, {315, 0},    {314, 270},   {360, 0},     {405, 90},    {-405, 270}, {-180, 180},
      {2147483647, 90},        {-2147483647 - 1, 270},
  };
  for (const auto& row : rows) {
    const EKOrientation o(row.in);
    EXPECT_EQ(o.getDegrees(), row.degrees) << row.in;
    EXPECT_EQ(o.isPerpendicular(), row.degrees % 180 != 0) << row.in;
    EXPECT_EQ(EKValue(o).getIntegerValue(-1), row.degrees);
  }
  EXPECT_EQ(EKOrientation(EKValue(-90.4)).getDegrees(), 270);
  EXPECT_EQ(EKOrientation(EKValue(EKN_auto)).getDegrees(), 0);
}

TEST(TransMatrix, ProductsAndMapping) {
  const EKTransMatrix translate(1, 0, 0, 1, 10, 0);
  const EKTransMatrix scale(2, 0, 0, 2);
  const EKTransMatrix rotate(0, 1, -1, 0); // a quarter turn: x axis to y axis
  const struct {
    const char* what;
    EKTransMatrix m;
    float x, y, mx, my;
  } rows[] = {
      {"translate then scale", translate * scale, 1, 1, 22, 2},
      {"scale then translate", scale * translate, 1, 1, 12, 2},
      {"rotate", rotate, 3, 1, -1, 3},
      {"rotate then translate", rotate * translate, 3, 1, 9, 3},
      {"identity", EKTransMatrix(), 7.5f, -2, 7.5f, -2},
      {"general", EKTransMatrix(1, 2, 3, 4, 5, 6), 1, 1, 9, 12},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(row.m.translate(row.x, row.y), EKPointT<float>(row.mx, row.my));
    EXPECT_EQ(row.m.translate(EKPointT<float>(row.x, row.y)), EKPointT<float>(row.mx, row.my));
    const EKPointT<EKLength> lengths = row.m.translate(EKLength(row.x), EKLength(row.y));
    EXPECT_EQ(static_cast<float>(lengths.x), row.mx);
    EXPECT_EQ(row.m.translateD(row.x, row.y), EKPointT<double>(row.mx, row.my));
  }
  EKTransMatrix m = translate;
  m.mulRight(scale);
  EXPECT_EQ(m, translate * scale);
  m = translate;
  m.mulLeft(scale);
  EXPECT_EQ(m, scale * translate);
  EXPECT_NE(m, translate * scale);
  EXPECT_TRUE(EKTransMatrix().isUnitMatrix());
  m.init();
  EXPECT_TRUE(m.isUnitMatrix());
  m.zero();
  EXPECT_EQ(m, EKTransMatrix(0, 0, 0, 0, 0, 0));
  // Double arithmetic keeps what float loses.
  EXPECT_EQ(EKTransMatrix(1, 0, 0, 1, 0, 0).translateD(16777217.0, 0).x, 16777217.0);
  EXPECT_EQ(EKTransMatrix(1, 0, 0, 1, 0, 0).translate(16777217.0f, 0).x, 16777216.0f);
}

TEST(TransMatrix, InverseUndoesTheMapping) {
  const struct {
    const char* what;
    EKTransMatrix m;
    bool invertible;
  } rows[] = {
      {"identity", EKTransMatrix(), true},
      {"translate and scale", EKTransMatrix(2, 0, 0, 4, 10, -6), true},
      {"quarter turn (a is 0)", EKTransMatrix(0, 1, -1, 0, 5, 5), true},
      {"a is 0, b is not", EKTransMatrix(0, 3, 2, 1, 1, 2), true},
      {"general", EKTransMatrix(1, 2, 3, 4, 5, 6), true},
      {"mirror", EKTransMatrix(1, 0, 0, -1, 0, 100), true},
      {"zero", EKTransMatrix(0, 0, 0, 0, 1, 1), false},
      {"singular rows", EKTransMatrix(1, 2, 2, 4, 0, 0), false},
      {"a and b tiny", EKTransMatrix(1e-8f, 1e-8f, 1, 1, 0, 0), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EKTransMatrix inverse = row.m;
    EXPECT_EQ(inverse.inverse(), row.invertible);
    if (!row.invertible) {
      EXPECT_EQ(inverse, row.m);
      continue;
    }
    for (const EKPointT<float>& p : {EKPointT<float>(0, 0), EKPointT<float>(3, -7), EKPointT<float>(-1.5f, 2)}) {
      const EKPointT<float> back = inverse.translate(row.m.translate(p));
      EXPECT_NEAR(back.x, p.x, 1e-5);
      EXPECT_NEAR(back.y, p.y, 1e-5);
    }
    const EKTransMatrix product = row.m * inverse;
    const float coefficients[6] = {product.getA(), product.getB(), product.getC(),
                                   product.getD(), product.getE(), product.getF()};
    const float identity[6] = {1, 0, 0, 1, 0, 0};
    for (int i = 0; i < 6; ++i)
      EXPECT_NEAR(coefficients[i], identity[i], 1e-5) << i;
    EKTransMatrix reversed = row.m;
    EXPECT_TRUE(reversed.reverse());
    EXPECT_EQ(reversed, inverse);
  }
}

TEST(TransMatrix, AnglesAndMirrors) {
  const float pi = 3.1415927f;
  const struct {
    const char* what;
    EKTransMatrix m;
    float angleX, angleY;
    bool mirror;
  } rows[] = {
      {"identity", EKTransMatrix(), 0, pi / 2, false},
      {"quarter turn", EKTransMatrix(0, 1, -1, 0), pi / 2, pi, false},
      {"half turn", EKTransMatrix(-1, 0, 0, -1), pi, -pi / 2, false},
      {"flip y", EKTransMatrix(1, 0, 0, -1), 0, -pi / 2, true},
      {"flip x", EKTransMatrix(-1, 0, 0, 1), pi, pi / 2, true},
      {"swap axes", EKTransMatrix(0, 1, 1, 0), pi / 2, 0, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_FLOAT_EQ(row.m.getAngleX(), row.angleX);
    EXPECT_FLOAT_EQ(row.m.getAngleY(), row.angleY);
    EXPECT_EQ(row.m.isMirror(), row.mirror);
  }
}

TEST(PageRange, ParsingAndMembership) {
  using R = EKPageRange::PRange;
  const int32_t END = EKPageRange::TO_END;
  const struct {
    const char* text;
    bool ok;
    std::vector<R> ranges;
  } rows[] = {
      {"1-3, 5, 8-", true, {{1, 3}, {5, 5}, {8, END}}},
      {"", true, {}},
      {" \t\r\n", true, {}},
      {"-4", true, {{0, 4}}},
      {" 2 - 0 ,-0", true, {{2, END}, {0, END}}},
      {"0", true, {{0, 0}}},
      {"7 -\n, 3", true, {{7, END}, {3, 3}}},
      {"2147483647", true, {{END, END}}},
      {"3-1", false, {}},
      {"2147483648", false, {}},
      {"99999999999999999999", false, {}},
      {"-", false, {}},
      {"1,,2", false, {}},
      {"1,", false, {}},
      {",1", false, {}},
      {"1-2-3", false, {}},
      {"+1", false, {}},
      {"1 2", false, {}},
      {"1\f", false, {}},
      {"a", false, {}},
      {"1.5", false, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(EKPageRange::checkPageRange(u(row.text)), row.ok);
    EKPageRange range;
    ASSERT_TRUE(range.parsePageRange(u"100"));
    EXPECT_EQ(range.parsePageRange(u(row.text)), row.ok);
    std::vector<R> expected{{100, 100}};
    expected.insert(expected.end(), row.ranges.begin(), row.ranges.end());
    EXPECT_EQ(range.getRange(), expected);
  }
  EKPageRange range;
  EXPECT_TRUE(range.empty());
  EXPECT_FALSE(range.inRange(0));
  ASSERT_TRUE(range.parsePageRange(u"1-3, 5, 8-"));
  const struct {
    int32_t page;
    bool in;
  } pages[] = {{0, false}, {1, true}, {3, true}, {4, false}, {5, true}, {6, false}, {7, false}, {8, true},
               {END, true}, {-1, false}};
  for (const auto& page : pages)
    EXPECT_EQ(range.inRange(page.page), page.in) << page.page;
}

} // namespace
