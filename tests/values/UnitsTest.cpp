#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace EKCommonNS;

namespace {

const float NaN = std::nanf("");

TEST(Units, KeywordsBothWaysAndClasses) {
  enum Class { NONE, ABS, REL, ANGLE, PCT };
  const struct {
    EKUnitType unit;
    const char* keyword;
    Class cls;
    float factor; // points per unit for absolute lengths
  } rows[] = {
      {UNIT_PERCENT, "%", PCT, 0},      {UNIT_EM, "em", REL, 0},        {UNIT_EX, "ex", REL, 0},
      {UNIT_PX, "px", REL, 0},          {UNIT_CM, "cm", ABS, 28.3464565f},
      {UNIT_MM, "mm", ABS, 2.83464575f}, {UNIT_IN, "in", ABS, 72},      {UNIT_PT, "pt", ABS, 1},
      {UNIT_PC, "pc", ABS, 12},         {UNIT_Q, "q", ABS, 0.708661437f},
      {UNIT_DEG, "deg", ANGLE, 0},      {UNIT_RAD, "rad", ANGLE, 0},    {UNIT_GRAD, "grad", ANGLE, 0},
      {UNIT_MS, "ms", NONE, 0},         {UNIT_S, "s", NONE, 0},         {UNIT_HZ, "Hz", NONE, 0},
      {UNIT_KHZ, "kHz", NONE, 0},       {UNIT_DD, "dd", ABS, 1.06775999f},
      {UNIT_CC, "cc", ABS, 12.8131199f}, {UNIT_DPI, "dpi", NONE, 0},    {UNIT_TWIP, "twip", ABS, 0.05f},
      {UNIT_REM, "rem", REL, 0},        {UNIT_VMIN, "vmin", REL, 0},    {UNIT_PVMAX, "pvmax", REL, 0},
      {UNIT_LINES, "lines", REL, 0},    {UNIT_DPCM, "dpcm", NONE, 0},   {UNIT_DPPX, "dppx", NONE, 0},
      {UNIT_EMU, "emu", ABS, 7.87401586e-05f}, {UNIT_PI, "pi", ABS, 12}, {UNIT_IC, "ic", REL, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.keyword);
    const EKName name(u(row.keyword));
    EXPECT_TRUE(name.isBuiltin());
    EXPECT_EQ(EKUtil::toUnitName(row.unit), name);
    EXPECT_EQ(EKUtil::toUnitType(name, false), row.unit);
    EXPECT_EQ(EKValue::getUnitString(row.unit), u(row.keyword));
    const EKValue v(2, row.unit);
    EXPECT_EQ(v.isAbsoluteLength(), row.cls == ABS);
    EXPECT_EQ(v.isRelativeLength(), row.cls == REL);
    EXPECT_EQ(v.isAngle(), row.cls == ANGLE);
    EXPECT_EQ(v.isPercentage(), row.cls == PCT);
    EXPECT_EQ(EKLength::getUnitFactor(row.unit), row.factor);
  }
  // The Japanese point is fixed by its float bits.
  const float jpt = EKLength::getUnitFactor(UNIT_JPT);
  uint32_t bits;
  std::memcpy(&bits, &jpt, sizeof bits);
  EXPECT_EQ(bits, 0x3F7F000Cu);
  // Percent of the second kind prints like the first; units without keywords print nothing.
  EXPECT_EQ(EKUtil::toUnitName(UNIT_PERCENT2), EKName(u("%")));
  EXPECT_EQ(EKUtil::toUnitType(EKName(u("%")), false), UNIT_PERCENT);
  for (EKUnitType none : {UNIT_NONE, UNIT_NUMBER, UNIT_CHARACTER, UNIT_COLOR, UNIT_PT2, UNIT_LOCAL})
    EXPECT_TRUE(EKUtil::toUnitName(none).isEmpty()) << none;
  // A character value is numeric in type but in no unit class.
  EXPECT_FALSE(EKValue(65, UNIT_CHARACTER).isNumericalValue());
  EXPECT_FALSE(EKValue(u("12pt"), UNIT_NONE).isAbsoluteLength());
}

TEST(Units, TypeKeywordsOnlyOnRequest) {
  const struct {
    const char* keyword;
    EKUnitType withTypes;
  } rows[] = {
      {"number", UNIT_NUMBER}, {"integer", UNIT_NUMBER}, {"length", UNIT_PT}, {"angle", UNIT_DEG},
      {"time", UNIT_S},        {"frequency", UNIT_HZ},   {"string", UNIT_STRING},
      {"url", UNIT_URL},       {"name", UNIT_NAME},      {"color", UNIT_COLOR},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(EKUtil::toUnitType(EKName(u(row.keyword)), false), UNIT_NONE) << row.keyword;
    EXPECT_EQ(EKUtil::toUnitType(EKName(u(row.keyword)), true), row.withTypes) << row.keyword;
  }
  EXPECT_EQ(EKUtil::toUnitType(EKName(u("vm")), false), UNIT_VMIN);
  EXPECT_EQ(EKUtil::toUnitName(UNIT_VMIN), EKName(u("vmin")));
  // Matching is exact: case-folding is the caller's business.
  EXPECT_EQ(EKUtil::toUnitType(EKName(u("PT")), false), UNIT_NONE);
  EXPECT_EQ(EKUtil::toUnitType(EKName(u("hz")), false), UNIT_NONE);
  EXPECT_EQ(EKUtil::toUnitType(EKName(), true), UNIT_NONE);
}

TEST(Length, ConversionsAndRounding) {
  EXPECT_EQ(float(EKLength(1.0f, UNIT_IN)), 72.0f);
  EXPECT_NEAR(EKLength(72).getRealValue(UNIT_CM), 2.54f, 1e-6f);
  EXPECT_NEAR(EKLength(1.0f, UNIT_CC).getRealValue(UNIT_DD), 12.0f, 1e-5f);
  EXPECT_TRUE(EKLength(10.0f, UNIT_PX).isAuto()) << "pixels are the host's business";
  EXPECT_TRUE(std::isnan(EKLength(10).getRealValue(UNIT_EM)));
  EXPECT_EQ(EKLength(NaN).getIntegerValue(UNIT_PT), 0);
  EXPECT_EQ(EKLength(12).getIntegerValue(UNIT_EM), 0);

  const struct {
    float points;
    int integer; // getIntegerValue(UNIT_PT): shifted by 0.5 and truncated toward zero
    int pixels96;
  } rows[] = {
      {72, 72, 96},    {2.5f, 3, 3},    {-0.75f, 0, -1}, {-1.5f, -1, -2},
      {0, 0, 0},       {0.36f, 0, 0},   {3e12f, INT32_MAX, INT32_MAX}, {-3e12f, INT32_MIN, INT32_MIN},
  };
  for (const auto& row : rows) {
    const EKLength length(row.points);
    EXPECT_EQ(length.getIntegerValue(UNIT_PT), row.integer) << row.points;
    EXPECT_EQ(length.getPixelCount(96), row.pixels96) << row.points;
  }
  EXPECT_EQ(EKLength(NaN).getPixelCount(96), 0);
  EXPECT_TRUE(EKLength(EKValue(EKN_auto)).isAuto()) << "a value's length is its getLengthValue";
}

TEST(Length, ArithmeticAndTolerances) {
  EKLength a(10);
  a += 5;
  a -= EKLength(1);
  a *= 2;
  a /= 4;
  EXPECT_EQ(float(a), 7.0f);

  EKLength autoLength(NaN);
  autoLength += 5;
  autoLength -= EKLength(1);
  autoLength *= 2;
  EXPECT_TRUE(autoLength.isAuto()) << "compound assignments leave auto alone";
  EXPECT_TRUE(EKLength(NaN).eq(EKLength(NaN)));
  EXPECT_FALSE(EKLength(NaN).eq(EKLength(0)));

  const float eps = 0.01f;
  EXPECT_TRUE(EKLength(1.005f).isAlmostEqual(EKLength(1), eps));
  EXPECT_FALSE(EKLength(1.02f).isAlmostEqual(EKLength(1), eps));
  EXPECT_TRUE(EKLength(-0.005f).isAlmostZero(eps));
  EXPECT_TRUE(EKLength(0.005f).isAlmostZeroOrNegative(eps));
  EXPECT_FALSE(EKLength(0.02f).isAlmostZeroOrNegative(eps));
  EXPECT_TRUE(EKLength(-0.005f).isAlmostZeroOrPositive(eps));
  EXPECT_FALSE(EKLength(NaN).isAlmostZero(eps));
  EXPECT_TRUE(EKLength(283465).isInvalid());
  EXPECT_FALSE(EKLength(283464).isInvalid());
  EXPECT_TRUE(EKLength(-283465).isInvalid());
  EXPECT_FALSE(EKLength(NaN).isInvalid());
}

TEST(Units, RealValueConversionTable) {
  const struct {
    EKValue value;
    EKUnitType wanted;
    float expected; // NaN: no conversion
  } rows[] = {
      {EKValue(50, UNIT_PERCENT), UNIT_NUMBER, 0.5f},
      {EKValue(0.25f, UNIT_NUMBER), UNIT_PERCENT, 25},
      {EKValue(3, UNIT_PT), UNIT_PERCENT, NaN},
      {EKValue(40, UNIT_PERCENT2), UNIT_NUMBER, 0.4f},
      {EKValue(1, UNIT_IN), UNIT_PT, 72},
      {EKValue(1, UNIT_IN), UNIT_MM, 25.4f},
      {EKValue(1, UNIT_EM), UNIT_PT, NaN},
      {EKValue(2, UNIT_NUMBER), UNIT_PT, NaN},
      {EKValue(200, UNIT_GRAD), UNIT_DEG, 180},
      {EKValue(180, UNIT_DEG), UNIT_GRAD, 200},
      {EKValue(1, UNIT_RAD), UNIT_DEG, 57.2957802f},
      {EKValue(180, UNIT_DEG), UNIT_RAD, 3.14159274f},
      {EKValue(1, UNIT_RAD), UNIT_GRAD, 63.6619759f},
      {EKValue(90, UNIT_NUMBER), UNIT_DEG, 90},
      {EKValue(2, UNIT_S), UNIT_MS, 2000},
      {EKValue(500, UNIT_MS), UNIT_S, 0.5f},
      {EKValue(3, UNIT_KHZ), UNIT_HZ, 3000},
      {EKValue(3, UNIT_HZ), UNIT_KHZ, 0.003f},
      {EKValue(2, UNIT_S), UNIT_HZ, NaN},
      {EKValue(1, UNIT_DPCM), UNIT_DPI, 2.54f},
      {EKValue(254, UNIT_DPI), UNIT_DPCM, 100},
      {EKValue(96, UNIT_DPI), UNIT_NUMBER, 96},
      {EKValue(7, UNIT_EM), UNIT_NONE, 7},
      {EKValue(7, UNIT_EM), UNIT_LOCAL, NaN},
      {EKValue(EKN_auto), UNIT_PT, NaN},
      {EKValue(u("3"), UNIT_NONE), UNIT_NUMBER, NaN},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value.toString() + UnicodeString(u" -> ") + EKValue::getUnitString(row.wanted));
    const float got = row.value.getRealValue(row.wanted);
    if (std::isnan(row.expected))
      EXPECT_TRUE(std::isnan(got)) << got;
    else
      EXPECT_FLOAT_EQ(got, row.expected);
  }
}

