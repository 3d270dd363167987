// A colour: an sRGB colour packed as 0x00RRGGBB that every consumer can use directly, optionally
// enriched with a colour space of its own (exact float RGB, HSL, CMYK, grey, an ICC profile, a
// separation) and an alpha. Enriched colours always keep a usable sRGB approximation in rgb.
// Nothing here parses text; every colour prints back in a notation that the value parser reads.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/names/EKName.h"

#include <cfloat>
#include <cstdint>

namespace EKCommonNS {

class EKValue;

class EKCOMMON_API EKColor {
public:
  // rgb values of the special colours; any other value with a non-zero top byte is invalid too.
  static constexpr uint32_t RGB_TRANSPARENT = 0xFFFFFFFFu;
  static constexpr uint32_t RGB_INVERT = 0xFFFFFFFEu;
  static constexpr uint32_t RGB_CURRENT_COLOR = 0xFE000000u;
  static constexpr uint32_t RGB_INVALID = 0xFF000000u;
  // The alpha of a colour for which none was given.
  static constexpr float NO_ALPHA = FLT_MAX;

  // Black.
  EKColor() = default;
  explicit EKColor(uint32_t rgb) : m_rgb(rgb) {}
  // Each channel taken modulo 256.
  EKColor(int r, int g, int b) : m_rgb(getRGB(r & 0xFF, g & 0xFF, b & 0xFF)) {}
  // A grey level, clamped to 0..1 (1 is white).
  explicit EKColor(float gray);
  // Plain RGB from fractions 0..1.
  EKColor(float r, float g, float b);
  // CMYK, each component clamped to 0..1.
  EKColor(float c, float m, float y, float k);
  // A named colour, case-insensitively: the CSS colour names, transparent, currentColor, invert,
  // k100 and the CSS 2 system colours. Any other name gives the invalid colour.
  explicit EKColor(EKName name);
  // EKValue::getColorValue().
  explicit EKColor(const EKValue& value);

  // The constructors below keep `fallback`'s rgb and alpha as the sRGB form of the colour.
  EKColor(const EKColor& fallback, float gray);
  EKColor(const EKColor& fallback, float c, float m, float y, float k);
  // An ICC colour: the first `count` (1..4) of the component values belong to the profile.
  EKColor(const EKColor& fallback, EKName profileName, float v0, float v1, float v2, float v3,
          int count = 4);
  // A separation whose alternate CMYK is derived from the fallback.
  EKColor(const EKColor& fallback, const UnicodeString& separationName, float tint);
  EKColor(const EKColor& fallback, const UnicodeString& separationName, float tint, float c,
          float m, float y, float k);
  // Separations without a fallback: rgb is the tinted alternate, black when none is given.
  EKColor(const UnicodeString& separationName, float tint);
  EKColor(const UnicodeString& separationName, float tint, float c, float m, float y, float k);

  static EKColor getTransparent() { return EKColor(RGB_TRANSPARENT); }
  static EKColor getCurrentColor() { return EKColor(RGB_CURRENT_COLOR); }
  static EKColor getInvert() { return EKColor(RGB_INVERT); }
  static EKColor getInvalidColor() { return EKColor(RGB_INVALID); }

  // Setters: the colour is always set (with clamped components where needed); the result is
  // false only when `strict` is set and something had to be clamped.
  // Exact RGB: the floats are kept unclamped, the bytes are clamped.
  bool setRGBex(float r, float g, float b, bool strict);
  // Hue in degrees (any value, normalised to [0, 360)), saturation and lightness 0..1.
  bool setHSL(float h, float s, float l, bool strict);
  // NO_ALPHA clears the alpha; anything else is clamped to 0..1.
  bool setAlpha(float a, bool strict);
  // 0..255, scaled by 1/255.
  bool setAlpha(int a, bool strict);
  void clearAlpha() { m_alpha = NO_ALPHA; }
  // From parsed values. Three numbers (0..255) or three percentages, or a colour name with null
  // g and b; the alpha, when given, a number or a percentage. Anything else gives the invalid
  // colour and false.
  bool setRGB(const EKValue& r, const EKValue& g, const EKValue& b, const EKValue* alpha,
              bool strict);
  // Four numbers or percentages (50% = 0.5), each clamped to 0..1.
  bool setCMYK(const EKValue& c, const EKValue& m, const EKValue& y, const EKValue& k,
               const EKValue* alpha, bool strict);
  // A plain number of degrees and two percentages.
  bool setHSL(const EKValue& h, const EKValue& s, const EKValue& l, const EKValue* alpha,
              bool strict);

