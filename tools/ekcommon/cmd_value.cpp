// ekcommon value: the tokens of a property value and the values the tokenizer reads from it.
#include "Tool.h"

#include <cstdio>
#include <iostream>

namespace EKTool {

using namespace EKCommonNS;

namespace {

const struct {
  const char* name;
  EKTokenizer::TokenizerType type;
} DIALECTS[] = {
    {"generic", EKTokenizer::GENERIC},         {"css", EKTokenizer::CSS},
    {"css-comments", EKTokenizer::CSS_COMMENTS}, {"css-strict-unit", EKTokenizer::CSS_STRICT_UNIT},
    {"mime", EKTokenizer::MIME},               {"space-separated", EKTokenizer::SPACE_SEPARATED},
    {"simple-quotes", EKTokenizer::SIMPLE_QUOTES},
};

std::string hexColor(uint32_t rgb, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "#%0*X", digits, rgb);
  return text;
}

void printToken(const EKTokenizer& t, int token) {
  std::cout << "token\t";
  switch (token) {
  case EKTokenizer::TOKEN_END: std::cout << "end"; break;
  case EKTokenizer::TOKEN_NUMBER:
    std::cout << "number\t" << toUtf8(EKUtil::toString(t.getNumber())) << '\t'
              << toUtf8(t.getTokenString());
    break;
  case EKTokenizer::TOKEN_NAME: std::cout << "name\t" << toUtf8(t.getTokenString()); break;
  case EKTokenizer::TOKEN_STRING: std::cout << "string\t" << toUtf8(t.getTokenString()); break;
  case EKTokenizer::TOKEN_RGB:
    std::cout << "rgb\t" << hexColor(static_cast<uint32_t>(t.getNumber()), 6);
    break;
  case EKTokenizer::TOKEN_RGBA:
    std::cout << "rgba\t" << hexColor(static_cast<uint32_t>(t.getNumber()), 8);
    break;
  default: {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(token));
    std::cout << "char\t" << code << '\t' << toUtf8(UnicodeString(static_cast<char16_t>(token)));
  }
  }
  std::cout << '\n';
}

const char* typeName(EKValueType type) {
  static const char* const names[] = {"null",   "integer", "real",  "name",
                                      "string", "object",  "array", "compound"};
  return names[type];
}

// The unit keyword, or what the unit tags for values that have none.
std::string unitLabel(EKUnitType unit) {
  const std::string keyword = toUtf8(EKValue::getUnitString(unit));
  if (!keyword.empty())
    return keyword;
  switch (unit) {
  case UNIT_NUMBER: return "number";
  case UNIT_CHARACTER: return "character";
  case UNIT_STRING: return "literal";
  case UNIT_URL: return "url";
  case UNIT_NAME: return "name";
  case UNIT_COLOR: return "color";
  case UNIT_PT2: return "pt2";
  case UNIT_PT3: return "pt3";
  case UNIT_FORMAT: return "format";
  case UNIT_LOCAL: return "local";
  default: return "-";
  }
}

const char* colorSpace(const EKColor& c) {
  if (c.isRGBex())
    return "rgb-exact";
  if (c.isHSL())
    return "hsl";
  if (c.isCMYK())
    return "cmyk";
  if (c.isGrayscale())
    return "grayscale";
  if (c.isSeparation())
    return "separation";
  if (c.isICCColorProfile())
    return "icc";
  return "rgb";
}

void printValue(const EKValue& v, const char* label = "value") {
  std::cout << label << '\t' << typeName(v.getValueType()) << '\t' << unitLabel(v.getUnitType()) << '\t'
            << toUtf8(v.toString());
  const EKColor color = v.getColorValue(true);
  if (!color.isInvalid()) {
    std::cout << "\tcolor " << colorSpace(color) << ' ';
    if (color.isTransparent() || color.isCurrentColor() || color.isInvert())
      std::cout << toUtf8(color.toString(false, false, false));
    else
      std::cout << "srgb " << hexColor(color.getRGB(), 6);
    if (color.hasAlpha())
      std::cout << " alpha " << toUtf8(EKUtil::toString(static_cast<double>(color.getAlpha())));
  }
  std::cout << '\n';
}

void describe(const UnicodeString& text, EKTokenizer::TokenizerType dialect) {
  EKTokenizer tokens(text, dialect);
  int token;
  do {
    token = tokens.nextToken();
    printToken(tokens, token);
  } while (token != EKTokenizer::TOKEN_END);

  // Values as a property reader takes them: signed, with E-notation in the CSS dialects and
  // function calls read whole.
  EKTokenizer values(text, dialect);
  EKValue list;
  int count = 0;
  for (EKValue v = values.nextTokenValueFunc(false, nullptr); !v.isNull();
       v = values.nextTokenValueFunc(false, nullptr)) {
    printValue(v);
    list.addItem(v);
    ++count;
  }
  if (count > 1)
    printValue(list);

  // The whole text as the value parser reads property text: a list with brace compounds, and,
  // when the text is one colour notation (ICC forms included), that colour.
  if (count > 0)
    printValue(EKParser::parseCompound(text, dialect), "parsed");
  const EKValue color = EKParser::parseColor(text, true, nullptr);
  if (color.isColor())
    printValue(color, "color");
}

} // namespace

int runValue(const std::vector<std::string>& args) {
  EKTokenizer::TokenizerType dialect = EKTokenizer::GENERIC;
  std::vector<std::string> texts;
  bool optionsDone = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsDone || arg == "-" || arg.empty() || arg[0] != '-') {
      texts.push_back(arg);
    } else if (arg == "--") {
      optionsDone = true;
    } else if (arg == "--dialect") {
      if (++i == args.size())
        return usageError("value", "--dialect needs a name");
      bool known = false;
      for (const auto& d : DIALECTS)
        if (args[i] == d.name) {
          dialect = d.type;
          known = true;
        }
      if (!known)
        return usageError("value", "unknown dialect '" + args[i] + "'");
    } else {
      return usageError("value", "unknown option '" + arg + "'");
    }
  }
  if (texts.empty())
    return usageError("value", "no text given");
  int status = EXIT_OK;
  for (const std::string& text : texts) {
    const UnicodeString unicode = readTextOperand("value", text, status);
    std::cout << "text\t" << toUtf8(unicode) << '\n';
    describe(unicode, dialect);
  }
  return status;
}

} // namespace EKTool
