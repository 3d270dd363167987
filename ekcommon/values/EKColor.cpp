#include "ekcommon/values/EKColor.h"

#include "ekcommon/core/EKEmptyString.h"
#include "ekcommon/names/EKNameTable.h"
#include "ekcommon/platform/EKSysColor.h"
#include "ekcommon/text/EKUtil.h"
#include "ekcommon/values/EKValue.h"

#include <cmath>

#include <unicode/locid.h>
#include <unicode/uchar.h>

namespace EKCommonNS {

namespace {

struct NamedColor {
  EKNameEnum name;
  uint32_t rgb;
};

// The CSS colour names. Where two names share a value, the one listed first is the name that
// getColorName gives: cyan before aqua, magenta before fuchsia, gray before grey. darkseagreen
// keeps the value it has always had in documents made with this library (0x8FBC8B).
constexpr NamedColor NAMED_COLORS[] = {
    {EKN_aliceblue, 0xF0F8FF}, {EKN_antiquewhite, 0xFAEBD7}, {EKN_aquamarine, 0x7FFFD4},
    {EKN_azure, 0xF0FFFF}, {EKN_beige, 0xF5F5DC}, {EKN_bisque, 0xFFE4C4}, {EKN_black, 0x000000},
    {EKN_blanchedalmond, 0xFFEBCD}, {EKN_blue, 0x0000FF}, {EKN_blueviolet, 0x8A2BE2},
    {EKN_brown, 0xA52A2A}, {EKN_burlywood, 0xDEB887}, {EKN_cadetblue, 0x5F9EA0},
    {EKN_chartreuse, 0x7FFF00}, {EKN_chocolate, 0xD2691E}, {EKN_coral, 0xFF7F50},
    {EKN_cornflowerblue, 0x6495ED}, {EKN_cornsilk, 0xFFF8DC}, {EKN_crimson, 0xDC143C},
    {EKN_cyan, 0x00FFFF}, {EKN_aqua, 0x00FFFF}, {EKN_darkblue, 0x00008B}, {EKN_darkcyan, 0x008B8B},
    {EKN_darkgoldenrod, 0xB8860B}, {EKN_darkgray, 0xA9A9A9}, {EKN_darkgreen, 0x006400},
    {EKN_darkgrey, 0xA9A9A9}, {EKN_darkkhaki, 0xBDB76B}, {EKN_darkmagenta, 0x8B008B},
    {EKN_darkolivegreen, 0x556B2F}, {EKN_darkorange, 0xFF8C00}, {EKN_darkorchid, 0x9932CC},
    {EKN_darkred, 0x8B0000}, {EKN_darksalmon, 0xE9967A}, {EKN_darkseagreen, 0x8FBC8B},
    {EKN_darkslateblue, 0x483D8B}, {EKN_darkslategray, 0x2F4F4F}, {EKN_darkslategrey, 0x2F4F4F},
    {EKN_darkturquoise, 0x00CED1}, {EKN_darkviolet, 0x9400D3}, {EKN_deeppink, 0xFF1493},
    {EKN_deepskyblue, 0x00BFFF}, {EKN_dimgray, 0x696969}, {EKN_dimgrey, 0x696969},
    {EKN_dodgerblue, 0x1E90FF}, {EKN_firebrick, 0xB22222}, {EKN_floralwhite, 0xFFFAF0},
    {EKN_forestgreen, 0x228B22}, {EKN_gainsboro, 0xDCDCDC}, {EKN_ghostwhite, 0xF8F8FF},
    {EKN_gold, 0xFFD700}, {EKN_goldenrod, 0xDAA520}, {EKN_gray, 0x808080}, {EKN_green, 0x008000},
    {EKN_greenyellow, 0xADFF2F}, {EKN_grey, 0x808080}, {EKN_honeydew, 0xF0FFF0},
    {EKN_hotpink, 0xFF69B4}, {EKN_indianred, 0xCD5C5C}, {EKN_indigo, 0x4B0082},
    {EKN_ivory, 0xFFFFF0}, {EKN_khaki, 0xF0E68C}, {EKN_lavender, 0xE6E6FA},
    {EKN_lavenderblush, 0xFFF0F5}, {EKN_lawngreen, 0x7CFC00}, {EKN_lemonchiffon, 0xFFFACD},
    {EKN_lightblue, 0xADD8E6}, {EKN_lightcoral, 0xF08080}, {EKN_lightcyan, 0xE0FFFF},
    {EKN_lightgoldenrodyellow, 0xFAFAD2}, {EKN_lightgray, 0xD3D3D3}, {EKN_lightgreen, 0x90EE90},
    {EKN_lightgrey, 0xD3D3D3}, {EKN_lightpink, 0xFFB6C1}, {EKN_lightsalmon, 0xFFA07A},
    {EKN_lightseagreen, 0x20B2AA}, {EKN_lightskyblue, 0x87CEFA}, {EKN_lightslategray, 0x778899},
    {EKN_lightslategrey, 0x778899}, {EKN_lightsteelblue, 0xB0C4DE}, {EKN_lightyellow, 0xFFFFE0},
    {EKN_lime, 0x00FF00}, {EKN_limegreen, 0x32CD32}, {EKN_linen, 0xFAF0E6}, {EKN_magenta, 0xFF00FF},
    {EKN_fuchsia, 0xFF00FF}, {EKN_maroon, 0x800000}, {EKN_mediumaquamarine, 0x66CDAA},
    {EKN_mediumblue, 0x0000CD}, {EKN_mediumorchid, 0xBA55D3}, {EKN_mediumpurple, 0x9370DB},
    {EKN_mediumseagreen, 0x3CB371}, {EKN_mediumslateblue, 0x7B68EE},
    {EKN_mediumspringgreen, 0x00FA9A}, {EKN_mediumturquoise, 0x48D1CC},
    {EKN_mediumvioletred, 0xC71585}, {EKN_midnightblue, 0x191970}, {EKN_mintcream, 0xF5FFFA},
    {EKN_mistyrose, 0xFFE4E1}, {EKN_moccasin, 0xFFE4B5}, {EKN_navajowhite, 0xFFDEAD},
    {EKN_navy, 0x000080}, {EKN_oldlace, 0xFDF5E6}, {EKN_olive, 0x808000}, {EKN_olivedrab, 0x6B8E23},
    {EKN_orange, 0xFFA500}, {EKN_orangered, 0xFF4500}, {EKN_orchid, 0xDA70D6},
    {EKN_palegoldenrod, 0xEEE8AA}, {EKN_palegreen, 0x98FB98}, {EKN_paleturquoise, 0xAFEEEE},
    {EKN_palevioletred, 0xDB7093}, {EKN_papayawhip, 0xFFEFD5}, {EKN_peachpuff, 0xFFDAB9},
    {EKN_peru, 0xCD853F}, {EKN_pink, 0xFFC0CB}, {EKN_plum, 0xDDA0DD}, {EKN_powderblue, 0xB0E0E6},
    {EKN_purple, 0x800080}, {EKN_rebeccapurple, 0x663399}, {EKN_red, 0xFF0000},
    {EKN_rosybrown, 0xBC8F8F}, {EKN_royalblue, 0x4169E1}, {EKN_saddlebrown, 0x8B4513},
    {EKN_salmon, 0xFA8072}, {EKN_sandybrown, 0xF4A460}, {EKN_seagreen, 0x2E8B57},
    {EKN_seashell, 0xFFF5EE}, {EKN_sienna, 0xA0522D}, {EKN_silver, 0xC0C0C0},
    {EKN_skyblue, 0x87CEEB}, {EKN_slateblue, 0x6A5ACD}, {EKN_slategray, 0x708090},
    {EKN_slategrey, 0x708090}, {EKN_snow, 0xFFFAFA}, {EKN_springgreen, 0x00FF7F},
    {EKN_steelblue, 0x4682B4}, {EKN_tan, 0xD2B48C}, {EKN_teal, 0x008080}, {EKN_thistle, 0xD8BFD8},
    {EKN_tomato, 0xFF6347}, {EKN_turquoise, 0x40E0D0}, {EKN_violet, 0xEE82EE},
    {EKN_wheat, 0xF5DEB3}, {EKN_white, 0xFFFFFF}, {EKN_whitesmoke, 0xF5F5F5},
    {EKN_yellow, 0xFFFF00}, {EKN_yellowgreen, 0x9ACD32},
};

// The CSS 2 system colour names with their system colour indexes.
constexpr NamedColor SYSTEM_COLORS[] = {
    {EKN_scrollbar, 0},          {EKN_background, 1},         {EKN_activecaption, 2},
    {EKN_inactivecaption, 3},    {EKN_menu, 4},               {EKN_window, 5},
    {EKN_windowframe, 6},        {EKN_menutext, 7},           {EKN_windowtext, 8},
    {EKN_captiontext, 9},        {EKN_activeborder, 10},      {EKN_inactiveborder, 11},
    {EKN_appworkspace, 12},      {EKN_highlight, 13},         {EKN_highlighttext, 14},
    {EKN_buttonface, 15},        {EKN_threedface, 15},        {EKN_buttonshadow, 16},
    {EKN_threedshadow, 16},      {EKN_graytext, 17},          {EKN_buttontext, 18},
    {EKN_inactivecaptiontext, 19}, {EKN_buttonhighlight, 20}, {EKN_threedhighlight, 20},
    {EKN_threeddarkshadow, 21},  {EKN_threedlightshadow, 22}, {EKN_infotext, 23},
    {EKN_infobackground, 24},
};

template <size_t N>
const NamedColor* findName(const NamedColor (&table)[N], EKNameEnum name) {
  for (const NamedColor& entry : table)
    if (entry.name == name)
      return &entry;
  return nullptr;
}

// The colour of a name as spelled, or false when the name is none.
bool lookupColorName(EKName name, EKColor& color) {
  switch (static_cast<EKNameEnum>(name)) {
  case EKN_transparent: color = EKColor::getTransparent(); return true;
  case EKN_currentColor:
  case EKN_currentcolor: color = EKColor::getCurrentColor(); return true;
  case EKN_invert: color = EKColor::getInvert(); return true;
  case EKN_k100: color = EKColor(0.0f, 0.0f, 0.0f, 1.0f); return true;
  default: break;
  }
  if (const NamedColor* entry = findName(NAMED_COLORS, name)) {
    color = EKColor(entry->rgb);
    return true;
  }
  // System colours are looked up each time: the palette belongs to the platform, not to us.
  if (const NamedColor* entry = findName(SYSTEM_COLORS, name)) {
    color = EKColor(EKColor::fromBGR(EKPlatform::getSysColor(static_cast<int>(entry->rgb))));
    return true;
  }
  return false;
}

// Truncation that a float far outside the int range cannot make undefined.
int clampedTruncate(float x, int lo, int hi) {
  if (!(x > lo))
    return lo;
  if (x >= hi)
    return hi;
  return static_cast<int>(x);
}

UnicodeString num(double x) { return EKUtil::toString(x); }
UnicodeString num(int x) { return EKUtil::toString(x); }

// "#RRGGBB".
UnicodeString hexForm(uint32_t rgb) {
  return UnicodeString(u'#').append(EKUtil::toHexString(rgb & 0xFFFFFF, 6));
}

// ",a,b,c" for the given components.
UnicodeString componentList(const float* values, int count) {
  UnicodeString out;
  for (int i = 0; i < count; ++i)
    out.append(u',').append(num(values[i]));
  return out;
}

// "r,g,b," as decimal bytes.
UnicodeString byteTriple(uint32_t rgb) {
  return num(EKColor::getR(rgb)).append(u',').append(num(EKColor::getG(rgb))).append(u',')
      .append(num(EKColor::getB(rgb))).append(u',');
}

// A value read as a colour component number: a plain number as is, a percentage as a fraction.
bool isNumberOrPercentage(const EKValue& v) { return v.isNumber() || v.isPercentage(); }

} // namespace

EKColor::EKColor(float gray) : m_profileType(EKN_GRAYSCALE) {
  m_slots[0] = zeroone(gray);
  const uint32_t level = static_cast<uint32_t>(round255(m_slots[0]));
  m_rgb = level * 0x010101u;
}

EKColor::EKColor(float r, float g, float b) : m_rgb(getRGB(round255(r), round255(g), round255(b))) {}

EKColor::EKColor(float c, float m, float y, float k)
    : m_rgb(cmyk2rgb(c, m, y, k)), m_profileType(EKN_CMYK) {
  m_slots[0] = zeroone(c);
  m_slots[1] = zeroone(m);
  m_slots[2] = zeroone(y);
  m_slots[3] = zeroone(k);
}

EKColor::EKColor(EKName name) : m_rgb(RGB_INVALID) {
  if (lookupColorName(name, *this))
    return;
  // Every colour name is built in, so the lower-case form is looked up without interning it:
  // arbitrary words of a document must not grow the name table.
  UnicodeString lower = name.toString();
  lower.toLower(icu::Locale::getRoot());
  const EKNameEnum lowerName = EKNameTable::getBuiltinNameEnum(lower);
  if (lowerName == name || lowerName == EKN_EMPTY || !lookupColorName(lowerName, *this))
    *this = getInvalidColor();
}

EKColor::EKColor(const EKValue& value) : EKColor(value.getColorValue()) {}

EKColor::EKColor(const EKColor& fallback, float gray) : EKColor(gray) {
  m_rgb = fallback.m_rgb;
  m_alpha = fallback.m_alpha;
  setFlag(FLAG_FALLBACK_RGB, true);
}

EKColor::EKColor(const EKColor& fallback, float c, float m, float y, float k)
    : EKColor(c, m, y, k) {
  m_rgb = fallback.m_rgb;
  m_alpha = fallback.m_alpha;
  setFlag(FLAG_FALLBACK_RGB, true);
}

EKColor::EKColor(const EKColor& fallback, EKName profileName, float v0, float v1, float v2,
                 float v3, int count)
    : m_rgb(fallback.m_rgb), m_alpha(fallback.m_alpha), m_profileType(EKN_icc_color),
      m_name(profileName.toString()) {
  m_slots[0] = v0;
  m_slots[1] = v1;
  m_slots[2] = v2;
  m_slots[3] = v3;
  m_count = static_cast<uint8_t>(count < 1 ? 1 : count > 4 ? 4 : count);
}

EKColor::EKColor(const EKColor& fallback, const UnicodeString& separationName, float tint) {
  initSeparation(separationName, tint);
  m_rgb = fallback.m_rgb;
  m_alpha = fallback.m_alpha;
  const EKColor alternate = rgb2cmyk(m_rgb);
  setSeparationAlternate(alternate.m_slots[0], alternate.m_slots[1], alternate.m_slots[2],
                         alternate.m_slots[3]);
  m_flags = FLAG_FALLBACK_RGB | FLAG_SEPARATION_TINT;
}

EKColor::EKColor(const EKColor& fallback, const UnicodeString& separationName, float tint,
                 float c, float m, float y, float k) {
  initSeparation(separationName, tint);
  m_rgb = fallback.m_rgb;
  m_alpha = fallback.m_alpha;
  setSeparationAlternate(c, m, y, k);
  m_flags = FLAG_FALLBACK_RGB | FLAG_SEPARATION_TINT | FLAG_SEPARATION_CMYK;
}

EKColor::EKColor(const UnicodeString& separationName, float tint) {
  initSeparation(separationName, tint);
  setSeparationAlternate(0, 0, 0, 1);
  m_flags = FLAG_SEPARATION_TINT;
  m_rgb = tintedAlternate();
}

EKColor::EKColor(const UnicodeString& separationName, float tint, float c, float m, float y,
                 float k) {
  initSeparation(separationName, tint);
  setSeparationAlternate(c, m, y, k);
  m_flags = FLAG_SEPARATION_TINT | FLAG_SEPARATION_CMYK;
  m_rgb = tintedAlternate();
}

void EKColor::initSeparation(const UnicodeString& name, float tint) {
  m_profileType = EKN_SEPARATION;
  m_name = name.isEmpty() ? UnicodeString(u"All") : name;
  m_slots[0] = zeroone(tint);
}

void EKColor::setSeparationAlternate(float c, float m, float y, float k) {
  m_slots[1] = zeroone(c);
  m_slots[2] = zeroone(m);
  m_slots[3] = zeroone(y);
  m_slots[4] = zeroone(k);
}

bool EKColor::setRGBex(float r, float g, float b, bool strict) {
  const float channels[3] = {r, g, b};
  int bytes[3];
  bool clamped = false;
  for (int i = 0; i < 3; ++i) {
    const float scaled = channels[i] * 255 + 0.5f;
    bytes[i] = clampedTruncate(scaled, 0, 255);
    clamped |= !(scaled >= 0 && scaled < 256);
  }
  const float alpha = m_alpha;
  *this = EKColor(getRGB(bytes[0], bytes[1], bytes[2]));
  m_alpha = alpha;
  m_slots[0] = r;
  m_slots[1] = g;
  m_slots[2] = b;
  m_flags = FLAG_RGBEX;
  return !(strict && clamped);
}

bool EKColor::setHSL(float h, float s, float l, bool strict) {
  const bool clamped = zeroone(s) != s || zeroone(l) != l;
  float hue = std::fmod(std::fmod(h, 360.0f) + 360.0f, 360.0f);
  if (!(hue >= 0 && hue < 360)) // NaN or infinite input, or the rounding of -tiny + 360
    hue = 0;
  const float alpha = m_alpha;
  *this = EKColor();
  m_alpha = alpha;
  m_profileType = EKN_HSL;
  m_slots[0] = hue;
  m_slots[1] = zeroone(s);
  m_slots[2] = zeroone(l);
  m_rgb = hsl2rgb(hue, m_slots[1], m_slots[2]);
  return !(strict && clamped);
}

bool EKColor::setAlpha(float a, bool strict) {
  if (a == NO_ALPHA) {
    m_alpha = a;
    return true;
  }
  m_alpha = zeroone(a);
  return !(strict && m_alpha != a);
}

bool EKColor::setAlpha(int a, bool strict) {
  const bool ok = setAlpha(a / 255.0f, false);
  return ok && !(strict && (a < 0 || a > 255));
}

bool EKColor::setAlphaValue(const EKValue* alpha, bool strict) {
  if (!alpha)
    return true;
  if (!isNumberOrPercentage(*alpha)) {
    *this = getInvalidColor();
    return false;
  }
  return setAlpha(alpha->getRealValue(UNIT_NUMBER), strict);
}

bool EKColor::setRGB(const EKValue& r, const EKValue& g, const EKValue& b, const EKValue* alpha,
                     bool strict) {
  bool ok = true;
  if (r.isNumber() && g.isNumber() && b.isNumber()) {
    int bytes[3];
    const EKValue* channels[3] = {&r, &g, &b};
    for (int i = 0; i < 3; ++i) {
      const int v = channels[i]->getIntegerValue(0);
      bytes[i] = v < 0 ? 0 : v > 255 ? 255 : v;
      ok &= !(strict && bytes[i] != v);
    }
    *this = EKColor(getRGB(bytes[0], bytes[1], bytes[2]));
  } else if (r.isPercentage() && g.isPercentage() && b.isPercentage()) {
    *this = EKColor();
    ok = setRGBex(r.getRealValue(UNIT_PERCENT) / 100, g.getRealValue(UNIT_PERCENT) / 100,
                  b.getRealValue(UNIT_PERCENT) / 100, strict);
  } else if (r.isName() && g.isNull() && b.isNull()) {
    *this = EKColor(r.getNameValue());
    if (isInvalid())
      return false;
  } else {
    *this = getInvalidColor();
    return false;
  }
  return setAlphaValue(alpha, strict) && ok;
}

bool EKColor::setCMYK(const EKValue& c, const EKValue& m, const EKValue& y, const EKValue& k,
                      const EKValue* alpha, bool strict) {
  const EKValue* components[4] = {&c, &m, &y, &k};
  float values[4];
  bool ok = true;
  for (int i = 0; i < 4; ++i) {
    if (!isNumberOrPercentage(*components[i])) {
      *this = getInvalidColor();
      return false;
    }
    values[i] = components[i]->getRealValue(UNIT_NUMBER);
    ok &= !(strict && zeroone(values[i]) != values[i]);
  }
  *this = EKColor(zeroone(values[0]), zeroone(values[1]), zeroone(values[2]), zeroone(values[3]));
  return setAlphaValue(alpha, strict) && ok;
}

bool EKColor::setHSL(const EKValue& h, const EKValue& s, const EKValue& l, const EKValue* alpha,
                     bool strict) {
  if (!h.isNumber() || !s.isPercentage() || !l.isPercentage()) {
    *this = getInvalidColor();
    return false;
  }
  *this = EKColor();
  const bool ok = setHSL(h.getRealValue(UNIT_NUMBER), s.getRealValue(UNIT_PERCENT) / 100,
                         l.getRealValue(UNIT_PERCENT) / 100, strict);
  return setAlphaValue(alpha, strict) && ok;
}

void EKColor::adjustSeparationFlags(bool hasRGB, bool hasTint, bool hasCMYK, bool recompute) {
  if (!isSeparation())
    return;
  setFlag(FLAG_FALLBACK_RGB, hasRGB);
  setFlag(FLAG_SEPARATION_TINT, hasTint);
  setFlag(FLAG_SEPARATION_CMYK, hasCMYK);
  if (!hasTint)
    m_slots[0] = 1;
  if (recompute && !hasRGB)
    m_rgb = tintedAlternate();
}

void EKColor::deleteSeparationCMYK() {
  if (!isSeparation())
    return;
  setFlag(FLAG_SEPARATION_CMYK, false);
  const EKColor alternate = rgb2cmyk(m_rgb);
  setSeparationAlternate(alternate.m_slots[0], alternate.m_slots[1], alternate.m_slots[2],
                         alternate.m_slots[3]);
}

void EKColor::deleteSeparationRGB() {
  if (!isSeparation())
    return;
  m_rgb = 0;
  setFlag(FLAG_FALLBACK_RGB, false);
}

bool EKColor::isRegistration() const {
  return isSeparation() && m_name.caseCompare(u"All", -1, U_FOLD_CASE_DEFAULT) == 0;
}

bool EKColor::isInvalid() const {
  if ((m_rgb & 0xFF000000u) != 0 && m_rgb != RGB_TRANSPARENT && m_rgb != RGB_INVERT &&
      m_rgb != RGB_CURRENT_COLOR)
    return true;
  if (!isICCColorProfile() || !m_name.startsWith(u"#"))
    return false;
  switch (EKNameTable::getBuiltinNameEnum(m_name)) {
  case EKN_CMYK:
  case EKN_GRAYSCALE:
  case EKN_REGISTRATION:
  case EKN_SEPARATION:
  case EKN_SPOTCOLOR:
    return false;
  default:
    return true;
  }
}

bool EKColor::isK100() const {
  return isCMYK() && m_slots[0] == 0 && m_slots[1] == 0 && m_slots[2] == 0 && m_slots[3] == 1 &&
         (!hasAlpha() || m_alpha == 1);
}

float EKColor::cmykComponent(int i) const {
  return isCMYK() ? m_slots[i] : rgb2cmyk(m_rgb).m_slots[i];
}

float EKColor::getGray() const { return isGrayscale() ? m_slots[0] : rgb2gray(m_rgb).m_slots[0]; }

float EKColor::getICCValue(int i) const {
  return isICCColorProfile() && i >= 0 && i < 4 ? m_slots[i] : 0.0f;
}

const UnicodeString& EKColor::getICCColorProfileName() const {
  return isICCColorProfile() ? m_name : EKEmptyString::getEmptyString();
}

const UnicodeString& EKColor::getSeparationColorName() const {
  return isSeparation() ? m_name : EKEmptyString::getEmptyString();
}

uint32_t EKColor::getSeparationRGB() const {
  return m_slots[0] >= 1 ? m_rgb : tintedAlternate();
}

uint32_t EKColor::tintedAlternate() const {
  const float tint = m_slots[0];
  float alternate[4] = {m_slots[1], m_slots[2], m_slots[3], m_slots[4]};
  if (hasFlag(FLAG_FALLBACK_RGB) && !hasFlag(FLAG_SEPARATION_CMYK)) {
    const EKColor derived = rgb2cmyk(m_rgb);
    for (int i = 0; i < 4; ++i)
      alternate[i] = derived.m_slots[i];
  }
  return cmyk2rgb(tint * alternate[0], tint * alternate[1], tint * alternate[2],
                  tint * alternate[3]);
}

EKColor EKColor::getDark() const {
  return EKColor(getR() * 2 / 3, getG() * 2 / 3, getB() * 2 / 3);
}

EKColor EKColor::getLight() const {
  return EKColor(255 - ((255 - getR()) >> 1), 255 - ((255 - getG()) >> 1),
                 255 - ((255 - getB()) >> 1));
}

EKColor EKColor::invert() const {
  if (isTransparent())
    return EKColor();
  if (isInvalid())
    return getTransparent();
  return EKColor(~m_rgb & 0xFFFFFFu);
}

uint32_t EKColor::cmyk2rgb(float c, float m, float y, float k) {
  auto channel = [k](float x) {
    const float v = x * (1 - k) + k;
    return round255(1 - (v < 1 ? v : 1));
  };
  return getRGB(channel(c), channel(m), channel(y));
}

EKColor EKColor::rgb2cmyk(uint32_t rgb) {
  const float c = 1 - getR(rgb) / 255.0f;
  const float m = 1 - getG(rgb) / 255.0f;
  const float y = 1 - getB(rgb) / 255.0f;
  const float k = std::fmin(c, std::fmin(m, y));
  if (k >= 1)
    return EKColor(0.0f, 0.0f, 0.0f, k);
  return EKColor((c - k) / (1 - k), (m - k) / (1 - k), (y - k) / (1 - k), k);
}

EKColor EKColor::rgb2cmyk(uint32_t rgb, float under, float k) {
  return EKColor(1 - getR(rgb) / 255.0f - under, 1 - getG(rgb) / 255.0f - under,
                 1 - getB(rgb) / 255.0f - under, k);
}

uint32_t EKColor::hsl2rgb(float h, float s, float l) {
  const float t = h / 360;
  const float q = l <= 0.5f ? l * (1 + s) : l + s - l * s;
  const float p = 2 * l - q;
  auto hue = [p, q](float x) {
    if (x < 0)
      x += 1;
    else if (x > 1)
      x -= 1;
    float v;
    if (x < 1.0f / 6)
      v = p + (q - p) * 6 * x;
    else if (x < 0.5f)
      v = q;
    else if (x < 2.0f / 3)
      v = p + (q - p) * (2.0f / 3 - x) * 6;
    else
      v = p;
    return round255(zeroone(v));
  };
  return getRGB(hue(t + 1.0f / 3), hue(t), hue(t - 1.0f / 3));
}

EKColor EKColor::rgb2gray(uint32_t rgb) {
  return EKColor(0.3f * (getR(rgb) / 255.0f) + 0.59f * (getG(rgb) / 255.0f) +
                 0.11f * (getB(rgb) / 255.0f));
}

int EKColor::round255(float f) {
  if (!(f > 0))
    return 0;
  if (f >= 1)
    return 255;
  return static_cast<int>(f * 255 + 0.5f);
}

EKName EKColor::getColorName(bool noK100) const {
  switch (m_rgb) {
  case RGB_TRANSPARENT: return EKN_transparent;
  case RGB_INVERT: return EKN_invert;
  case RGB_CURRENT_COLOR: return EKN_currentColor;
  default: break;
  }
  if (hasAlpha())
    return EKName();
  if (isRGB() && !isRGBex()) {
    for (const NamedColor& entry : NAMED_COLORS)
      if (entry.rgb == m_rgb)
        return entry.name;
    return EKName();
  }
  if (!noK100 && isCMYK() && m_slots[0] == 0 && m_slots[1] == 0 && m_slots[2] == 0 &&
      m_slots[3] == 1)
    return EKN_k100;
  return EKName();
}

UnicodeString EKColor::iccForm(bool cssForm) const {
  UnicodeString out = cssForm ? hexForm(m_rgb).append(u" icc-color(") : UnicodeString(u"rgb-icc(");
  if (isSeparation()) {
    if (!cssForm && hasFlag(FLAG_FALLBACK_RGB))
      out.append(byteTriple(m_rgb));
    if (isRegistration())
      out.append(u"#REGISTRATION");
    else
      out.append(u"#SEPARATION,\"").append(m_name).append(u'"');
    if (hasFlag(FLAG_SEPARATION_TINT))
      out.append(componentList(m_slots, 1));
    if (hasFlag(FLAG_SEPARATION_CMYK))
      out.append(componentList(m_slots + 1, 4));
    return out.append(u')');
  }
  // Grey and CMYK print as the ICC notation of their pseudo-profiles.
  const bool hasFallback = isICCColorProfile() || hasFlag(FLAG_FALLBACK_RGB);
  if (!cssForm && hasFallback)
    out.append(byteTriple(m_rgb));
  const int count = isGrayscale() ? 1 : isCMYK() ? 4 : m_count;
  out.append(isICCColorProfile() ? m_name : m_profileType.toString());
  return out.append(componentList(m_slots, count)).append(u')');
}

UnicodeString EKColor::toString(bool cssForm, bool noName, bool sRGBOnly) const {
  switch (m_rgb) {
  case RGB_TRANSPARENT: return UNICODE_STRING_SIMPLE("transparent");
  case RGB_INVERT: return UNICODE_STRING_SIMPLE("invert");
  case RGB_CURRENT_COLOR: return UNICODE_STRING_SIMPLE("currentColor");
  default: break;
  }
  const bool alpha = hasAlpha();
  if (isHSL() && !sRGBOnly) {
    UnicodeString out(alpha ? u"hsla(" : u"hsl(");
    out.append(num(m_slots[0])).append(u',').append(num(m_slots[1] * 100.0f)).append(u"%,")
        .append(num(m_slots[2] * 100.0f)).append(u'%');
    if (alpha)
      out.append(u',').append(num(m_alpha));
    return out.append(u')');
  }
  if (isCMYK() && !hasCMYKRGB() && !sRGBOnly) {
    UnicodeString out(alpha ? u"cmyka(" : u"cmyk(");
    out.append(componentList(m_slots, 4).tempSubString(1));
    if (alpha)
      out.append(u',').append(num(m_alpha));
    return out.append(u')');
  }
  if (!isRGB() && !sRGBOnly)
    return iccForm(cssForm);
  if ((m_rgb & 0xFF000000u) != 0)
    return UnicodeString();
  if (isRGBex() && !sRGBOnly) {
    UnicodeString out(alpha ? u"rgba(" : u"rgb(");
    for (int i = 0; i < 3; ++i)
      out.append(num(m_slots[i] * 100.0f)).append(i < 2 ? u"%," : u"%");
    if (alpha)
      out.append(u',').append(num(m_alpha));
    return out.append(u')');
  }
  if (alpha)
    return UnicodeString(u"rgba(").append(byteTriple(m_rgb)).append(num(m_alpha)).append(u')');
  if (cssForm && !noName && !sRGBOnly) {
    const EKName name = getColorName(true);
    if (!name.isEmpty())
      return name.toString();
  }
  return hexForm(m_rgb);
}

bool EKColor::isInvalidColorNameValue(const EKValue& value) {
  return value.isName() && !EKName::isInheritEtc(value.getNameValue()) &&
         EKColor(value.getNameValue()).isInvalid();
}

bool EKColor::operator==(const EKColor& other) const {
  if (m_rgb != other.m_rgb || m_profileType != other.m_profileType ||
      hasAlpha() != other.hasAlpha() || (hasAlpha() && m_alpha != other.m_alpha))
    return false;
  auto sameSlots = [this, &other](int from, int to) {
    for (int i = from; i < to; ++i)
      if (m_slots[i] != other.m_slots[i])
        return false;
    return true;
  };
  if (isCMYK())
    return sameSlots(0, 4) && hasCMYKRGB() == other.hasCMYKRGB();
  if (isGrayscale())
    return sameSlots(0, 1);
  if (isSeparation())
    return (isRegistration() ? other.isRegistration() : m_name == other.m_name) &&
           sameSlots(0, 5);
  if (isICCColorProfile())
    return m_name == other.m_name && m_count == other.m_count && sameSlots(0, m_count);
  if (isHSL())
    return sameSlots(0, 3);
  return isRGBex() == other.isRGBex() && (!isRGBex() || sameSlots(0, 3));
}

} // namespace EKCommonNS