  // Separations: which parts were given explicitly. A separation without tint has tint 1; with
  // `recompute`, a separation without fallback rgb takes the tinted alternate as its rgb.
  void adjustSeparationFlags(bool hasRGB, bool hasTint, bool hasCMYK, bool recompute);
  // Forgets the explicit alternate CMYK (it is derived from rgb again).
  void deleteSeparationCMYK();
  // Forgets the fallback rgb (rgb becomes 0).
  void deleteSeparationRGB();

  bool isRGB() const { return m_profileType.isEmpty(); }
  bool isRGBex() const { return isRGB() && hasFlag(FLAG_RGBEX); }
  bool isHSL() const { return m_profileType == EKN_HSL; }
  bool isCMYK() const { return m_profileType == EKN_CMYK; }
  bool isGrayscale() const { return m_profileType == EKN_GRAYSCALE; }
  bool isSeparation() const { return m_profileType == EKN_SEPARATION; }
  bool isICCColorProfile() const { return m_profileType == EKN_icc_color; }
  // A separation named "All" in any case.
  bool isRegistration() const;
  bool isTransparent() const { return m_rgb == RGB_TRANSPARENT; }
  bool isTransparent(bool alphaZeroToo) const {
    return isTransparent() || (alphaZeroToo && m_alpha == 0);
  }
  bool isCurrentColor() const { return m_rgb == RGB_CURRENT_COLOR; }
  bool isInvert() const { return m_rgb == RGB_INVERT; }
  // A non-zero top byte other than the special colours, or an ICC colour whose profile is a
  // "#" name that no colour space has.
  bool isInvalid() const;
  bool hasAlpha() const { return m_alpha >= 0 && m_alpha <= 1; }
  bool hasCMYKRGB() const { return isCMYK() && hasFlag(FLAG_FALLBACK_RGB); }
  bool hasGrayscaleRGB() const { return isGrayscale() && hasFlag(FLAG_FALLBACK_RGB); }
  bool hasSeparationRGB() const { return isSeparation() && hasFlag(FLAG_FALLBACK_RGB); }
  bool hasSeparationTint() const { return isSeparation() && hasFlag(FLAG_SEPARATION_TINT); }
  bool hasSeparationCMYK() const { return isSeparation() && hasFlag(FLAG_SEPARATION_CMYK); }
  // CMYK 0, 0, 0, 1 with no alpha or alpha 1.
  bool isK100() const;

  uint32_t getRGB() const { return m_rgb; }
  int getR() const { return getR(m_rgb); }
  int getG() const { return getG(m_rgb); }
  int getB() const { return getB(m_rgb); }
  // The exact channel of an RGBex colour, else the byte / 255.
  float getRex() const { return isRGBex() ? m_slots[0] : getR() / 255.0f; }
  float getGex() const { return isRGBex() ? m_slots[1] : getG() / 255.0f; }
  float getBex() const { return isRGBex() ? m_slots[2] : getB() / 255.0f; }
  // CMYK components: the stored ones of a CMYK colour, else those of rgb2cmyk(rgb).
  float getC() const { return cmykComponent(0); }
  float getM() const { return cmykComponent(1); }
  float getY() const { return cmykComponent(2); }
  float getK() const { return cmykComponent(3); }
  // HSL components of an HSL colour (0 otherwise).
  float getH() const { return isHSL() ? m_slots[0] : 0.0f; }
  float getS() const { return isHSL() ? m_slots[1] : 0.0f; }
  float getL() const { return isHSL() ? m_slots[2] : 0.0f; }
  // The grey level of a grey colour, else that of rgb2gray(rgb).
  float getGray() const;
  // NO_ALPHA when none was given.
  float getAlpha() const { return m_alpha; }
  // Component i (0..3) of an ICC colour; 0 otherwise.
  float getICCValue(int i) const;
  int getICCValueCount() const { return isICCColorProfile() ? m_count : 0; }
  const UnicodeString& getICCColorProfileName() const;
  EKName getProfileType() const { return m_profileType; }
  const UnicodeString& getSeparationColorName() const;
  float getSeparationTint() const { return isSeparation() ? m_slots[0] : 0.0f; }
  // The alternate CMYK of a separation (0 otherwise).
  float getSeparationC() const { return separationComponent(1); }
  float getSeparationM() const { return separationComponent(2); }
  float getSeparationY() const { return separationComponent(3); }
  float getSeparationK() const { return separationComponent(4); }
  // The sRGB look of a separation at its tint.
  uint32_t getSeparationRGB() const;
  // 0x00BBGGRR, the byte order of some platform interfaces.
  uint32_t getBGR() const { return reverseRGB(m_rgb); }

