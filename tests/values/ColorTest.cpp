#include "support/TestStrings.h"

#include <gtest/gtest.h>

using namespace EKCommonNS;

namespace {

EKColor named(const char* name) { return EKColor(EKName(u(name))); }

TEST(Color, Conversions) {
  EXPECT_EQ(EKColor::cmyk2rgb(0, 0, 0, 1), 0x000000u);
  EXPECT_EQ(EKColor::cmyk2rgb(1, 0, 0, 0), 0x00FFFFu);
  EXPECT_EQ(EKColor::cmyk2rgb(0, 0.5f, 0, 0.5f), 0x804080u);
  EXPECT_EQ(EKColor::rgb2cmyk(0x000000), EKColor(0.0f, 0.0f, 0.0f, 1.0f));
  const EKColor orange = EKColor::rgb2cmyk(0xFF8000);
  EXPECT_FLOAT_EQ(orange.getM(), 1 - 128 / 255.0f);
  EXPECT_FLOAT_EQ(orange.getY(), 1.0f);
  EXPECT_EQ(orange.getRGB(), 0xFF8000u);
  const EKColor under = EKColor::rgb2cmyk(0xFFFFFF, 0.25f, 0.5f);
  EXPECT_EQ(under.getC(), 0.0f) << "clamped";
  EXPECT_EQ(under.getK(), 0.5f);
  EXPECT_EQ(under.getRGB(), 0x9F9F9Fu) << "the sRGB form comes from the unclamped components";
  EXPECT_EQ(EKColor::hsl2rgb(120, 1, 0.5f), 0x00FF00u);
  EXPECT_EQ(EKColor::hsl2rgb(300, 0.5f, 0.75f), 0xDF9FDFu);
  EXPECT_EQ(EKColor::hsl2rgb(0, 0, 1), 0xFFFFFFu);
  const EKColor white = EKColor::rgb2gray(0xFFFFFF);
  EXPECT_EQ(white.getGray(), 1.0f);
  EXPECT_EQ(white.getRGB(), 0xFFFFFFu);
  EXPECT_EQ(EKColor::round255(-1), 0);
  EXPECT_EQ(EKColor::round255(0.5f), 128);
  EXPECT_EQ(EKColor::round255(2), 255);
  EXPECT_EQ(EKColor::zeroone(-0.1f), 0.0f);
  EXPECT_EQ(EKColor::reverseRGB(0x123456), 0x563412u);
  EXPECT_EQ(EKColor(-1, 256, 0x1AB).getRGB(), 0xFF00ABu) << "channels wrap modulo 256";
  EXPECT_EQ(EKColor(1.0f, 0.5f, 0.0f).getRGB(), 0xFF8000u);
  EXPECT_EQ(EKColor(0xFFFFFFu).getDark().getRGB(), 0xAAAAAAu);
  EXPECT_EQ(EKColor(0x000000u).getLight().getRGB(), 0x808080u);
  EXPECT_EQ(EKColor(0x00FF80u).invert().getRGB(), 0xFF007Fu);
  EXPECT_EQ(EKColor::getTransparent().invert().getRGB(), 0u);
  EXPECT_TRUE(EKColor::getInvalidColor().invert().isTransparent());
}

TEST(Color, SettersClampAndReport) {
  EKColor c;
  EXPECT_TRUE(c.setHSL(-120, 0.5f, 0.5f, true));
  EXPECT_FLOAT_EQ(c.getH(), 240);
  EXPECT_FALSE(c.setHSL(720, 1.5f, 0.5f, true));
  EXPECT_EQ(c.getH(), 0.0f);
  EXPECT_EQ(c.getS(), 1.0f);
  EXPECT_TRUE(c.setHSL(10, 1.5f, 0.5f, false));
  EXPECT_TRUE(c.setRGBex(0.5f, 1.0f, 0.0f, true));
  EXPECT_TRUE(c.isRGBex());
  EXPECT_EQ(c.getRGB(), 0x80FF00u);
  EXPECT_FALSE(c.setRGBex(1.2f, -0.5f, 0.0f, true));
  EXPECT_EQ(c.getRGB(), 0xFF0000u);
  EXPECT_FLOAT_EQ(c.getRex(), 1.2f) << "the exact channels are kept unclamped";
  EXPECT_FALSE(c.setAlpha(1.5f, true));
  EXPECT_EQ(c.getAlpha(), 1.0f);
  EXPECT_TRUE(c.setAlpha(128, true));
  EXPECT_FLOAT_EQ(c.getAlpha(), 128 / 255.0f);
  EXPECT_TRUE(c.setAlpha(EKColor::NO_ALPHA, true));
  EXPECT_FALSE(c.hasAlpha());

  const EKValue n300(300), n0(0), pct50(50, UNIT_PERCENT), half(0.5f), none;
  EXPECT_FALSE(c.setRGB(n300, n0, n0, nullptr, true));
  EXPECT_EQ(c.getRGB(), 0xFF0000u);
  EXPECT_TRUE(c.setRGB(n300, n0, n0, nullptr, false));
  EXPECT_FALSE(c.setRGB(pct50, n0, n0, nullptr, false)) << "numbers mixed with percentages";
  EXPECT_TRUE(c.isInvalid());
  EXPECT_TRUE(c.setRGB(pct50, pct50, pct50, &half, true));
  EXPECT_EQ(c.getRGB(), 0x808080u);
  EXPECT_EQ(c.getAlpha(), 0.5f);
  EXPECT_TRUE(c.setRGB(EKValue(EKN_red), none, none, &pct50, true)) << "rgba(name, alpha)";
  EXPECT_EQ(c.getRGB(), 0xFF0000u);
  EXPECT_EQ(c.getAlpha(), 0.5f);
  EXPECT_FALSE(c.setRGB(EKValue(EKName(u("nocolor"))), none, none, nullptr, false));
  EXPECT_FALSE(c.setRGB(n0, n0, n0, &none, false)) << "an alpha must be a number";
  EXPECT_TRUE(c.setCMYK(pct50, half, n0, EKValue(1), nullptr, true));
  EXPECT_EQ(c.getC(), 0.5f);
  EXPECT_EQ(c.getM(), 0.5f);
  EXPECT_FALSE(c.setCMYK(n300, n0, n0, n0, nullptr, true));
  EXPECT_EQ(c.getC(), 1.0f);
  EXPECT_FALSE(c.setCMYK(EKValue(2, UNIT_PT), n0, n0, n0, nullptr, false));
  EXPECT_TRUE(c.setHSL(EKValue(120), pct50, pct50, nullptr, true));
  EXPECT_EQ(c.getRGB(), 0x40BF40u);
  EXPECT_FALSE(c.setHSL(EKValue(120, UNIT_DEG), pct50, pct50, nullptr, true));
}

TEST(Color, NamedColours) {
  const struct {
    const char* name;
    uint32_t rgb;
  } rows[] = {
      {"red", 0xFF0000},       {"RED", 0xFF0000},         {"ReBeccaPurple", 0x663399},
      {"darkseagreen", 0x8FBC8B}, {"aqua", 0x00FFFF},     {"grey", 0x808080},
      {"lightgoldenrodyellow", 0xFAFAD2}, {"transparent", EKColor::RGB_TRANSPARENT},
      {"currentColor", EKColor::RGB_CURRENT_COLOR}, {"CurrentColor", EKColor::RGB_CURRENT_COLOR},
      {"invert", EKColor::RGB_INVERT}, {"window", 0xFFFFFF}, {"ActiveCaption", 0x0A246A},
      {"threedface", 0xD4D0C8}, {"infobackground", 0xFFFFE1}, {"nocolor", EKColor::RGB_INVALID},
      {"", EKColor::RGB_INVALID},
  };
  for (const auto& row : rows)
    EXPECT_EQ(named(row.name).getRGB(), row.rgb) << row.name;
  EXPECT_TRUE(named("k100").isK100());
  EXPECT_TRUE(named("nocolor").isInvalid());
  EXPECT_FALSE(named("transparent").isInvalid());

  const struct {
    uint32_t rgb;
    const char* name;
  } back[] = {
      {0x00FFFF, "cyan"}, {0xFF00FF, "magenta"}, {0x808080, "gray"}, {0x2F4F4F, "darkslategray"},
      {0x8FBC8B, "darkseagreen"}, {0x8FBC8F, ""}, {0xD4D0C8, ""}, {0x663399, "rebeccapurple"},
  };
  for (const auto& row : back)
    EXPECT_EQ(EKColor(row.rgb).getColorName(false).toString(), u(row.name));
  EXPECT_EQ(EKColor::getTransparent().getColorName(false), EKName(EKN_transparent));
  EXPECT_EQ(EKColor(0.0f, 0.0f, 0.0f, 1.0f).getColorName(false), EKName(EKN_k100));
  EXPECT_TRUE(EKColor(0.0f, 0.0f, 0.0f, 1.0f).getColorName(true).isEmpty());
  EKColor withAlpha(0xFF0000u);
  withAlpha.setAlpha(0.5f, false);
  EXPECT_TRUE(withAlpha.getColorName(false).isEmpty());
  EXPECT_TRUE(EKColor::isInvalidColorNameValue(EKValue(EKName(u("nocolor")))));
  EXPECT_FALSE(EKColor::isInvalidColorNameValue(EKValue(EKN_inherit)));
  EXPECT_FALSE(EKColor::isInvalidColorNameValue(EKValue(EKN_red)));
  EXPECT_FALSE(EKColor::isInvalidColorNameValue(EKValue(u("nocolor"), UNIT_STRING)));
}

EKColor withAlpha(EKColor c, float a) {
  c.setAlpha(a, false);
  return c;
}
EKColor hsl(float h, float s, float l) {
  EKColor c;
  c.setHSL(h, s, l, false);
  return c;
}
EKColor rgbEx(float r, float g, float b) {
  EKColor c;
  c.setRGBex(r, g, b, false);
  return c;
}

TEST(Color, PrintingInEveryForm) {
  const EKColor red(0xFF0000u);
  const struct {
    EKColor color;
    const char* xsl;      // toString(false, false, false)
    const char* css;      // toString(true, false, false)
    const char* sRGBOnly; // toString(false, false, true)
  } rows[] = {
      {EKColor(0x00A0FFu), "#00A0FF", "#00A0FF", "#00A0FF"},
      {red, "#FF0000", "red", "#FF0000"},
      {EKColor::getTransparent(), "transparent", "transparent", "transparent"},
      {EKColor::getCurrentColor(), "currentColor", "currentColor", "currentColor"},
      {EKColor::getInvert(), "invert", "invert", "invert"},
      {EKColor::getInvalidColor(), "", "", ""},
      {withAlpha(red, 0.5f), "rgba(255,0,0,0.5)", "rgba(255,0,0,0.5)", "rgba(255,0,0,0.5)"},
      {rgbEx(0.5f, 0.25f, 1), "rgb(50%,25%,100%)", "rgb(50%,25%,100%)", "#8040FF"},
      {withAlpha(rgbEx(0.5f, 0.25f, 1), 0.3f), "rgba(50%,25%,100%,0.3)", "rgba(50%,25%,100%,0.3)",
       "rgba(128,64,255,0.3)"},
      {hsl(120, 1, 0.25f), "hsl(120,100%,25%)", "hsl(120,100%,25%)", "#008000"},
      {withAlpha(hsl(120, 1, 0.25f), 1), "hsla(120,100%,25%,1)", "hsla(120,100%,25%,1)",
       "rgba(0,128,0,1)"},
      {EKColor(0.1f, 0.2f, 0.3f, 0.4f), "cmyk(0.1,0.2,0.3,0.4)", "cmyk(0.1,0.2,0.3,0.4)", "#8A7A6B"},
      {withAlpha(EKColor(0.0f, 0.0f, 0.0f, 1.0f), 0.5f), "cmyka(0,0,0,1,0.5)",
       "cmyka(0,0,0,1,0.5)", "rgba(0,0,0,0.5)"},
      {EKColor(red, 0.0f, 1.0f, 1.0f, 0.0f), "rgb-icc(255,0,0,#CMYK,0,1,1,0)",
       "#FF0000 icc-color(#CMYK,0,1,1,0)", "#FF0000"},
      {EKColor(0.5f), "rgb-icc(#GRAYSCALE,0.5)", "#808080 icc-color(#GRAYSCALE,0.5)", "#808080"},
      {EKColor(red, 0.5f), "rgb-icc(255,0,0,#GRAYSCALE,0.5)",
       "#FF0000 icc-color(#GRAYSCALE,0.5)", "#FF0000"},
      {EKColor(red, EKName(u("my-profile")), 0.25f, 0.5f, 0, 0, 2),
       "rgb-icc(255,0,0,my-profile,0.25,0.5)", "#FF0000 icc-color(my-profile,0.25,0.5)", "#FF0000"},
      {EKColor(red, u("Gold Ink"), 0.5f), "rgb-icc(255,0,0,#SEPARATION,\"Gold Ink\",0.5)",
       "#FF0000 icc-color(#SEPARATION,\"Gold Ink\",0.5)", "#FF0000"},
      {EKColor(u("Gold Ink"), 1, 0, 0.2f, 1, 0),
       "rgb-icc(#SEPARATION,\"Gold Ink\",1,0,0.2,1,0)",
       "#FFCC00 icc-color(#SEPARATION,\"Gold Ink\",1,0,0.2,1,0)", "#FFCC00"},
      {EKColor(u(""), 1), "rgb-icc(#REGISTRATION,1)", "#000000 icc-color(#REGISTRATION,1)",
       "#000000"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.color.toString(false, false, false), u(row.xsl));
    EXPECT_EQ(row.color.toString(true, false, false), u(row.css));
    EXPECT_EQ(row.color.toString(false, false, true), u(row.sRGBOnly));
  }
  EXPECT_EQ(red.toString(true, true, false), u("#FF0000")) << "noName";
}

TEST(Color, SpacesPredicatesAndEquality) {
  const EKColor red(0xFF0000u);
  EKColor spot(red, u("Spot"), 0.5f);
  EXPECT_TRUE(spot.hasSeparationRGB() && spot.hasSeparationTint() && !spot.hasSeparationCMYK());
  EXPECT_EQ(spot.getSeparationRGB(), EKColor::cmyk2rgb(0, 0.5f, 0.5f, 0));
  EXPECT_FLOAT_EQ(spot.getSeparationM(), 1.0f) << "the alternate comes from the fallback";
  spot.deleteSeparationRGB();
  EXPECT_EQ(spot.getRGB(), 0u);
  EXPECT_FALSE(spot.hasSeparationRGB());
  EKColor explicitSpot(u("Spot"), 0.5f, 1, 0, 0, 0);
  EXPECT_EQ(explicitSpot.getRGB(), EKColor::cmyk2rgb(0.5f, 0, 0, 0));
  explicitSpot.adjustSeparationFlags(false, false, true, true);
  EXPECT_EQ(explicitSpot.getSeparationTint(), 1.0f);
  EXPECT_EQ(explicitSpot.getRGB(), 0x00FFFFu);
  EXPECT_TRUE(EKColor(u("all"), 1).isRegistration());
  EXPECT_EQ(EKColor(u(""), 1).getSeparationColorName(), u("All"));
  EXPECT_EQ(EKColor(u("ALL"), 1), EKColor(u("All"), 1)) << "registration names are equal";
  EXPECT_NE(EKColor(u("A"), 1), EKColor(u("B"), 1));

  EXPECT_TRUE(EKColor(red, EKName(u("#RGB")), 1, 0, 0, 0).isInvalid());
  EXPECT_FALSE(EKColor(red, EKName(u("#CMYK")), 1, 0, 0, 0).isInvalid());
  EXPECT_FALSE(EKColor(red, EKName(u("sRGB-profile")), 1, 0, 0, 0).isInvalid());
  EXPECT_TRUE(EKColor(0x12000000u).isInvalid());
  EXPECT_TRUE(withAlpha(red, 0).isTransparent(true));
  EXPECT_FALSE(withAlpha(red, 0).isTransparent(false));
  EXPECT_TRUE(withAlpha(EKColor(0.0f, 0.0f, 0.0f, 1.0f), 1).isK100());
  EXPECT_FALSE(withAlpha(EKColor(0.0f, 0.0f, 0.0f, 1.0f), 0.5f).isK100());

  EXPECT_EQ(red, EKColor(255, 0, 0));
  EXPECT_NE(red, withAlpha(red, 1)) << "an absent alpha differs from alpha 1";
  EXPECT_EQ(withAlpha(red, 0.5f), withAlpha(red, 0.5f));
  EXPECT_NE(EKColor(0.5f), EKColor(0.5f, 0.5f, 0.5f)) << "grey and RGB are different spaces";
  EXPECT_NE(EKColor(red, 0.0f, 1.0f, 1.0f, 0.0f), EKColor(0.0f, 1.0f, 1.0f, 0.0f));
  EXPECT_NE(rgbEx(0.5f, 0, 0), EKColor(0x800000u));
}

TEST(Color, ValuesRoundTrip) {
  const EKColor red(0xFF0000u);
  EKColor spot(red, u("Spot"), 0.5f, 0, 1, 1, 0);
  spot.setAlpha(0.75f, false);
  EKColor tintless(u("Spot"), 1, 0, 1, 1, 0);
  tintless.adjustSeparationFlags(false, false, true, true);
  const EKColor colors[] = {
      red, EKColor::getTransparent(), withAlpha(red, 0.5f), rgbEx(0.5f, 2, 0),
      hsl(200, 0.5f, 0.5f), EKColor(0.1f, 0.2f, 0.3f, 0.4f), EKColor(red, 0.1f, 0.2f, 0.3f, 0.4f),
      EKColor(0.25f), EKColor(red, 0.25f), spot, tintless, EKColor(u("All"), 0.3f),
      EKColor(red, EKName(u("prof")), 0.1f, 0.2f, 0.3f, 0.4f, 3),
  };
  for (const EKColor& color : colors) {
    const EKValue value(color);
    EXPECT_TRUE(value.isColor()) << color.toString(false, false, false);
    EXPECT_EQ(value.getColorValue(), color) << color.toString(false, false, false);
    EXPECT_EQ(value.toString(), color.toString(false, false, false));
    EXPECT_EQ(EKValue(color), value.clone());
  }
  EXPECT_TRUE(EKValue(red).isInteger());
  EXPECT_EQ(EKValue(EKN_red).getColorValue(), red);
  EXPECT_TRUE(EKValue(EKName(u("nocolor"))).getColorValue().isTransparent());
  EXPECT_TRUE(EKValue(EKName(u("nocolor"))).getColorValue(true).isInvalid());
  EXPECT_TRUE(EKValue(12, UNIT_PT).getColorValue(true).isInvalid());
  EXPECT_EQ(EKColor(EKValue(EKN_blue)).getRGB(), 0x0000FFu);
}

} // namespace
