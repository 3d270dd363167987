// Character predicates and small conversions used wherever text is scanned: XML names, CSS
// syntax, MIME tokens, Japanese typesetting classes, emoji sequences, vertical orientation and
// UTF-8/UTF-16 decoding. Every predicate takes a code point; some answer from fixed ranges of the
// library, the others from ICU's character properties, as each one's comment says.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"

#include <unicode/uchar.h>

#include <cstdint>
#include <unordered_map>

namespace EKCommonNS {

class EKCOMMON_API EKChar {
public:
  EKChar() = delete;

  // ICU properties.
  static UCharCategory getCategory(int c) { return static_cast<UCharCategory>(u_charType(c)); }
  static UEastAsianWidth getEastAsianWidth(int c) {
    return static_cast<UEastAsianWidth>(u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH));
  }
  static ULineBreak getLineBreak(int c) {
    return static_cast<ULineBreak>(u_getIntPropertyValue(c, UCHAR_LINE_BREAK));
  }
  static int getIntPropertyValue(int c, UProperty which) { return u_getIntPropertyValue(c, which); }
  // Every code point replaced by its mirror image (u_charMirror); others unchanged.
  static UnicodeString getMirrorString(const UnicodeString& s);

  // From the general category.
  static bool isLetter(int c) { return (U_GET_GC_MASK(c) & U_GC_L_MASK) != 0; }
  static bool isLetterNumber(int c) { return (U_GET_GC_MASK(c) & (U_GC_L_MASK | U_GC_N_MASK)) != 0; }
  static bool isNumber(int c) { return (U_GET_GC_MASK(c) & U_GC_N_MASK) != 0; }
  static bool isSymbol(int c) { return (U_GET_GC_MASK(c) & U_GC_S_MASK) != 0; }
  static bool isControl(int c) { return (U_GET_GC_MASK(c) & U_GC_C_MASK) != 0; }
  // Not a combining mark nor a Cc/Cf control: starts or is a grapheme of its own.
  static bool isGraphemeCluster(int c) {
    return (U_GET_GC_MASK(c) & (U_GC_MN_MASK | U_GC_ME_MASK | U_GC_MC_MASK | U_GC_CC_MASK |
                                U_GC_CF_MASK)) == 0;
  }
  // Punctuation, and the wave dash U+FF5E that Japanese text uses as punctuation.
  static bool isPunct(int c) { return c == 0xFF5E || (U_GET_GC_MASK(c) & U_GC_P_MASK) != 0; }
  static bool isPunct(UCharCategory category) { return (U_MASK(category) & U_GC_P_MASK) != 0; }
  static bool isAlphabetic(int c) { return u_isUAlphabetic(c); }
  // Unassigned in ICU's data, except that known currency signs count as defined.
  static bool isUndefined(int c) { return !u_isdefined(c) && !isCurrencySymbol(c); }
  // Opening punctuation (line break class OP, or the opening single/double quotation marks).
  static bool isOpenParenEtc(int c);
  // Closing punctuation (line break class CL or CP, or the closing quotation marks).
  static bool isCloseParenEtc(int c);
  // Punctuation a Japanese typesetter may set in half an em.
  static bool isHalfPunct(int c);
  // East Asian width F or W.
  static bool isZenkaku(int c) { return isZenkaku(getEastAsianWidth(c)); }
  static bool isZenkaku(UEastAsianWidth w) { return w == U_EA_FULLWIDTH || w == U_EA_WIDE; }
  // East Asian width A, F or W.
  static bool isZenkakuAmbiguous(int c) { return isZenkakuAmbiguous(getEastAsianWidth(c)); }
  static bool isZenkakuAmbiguous(UEastAsianWidth w) { return w == U_EA_AMBIGUOUS || isZenkaku(w); }
  // East Asian width H.
  static bool isHankaku(int c) { return isHankaku(getEastAsianWidth(c)); }
  static bool isHankaku(UEastAsianWidth w) { return w == U_EA_HALFWIDTH; }
  // ICU's Emoji property; unless `anyPlane`, only in U+1F000..U+1FFFC, where emoji are drawn
  // as pictures by default.
  static bool isEmoji(int c, bool anyPlane);
  // A character that occupies no width and draws nothing: variation selectors, controls and
  // other invisible BMP characters; never the soft hyphen nor a currency sign.
  static bool isZeroWidthControlCode(int c);

