// ekcommon char: each code point of a text with the classes a typesetter cares about.
#include "Tool.h"

#include <unicode/uchar.h>

#include <cstdio>
#include <iostream>

namespace EKTool {

using namespace EKCommonNS;

namespace {

const char* shortValueName(UProperty property, int value) {
  const char* name = u_getPropertyValueName(property, value, U_SHORT_PROPERTY_NAME);
  return name ? name : "?";
}

const char* xmlClass(int c) {
  if (EKChar::isNCNameStartChar(c))
    return "name-start";
  if (EKChar::isNCNameChar(c))
    return "name-char";
  return c == ':' ? "colon" : "-";
}

const char* widthClass(int c) {
  if (EKChar::isZenkaku(c))
    return "zenkaku";
  if (EKChar::isHankaku(c) || EKChar::isHankakuChar(c))
    return "hankaku";
  return "-";
}

const char* verticalClass(int c) {
  static const char* const names[] = {"U", "R", "Tu", "Tr"};
  return names[EKChar::getTR50VO(c, nullptr)];
}

void describe(UChar32 c) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  // Invisible characters are shown by their code only, so that the columns stay readable.
  const std::string glyph = u_isgraph(c) ? toUtf8(UnicodeString(c)) : "";
  std::cout << code << '\t' << glyph << "\tgc=" << shortValueName(UCHAR_GENERAL_CATEGORY, u_charType(c))
            << "\tea=" << shortValueName(UCHAR_EAST_ASIAN_WIDTH, EKChar::getEastAsianWidth(c))
            << "\tlb=" << shortValueName(UCHAR_LINE_BREAK, EKChar::getLineBreak(c))
            << "\txml=" << xmlClass(c) << "\twidth=" << widthClass(c) << "\tvo=" << verticalClass(c)
            << '\n';
}

} // namespace

int runChar(const std::vector<std::string>& args) {
  std::vector<std::string> texts;
  if (!splitOperands("char", args, texts))
    return EXIT_USAGE;
  if (texts.empty())
    return usageError("char", "no text given");
  int status = EXIT_OK;
  for (const std::string& text : texts) {
    const UnicodeString unicode = readTextOperand("char", text, status);
    for (int32_t i = 0; i < unicode.length();) {
      const UChar32 c = unicode.char32At(i);
      describe(c);
      i += U16_LENGTH(c);
    }
  }
  return status;
}

} // namespace EKTool