TEST(Units, NormalizeUnitAndLengthValue) {
  const struct {
    EKValue value;
    EKValueType type;
    EKUnitType unit;
    float number;
  } rows[] = {
      {EKValue(2, UNIT_IN), VALUE_REAL, UNIT_PT, 144},
      {EKValue(1.5f, UNIT_S), VALUE_REAL, UNIT_MS, 1500},
      {EKValue(200, UNIT_GRAD), VALUE_REAL, UNIT_DEG, 180},
      {EKValue(2, UNIT_KHZ), VALUE_REAL, UNIT_HZ, 2000},
      {EKValue(50, UNIT_PERCENT), VALUE_REAL, UNIT_PERCENT, 50},
      {EKValue(300, UNIT_DPI), VALUE_INTEGER, UNIT_NUMBER, 300},
      {EKValue(10, UNIT_DPCM), VALUE_REAL, UNIT_NUMBER, 25.4f},
      {EKValue(3, UNIT_PT), VALUE_REAL, UNIT_PT, 3},
      {EKValue(3, UNIT_EM), VALUE_INTEGER, UNIT_EM, 3},
      {EKValue(3, UNIT_NUMBER), VALUE_INTEGER, UNIT_NUMBER, 3},
  };
  for (const auto& row : rows) {
    EKValue v(row.value);
    v.normalizeUnit();
    SCOPED_TRACE(row.value.toString());
    EXPECT_EQ(v.getValueType(), row.type);
    EXPECT_EQ(v.getUnitType(), row.unit);
    EXPECT_FLOAT_EQ(v.getRealValue(), row.number);
  }

  EXPECT_EQ(float(EKValue(2, UNIT_CM).getLengthValue()), 2 * 28.3464565f);
  EXPECT_TRUE(EKValue(5, UNIT_PERCENT).getLengthValue().isAuto());
  EXPECT_TRUE(EKValue(5, UNIT_PX).getLengthValue().isAuto());
  // A compound gives its "length" part, else its unnamed part, else its "optimum".
  EKValue range;
  range.setNamedItem(EKN_optimum, EKValue(3, UNIT_PT));
  EXPECT_EQ(float(range.getLengthValue()), 3.0f);
  range.setNamedItem(EKName(), EKValue(2, UNIT_PT));
  EXPECT_EQ(float(range.getLengthValue()), 2.0f);
  range.setNamedItem(EKN_length, EKValue(1, UNIT_IN));
  EXPECT_EQ(float(range.getLengthValue()), 72.0f);
  EKValue other;
  other.setNamedItem(EKN_minimum, EKValue(1, UNIT_PT));
  EXPECT_TRUE(other.getLengthValue().isAuto());
}

} // namespace