  // Fixed sets.
  static bool isAsciiDigit(int c) { return c >= '0' && c <= '9'; }
  static bool isAsciiDigitNonzero(int c) { return c >= '1' && c <= '9'; }
  static bool isAsciiLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
  static bool isHexDigit(int c) {
    return isAsciiDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
  }
  // The value of a hexadecimal digit; -1 for other characters.
  static int hex2dig(int c) {
    return isAsciiDigit(c) ? c - '0'
           : (c >= 'A' && c <= 'F') ? c - 'A' + 10
           : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                                    : -1;
  }
  static bool isArabic(int c) { return c >= 0x0600 && c <= 0x06FF; }
  // The Arabic block without the Arabic-Indic digits, which are laid out left to right.
  static bool isArabicScript(int c) {
    return isArabic(c) && !(c >= 0x0660 && c <= 0x0669) && !(c >= 0x06F0 && c <= 0x06F9);
  }
  static bool isHebrewScript(int c) { return c >= 0x0590 && c <= 0x05FF; }
  static bool isDevanagariScript(int c) { return c >= 0x0900 && c <= 0x097F; }
  // Han characters whose shapes differ by language (CJK radicals, ideographs, full-width forms).
  static bool isAmbiguousHan(int c);
  static bool isKanaKanjiCJK(int c);
  static bool isRadical(int c) { return (c >= 0x2E80 && c <= 0x2EF3) || (c >= 0x2F00 && c <= 0x2FD5); }
  static bool isMathOperator(int c);
  static bool isPUA(int c) { return c >= 0xE000 && c <= 0xF8FF; }
  static bool isBullet(int c);
  static bool isCurrencySymbol(int c);
  static bool isFixedWidthSpaceChar(int c) { return (c >= 0x2000 && c <= 0x200A) || c == 0x205F; }
  static bool isZeroWidthSpaceChar(int c) { return c == 0x200B || c == 0xFEFF; }
  static bool isSpaceChar(int c) { return c == 0x20 || c == 0xA0; }
  static bool isSpaceChar2(int c) { return isWhitespace(c) || c == 0xA0; }
  // XML white space: TAB, LF, CR, SPACE.
  static bool isWhitespace(int c) { return c == 0x20 || c == 0x09 || c == 0x0A || c == 0x0D; }
  static bool isCssWhitespace(int c) { return isWhitespace(c) || c == 0x0C; }
  static bool isCssWhitespaceWoNewline(int c) { return c == 0x20 || c == 0x09; }
  static bool isCssNewline(int c) { return c == 0x0A || c == 0x0C || c == 0x0D; }
  static bool isHardBreak(int c) { return c == 0x0A || c == 0x0C || c == 0x2028 || c == 0x2029; }
  static bool isHardBreakOrInvalid(int c) { return isHardBreak(c) || c == 0xFFFF; }
  static bool isFullStopChar(int c) { return c == 0x3002 || c == 0xFF0E; }
  static bool isZenkakuMidDotEtc(int c) { return c == 0x30FB || c == 0xFF1A || c == 0xFF1B; }
  static bool isHankakuKana(int c) { return c >= 0xFF61 && c <= 0xFF9F; }
  static bool isHankakuChar(int c) { return c < 0x80 || isHankakuKana(c); }
  // In the Windows-1252 repertoire.
  static bool isHalf(int c);
  static bool isHyphen(int c, bool noSoftHyphen) {
    return c == 0x2D || c == 0x2010 || c == 0x2011 || (c == 0xAD && !noSoftHyphen);
  }
  static bool isVariationSelectorCharacter(int c) { return c >= 0xFE00 && c <= 0xFE0F; }
  static bool isIdeographicVariationSelectorCharacter(int c) { return c >= 0xE0100 && c <= 0xE01EF; }
  static bool isEmojiKeycapBase(int c) { return isAsciiDigit(c) || c == '#' || c == '*'; }
  static bool isEmojiModifierFitzpatrick(int c) { return c >= 0x1F3FB && c <= 0x1F3FF; }
  static bool isEmojiRegionalIndicator(int c) { return c >= 0x1F1E6 && c <= 0x1F1FF; }
  static bool isEmojiTagModifier(int c) { return c >= 0xE0020 && c <= 0xE007F; }
  // Characters allowed in XML 1.0 and XML 1.1 documents.
  static bool isValidChar(int c) {
    return c >= 0x20 ? (c <= 0xD7FF || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF))
                     : (c == 0x09 || c == 0x0A || c == 0x0D);
  }
  static bool isValidChar11(int c) {
    return c >= 0x20 ? (c <= 0x7E || c == 0x85 || (c >= 0xA0 && isValidChar(c)))
                     : (c == 0x09 || c == 0x0A || c == 0x0D);
  }
  // A character of a MIME type or parameter token.
  static bool isMIMETokenChar(int c);
  // Characters that have no vertical presentation form and are set rotated in vertical text.
  static bool isNoVerticalChar(int c);
  // Japanese characters that may not start a line: small kana, iteration marks, the prolonged
  // sound mark.
  static bool isNonStarterJIS(int c);
  // Symbols of the JIS character set.
  static bool isSymbolJIS(int c);

  // XML names (XML 1.0 fifth edition).
  static bool isNCNameStartChar(int c);
  static bool isNCNameChar(int c);
  static bool isNameStartChar(int c) { return c == ':' || isNCNameStartChar(c); }
  static bool isNameChar(int c) { return c == ':' || isNCNameChar(c); }
  // A name character that cannot be read as a minus sign.
  static bool isNCNameCharForCSSExp(int c) { return c != '-' && isNCNameChar(c); }
  // Non-empty, a start character followed by name characters.
  static bool isNCNameStr(const UnicodeString& s);
  static bool isNameStr(const UnicodeString& s);
  // Makes `s` an NCName: every code point that may not stand at its position, and `esc` itself,
  // becomes `esc` followed by its UTF-8 bytes, each as two upper-case hexadecimal digits.
  // `esc` must itself be an NCName character. The empty string stays empty.
  static UnicodeString escapeNCNameStr(const UnicodeString& s, int esc);
  // Reverses escapeNCNameStr; an `esc` not followed by two hexadecimal digits stays as it is,
  // and bytes that do not form UTF-8 become U+FFFD.
  static UnicodeString unescapeNCNameStr(const UnicodeString& s, int esc);
  // Makes `s` a CSS identifier in the same way: letters, '_' and non-ASCII name characters may
  // stand anywhere, digits and the other name characters except '-' and '.' after the first.
  static UnicodeString replaceToCSSIdentTokenStr(const UnicodeString& s, int esc);

  // Conversions.
  // A BMP character `hi` as it is; a surrogate pair combined; anything else U+FFFD.
  static int UTF16toUChar32(char16_t hi, char16_t lo);
  // One UTF-8 sequence of one to four bytes, as many as the lead byte says; bytes after it are
  // ignored. A bad lead or continuation byte, an overlong form, a surrogate or a value past
  // U+10FFFF gives U+FFFD.
  static int UTF8toUChar32(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3);
  // The last code point of `s`; -1 for the empty string.
  static int last32(const UnicodeString& s);
  // In place: U+0021..U+007E to their full-width forms. Returns `s`.
  static UnicodeString& toZenkaku(UnicodeString& s);
  // In place: half-width katakana and punctuation to their full-width forms. Returns `s`.
  static UnicodeString& toZenkakuKana(UnicodeString& s);
  // In place: small kana to their full-size forms. Returns `s`.
  static UnicodeString& toFullsizeKana(UnicodeString& s);
  static char16_t toFullsizeKana(char16_t c);
  // Empty or only TAB, LF, CR and SPACE.
  static bool isEmptyOrWhitespace(const UnicodeString& s);
  // Non-empty and only TAB, LF, CR and SPACE.
  static bool isWhitespace(const UnicodeString& s) { return !s.isEmpty() && isEmptyOrWhitespace(s); }
  // Whether a line may not break between `c` and `next`: dashes and leaders before the same
  // character, the kana repeat marks U+3033/U+3034 before U+3035.
  static bool isInseparableChar(int c, int next);
  // isInseparableChar on the code point at index `i` of `s` and the one after it. Method 1 also
  // requires that the pair does not sit inside a longer run (the code point before differs from
  // the first, or the one after differs from the second); method 2 that neither is the case.
  static bool isInseparableCharEx(const UnicodeString& s, int32_t i, int method);

  // Vertical orientation (Unicode Vertical_Orientation).
  // The four values a character can have.
  enum TR50VO : uint8_t {
    TR50VO_U,  // upright
    TR50VO_R,  // rotated 90 degrees clockwise
    TR50VO_Tu, // a vertical form if the font has one, else upright
    TR50VO_Tr  // a vertical form if the font has one, else rotated
  };
  // How to set the character in vertical text.
  enum TR50Property : uint8_t {
    TR50_UPRIGHT,
    TR50_ROTATED,
    TR50_TRANSFORMED_UPRIGHT, // use the vertical form, else upright
    TR50_TRANSFORMED_ROTATED  // use the vertical form, else rotated
  };
  using TR50OverrideMap = std::unordered_map<int, TR50VO>;
  // The value of `c`, from `overrides` when it lists `c` (may be null), else ICU's data.
  static TR50VO getTR50VO(int c, const TR50OverrideMap* overrides);
  // Single-valued: upright or rotated. A transformed character is upright when the font has
  // vertical forms (`hasVerticalForms`) and otherwise falls back to its Tu/Tr default.
  static TR50Property getTR50SVO(int c, const TR50OverrideMap* overrides, bool hasVerticalForms);
  // Multi-valued: all four answers when the font has vertical forms; without them the
  // transformed values fall back to upright or rotated.
  static TR50Property getTR50MVO(int c, const TR50OverrideMap* overrides, bool hasVerticalForms);
};

} // namespace EKCommonNS
