// Colours in every notation the library prints and reads.
#include "ekcommon/values/EKParser.h"

#include "ekcommon/values/EKColor.h"

#include <cmath>
#include <vector>

namespace EKCommonNS {

namespace {

using Tok = EKTokenizer;

// Result bits of reading a colour.
enum ColorBits {
  COLOR_OK = 1,
  COLOR_CLAMPED = 2,
};

// At most this many arguments are read from one colour function.
constexpr size_t MAX_ARGUMENTS = 8;
// ICC profiles take at most six components; the colour keeps the first four.
constexpr size_t MAX_ICC_COMPONENTS = 6;

float realOf(const EKValue& v) {
  return v.isNumeric() ? v.getRealValue(v.isPercentage() ? UNIT_NUMBER : UNIT_NONE) : 0.0f;
}

// Colour components are read with E-notation in every dialect: colours print their components
// with "%g", which writes very small and very large numbers in exponent form.
EKValue nextComponent(Tok& tok) {
  return tok.nextTokenValueExp();
}

// Reads the arguments of a function up to ')', with optional ',' or '/' between them. False
// when the closing parenthesis is missing or there are too many.
bool readArguments(Tok& tok, std::vector<EKValue>& args) {
  for (;;) {
    const EKValue v = nextComponent(tok);
    const int type = tok.getTokenType();
    if (type == ')')
      return true;
    if (type == Tok::TOKEN_END || args.size() == MAX_ARGUMENTS)
      return false;
    args.push_back(v);
    if (!tok.skipSeparator(','))
      tok.skipSeparator('/');
  }
}

// The arguments of icc-color(...) (also inside rgb-icc(...)) after the opening parenthesis (or
// after the fallback numbers): [,] [#]profile [, component]* ')'. Builds the colour on
// `fallback`.
bool readIccArguments(Tok& tok, const EKColor& fallback, EKColor& color) {
  tok.skipSeparator(',');
  const bool hash = tok.skipSeparator('#');
  const EKValue nameValue = tok.nextTokenValue(false);
  if (tok.getTokenType() != Tok::TOKEN_NAME)
    return false;
  UnicodeString profile = nameValue.getStringValue();
  if (hash)
    profile.insert(0, u'#');

  const bool separation = profile == u"#SEPARATION" || profile == u"#SPOTCOLOR";
  const bool registration = profile == u"#REGISTRATION";
  UnicodeString separationName = registration ? UnicodeString(u"All") : UnicodeString();
  if (separation) {
    tok.skipSeparator(',');
    const EKValue v = tok.nextTokenValue(false);
    if (tok.getTokenType() != Tok::TOKEN_NAME && tok.getTokenType() != Tok::TOKEN_STRING)
      return false;
    separationName = v.getStringValue();
  }

  std::vector<float> components;
  for (;;) {
    tok.skipSeparator(',');
    const EKValue v = nextComponent(tok);
    const int type = tok.getTokenType();
    if (type == ')')
      break;
    // A component too large for a float is no colour (it would print as "inf").
    if (type != Tok::TOKEN_NUMBER || components.size() == MAX_ICC_COMPONENTS || !std::isfinite(realOf(v)))
      return false;
    components.push_back(realOf(v));
  }
  const size_t n = components.size();
  components.resize(MAX_ICC_COMPONENTS, 0.0f);
  const float* c = components.data();

  if (profile == u"#CMYK") {
    if (n != 4)
      return false;
    color = EKColor(fallback, c[0], c[1], c[2], c[3]);
  } else if (profile == u"#GRAYSCALE") {
    if (n != 1)
      return false;
    color = EKColor(fallback, c[0]);
  } else if (separation || registration) {
    const bool hasTint = n >= 1;
    const bool hasCMYK = n >= 5;
    if (n != 0 && n != 1 && n != 5)
      return false;
    const float tint = hasTint ? c[0] : 1.0f;
    color = hasCMYK ? EKColor(fallback, separationName, tint, c[1], c[2], c[3], c[4])
                    : EKColor(fallback, separationName, tint);
    color.adjustSeparationFlags(true, hasTint, hasCMYK, false);
  } else {
    if (n == 0)
      return false;
    color = EKColor(fallback, EKName(profile), c[0], c[1], c[2], c[3], static_cast<int>(n < 4 ? n : 4));
  }
  return true;
}

// An optional "icc-color(...)" after a colour; the tokenizer is left untouched when there is none.
bool readOptionalIcc(Tok& tok, EKColor& color) {
  tok.skipWhitespace();
  const char16_t* before = tok.getPtr();
  const EKValue name = tok.nextTokenValue(false);
  if (tok.getTokenType() == Tok::TOKEN_NAME && name.getNameValue() == EKN_icc_color && tok.skipSeparator('(')) {
    EKColor icc;
    if (!readIccArguments(tok, color, icc))
      return false;
    color = icc;
    return true;
  }
  tok.setPtr(before);
  return true;
}

// The strict setters report clamping by returning false while still storing the colour; an
// invalid colour is a failure.
int setterBits(bool exact, const EKColor& color) {
  if (color.isInvalid())
    return 0;
  return exact ? COLOR_OK : COLOR_OK | COLOR_CLAMPED;
}

int readFunction(Tok& tok, EKNameEnum function, bool allowIcc, EKValue& out) {
  std::vector<EKValue> args;
  EKColor color;
  int bits = 0;
  switch (function) {
  case EKN_rgb:
  case EKN_rgba: {
    if (!readArguments(tok, args))
      return 0;
    if (args.size() == 2 && args[0].isName()) {
      bits = setterBits(color.setRGB(args[0], EKValue(), EKValue(), &args[1], true), color);
    } else if (args.size() == 3 || args.size() == 4) {
      bits = setterBits(color.setRGB(args[0], args[1], args[2], args.size() == 4 ? &args[3] : nullptr, true), color);
    }
    if (bits && allowIcc && !readOptionalIcc(tok, color))
      return 0;
    break;
  }
  case EKN_hsl:
  case EKN_hsla:
    if (!readArguments(tok, args) || (args.size() != 3 && args.size() != 4))
      return 0;
    bits = setterBits(color.setHSL(args[0], args[1], args[2], args.size() == 4 ? &args[3] : nullptr, true), color);
    break;
  case EKN_cmyk:
  case EKN_device_cmyk:
  case EKN_cmyka:
    if (!readArguments(tok, args) || (args.size() != 4 && args.size() != 5))
      return 0;
    bits = setterBits(color.setCMYK(args[0], args[1], args[2], args[3], args.size() == 5 ? &args[4] : nullptr, true),
                      color);
    break;
  case EKN_rgb_icc: {
    EKValue rgb[3];
    for (EKValue& component : rgb) {
      component = nextComponent(tok);
      if (tok.getTokenType() != Tok::TOKEN_NUMBER)
        return 0;
      tok.skipSeparator(',');
    }
    EKColor fallback;
    bits = setterBits(fallback.setRGB(rgb[0], rgb[1], rgb[2], nullptr, true), fallback);
    if (!bits || !readIccArguments(tok, fallback, color))
      return 0;
    break;
  }
  case EKN_icc_color:
    if (!readIccArguments(tok, EKColor(), color))
      return 0;
    bits = COLOR_OK;
    break;
  case EKN_system_color: {
    if (!readArguments(tok, args) || args.size() != 1 || !args[0].isName())
      return 0;
    color = EKColor(args[0].getNameValue());
    bits = color.isInvalid() ? 0 : COLOR_OK;
    break;
  }
  default:
    return 0;
  }
  if (bits)
    out = EKValue(color);
  return bits;
}

// Reads one colour notation; returns its bits (0 on failure) and the value in `out`.
int readColor(Tok& tok, bool allowIcc, EKValue& out) {
  const EKValue first = tok.nextTokenValueSigned();
  const int type = tok.getTokenType();
  switch (type) {
  case Tok::TOKEN_END:
    return 0;
  case Tok::TOKEN_RGB:
  case Tok::TOKEN_RGBA: {
    EKColor color = first.getColorValue(true);
    if (allowIcc && !readOptionalIcc(tok, color))
      return 0;
    out = EKValue(color);
    return COLOR_OK;
  }
  case Tok::TOKEN_NUMBER:
  case Tok::TOKEN_STRING:
    out = first;
    return COLOR_OK;
  case Tok::TOKEN_NAME:
    break;
  default:
    return 0;
  }
  if (tok.skipSeparator('(')) {
    UnicodeString function = first.getNameValue().toString();
    return readFunction(tok, EKName(function.toLower()), allowIcc, out);
  }
  tok.skipWhitespace();
  if (tok.nextToken() == Tok::TOKEN_END) {
    out = first;
    return COLOR_OK;
  }
  tok.pushBack();
  EKColor color(first.getNameValue());
  if (!allowIcc || color.isInvalid())
    return 0;
  if (!readOptionalIcc(tok, color))
    return 0;
  out = EKValue(color);
  return COLOR_OK;
}

} // namespace

EKValue EKParser::parseColor(EKTokenizer& tokenizer, bool allowIcc) {
  EKValue value;
  return readColor(tokenizer, allowIcc, value) ? value : EKValue();
}

EKValue EKParser::parseColor(const UnicodeString& text, bool allowIcc, bool* clamped) {
  EKTokenizer tokenizer(text, EKTokenizer::GENERIC);
  EKValue value;
  const int bits = readColor(tokenizer, allowIcc, value);
  if (bits && tokenizer.nextToken() == EKTokenizer::TOKEN_END) {
    if (clamped)
      *clamped = (bits & COLOR_CLAMPED) != 0;
    return value;
  }
  if (clamped)
    *clamped = false;
  return EKValue(text, UNIT_NONE);
}

} // namespace EKCommonNS