  static int getR(uint32_t rgb) { return static_cast<int>(rgb >> 16 & 0xFF); }
  static int getG(uint32_t rgb) { return static_cast<int>(rgb >> 8 & 0xFF); }
  static int getB(uint32_t rgb) { return static_cast<int>(rgb & 0xFF); }
  // Channels 0..255.
  static uint32_t getRGB(int r, int g, int b) {
    return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
  }
  // Swaps the red and blue bytes.
  static uint32_t reverseRGB(uint32_t rgb) {
    return (rgb & 0xFF00FF00u) | (rgb >> 16 & 0xFF) | (rgb & 0xFF) << 16;
  }
  static uint32_t fromBGR(uint32_t bgr) { return reverseRGB(bgr) & 0xFFFFFF; }

  // Two thirds of each channel.
  EKColor getDark() const;
  // Each channel half-way to white.
  EKColor getLight() const;
  // The complement as plain RGB; transparent gives black and an invalid colour transparent.
  EKColor invert() const;

  static uint32_t cmyk2rgb(float c, float m, float y, float k);
  static EKColor rgb2cmyk(uint32_t rgb);
  // CMYK(1 - R - under, 1 - G - under, 1 - B - under, k), clamped.
  static EKColor rgb2cmyk(uint32_t rgb, float under, float k);
  static uint32_t hsl2rgb(float h, float s, float l);
  // A grey colour of luminance 0.3 R + 0.59 G + 0.11 B.
  static EKColor rgb2gray(uint32_t rgb);
  // 0 at or below 0, 255 at or above 1, else f * 255 + 0.5 truncated.
  static int round255(float f);
  static float zeroone(float f) { return f < 0 ? 0.0f : f > 1 ? 1.0f : f; }

  // The colour's name: the special colours by name, a plain RGB colour of the named table by its
  // preferred name (cyan, magenta, gray spellings), CMYK 0,0,0,1 as k100 unless `noK100`;
  // otherwise (and for any colour with alpha) the empty name. System colours are never named.
  EKName getColorName(bool noK100) const;
  // A notation the value parser reads back. `cssForm`: CSS syntax, and a colour name instead of
  // "#RRGGBB" when one exists unless `noName`. `sRGBOnly`: print only the sRGB approximation (with
  // its alpha), whatever the colour space. An invalid plain colour gives the empty string.
  UnicodeString toString(bool cssForm, bool noName, bool sRGBOnly) const;
  // True for a name value (other than inherit and its kin) that is no colour.
  static bool isInvalidColorNameValue(const EKValue& value);

  bool operator==(const EKColor& other) const;
  bool operator!=(const EKColor& other) const { return !(*this == other); }

private:
  enum Flag : uint8_t {
    FLAG_RGBEX = 1,
    FLAG_FALLBACK_RGB = 2, // rgb was given separately (grey, CMYK, separation)
    FLAG_SEPARATION_TINT = 4,
    FLAG_SEPARATION_CMYK = 8
  };
  bool hasFlag(Flag f) const { return (m_flags & f) != 0; }
  void setFlag(Flag f, bool on) { m_flags = static_cast<uint8_t>(on ? m_flags | f : m_flags & ~f); }
  float cmykComponent(int i) const;
  // The alternate CMYK (derived from rgb when only a fallback was given) at the tint, as sRGB.
  uint32_t tintedAlternate() const;
  float separationComponent(int i) const { return isSeparation() ? m_slots[i] : 0.0f; }
  void initSeparation(const UnicodeString& name, float tint);
  void setSeparationAlternate(float c, float m, float y, float k);
  bool setAlphaValue(const EKValue* alpha, bool strict);
  UnicodeString iccForm(bool cssForm) const;

  uint32_t m_rgb = 0;
  float m_alpha = NO_ALPHA;
  EKName m_profileType;
  UnicodeString m_name; // ICC profile or separation name
  // RGBex: r, g, b. HSL: h, s, l. Grey: level. CMYK: c, m, y, k. Separation: tint, then the
  // alternate c, m, y, k. ICC: up to four components.
  float m_slots[5] = {0, 0, 0, 0, 0};
  uint8_t m_flags = 0;
  uint8_t m_count = 0; // ICC component count
};

} // namespace EKCommonNS
