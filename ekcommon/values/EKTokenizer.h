// The lexical layer under every reader of property values, attribute values and CSS expressions:
// cuts a text into tokens (numbers with units, names, strings, #colours, single characters) and
// turns them into EKValues. One class serves several dialects that differ in what a name is, how
// strings are quoted, whether comments are skipped and how far a unit reaches.
// It never throws and never reads past the end of its text: malformed input degrades into
// character tokens, and the end of the text is TOKEN_END however often it is asked for.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/names/EKName.h"
#include "ekcommon/values/EKValue.h"

#include <cstdint>

namespace EKCommonNS {

class EKCOMMON_API EKTokenizer {
public:
  enum TokenizerType : int32_t {
    GENERIC = 0,         // XML names; strings in " or ', a doubled quote stands for one
    CSS = 1,             // CSS identifiers and escapes, vendor prefixes, E-notation
    CSS_COMMENTS = 2,    // CSS, and /* ... */ is skipped like white space
    CSS_STRICT_UNIT = 3, // CSS, but a unit after a number stops at the first '-'
    MIME = 4,            // names are MIME tokens (media types and their parameters)
    SPACE_SEPARATED = 5, // a name is anything up to a SPACE, U+00A0 or the end
    SIMPLE_QUOTES = 6    // GENERIC, but strings have no escape at all
  };

  // Token types; 0 and above is a single UTF-16 code unit, the token being that character.
  enum TokenType : int32_t {
    TOKEN_END = -1,
    TOKEN_NONE = -2, // nothing read yet
    TOKEN_NUMBER = -3, // unsigned number; the token string is its unit as written, "%" or empty
    TOKEN_NAME = -4,
    TOKEN_STRING = -5, // quotes removed, escapes resolved
    TOKEN_RGB = -6,    // number is 0xRRGGBB
    TOKEN_RGBA = -7    // number is 0xRRGGBBAA
  };

  // The tokenizer scans its own copy of `text`; a bogus text is taken as empty. A U+0000 in the
  // text ends it.
  EKTokenizer(const UnicodeString& text, TokenizerType type);
  // Copies continue from the same position with the same last token.
  EKTokenizer(const EKTokenizer& other);
  EKTokenizer(EKTokenizer&& other) noexcept;
  EKTokenizer& operator=(const EKTokenizer& other);
  EKTokenizer& operator=(EKTokenizer&& other) noexcept;

  // Scans the next token and returns its type.
  int nextToken();
  // The next nextToken() delivers the current token again (only one token can be pushed back).
  void pushBack() { m_pushedBack = true; }
  bool isPushedBack() const { return m_pushedBack; }

  // The next token as a value: numbers with a known unit (any ASCII case) as reals, integral
  // numbers without unit as integers, names interned, strings as literal strings, #colours as
  // colours, other characters as character values, the end as the null value. An unknown unit
  // is given back to the text and read as the next token. `negate` negates a number.
  EKValue nextTokenValue(bool negate);
  // As nextTokenValue, with a '+' or '-' directly before a number joined to it; with `exponent`,
  // E-notation (1e3, 2E-1, 1e3px) is applied to plain numbers.
  EKValue nextTokenValueSigned(bool exponent);
  // E-notation for the CSS dialects only.
  EKValue nextTokenValueSigned() { return nextTokenValueSigned(isCSSTokenizer()); }
  EKValue nextTokenValueExp() { return nextTokenValueSigned(true); }
  // The next signed number with E-notation, in double precision; a token that is no number
  // gives the stored number (0 for names, strings and characters).
  double nextTokenDoubleExp();
  // The next value, reading a function call name(...) or a parenthesised group as one value.
  // `functionName` (when given) receives the function's name, the empty name for a group. With
  // `asString` the result is the raw text of the call. Otherwise url(...) gives a URL string,
  // local(...) and format(...) their argument as UNIT_LOCAL / UNIT_FORMAT strings, and any other
  // call or group its raw text as a string of unknown kind.
  EKValue nextTokenValueFunc(bool asString, EKName* functionName);
  // The next raw field up to `separator` (which is consumed with the white space after it),
  // quoted parts kept whole; a field that is one quoted part loses its quotes unless `keepQuotes`.
  // A separator of 0 or white space ends the field at the first white space between parts.
  UnicodeString nextSeparatedValue(char16_t separator, bool keepQuotes);

  // Skips white space (and comments in CSS_COMMENTS); returns the number of units skipped.
  int skipWhitespace();
  // True when, after white space, the next character is `c`; does not move. False while a token
  // is pushed back.
  bool scanSeparator(char16_t c) const;
  // Skips white space; when the next character is `c`, consumes it and the white space after it
  // and returns true. False, consuming nothing, while a token is pushed back.
  bool skipSeparator(char16_t c);

  int getTokenType() const { return m_tokenType; }
  // The name, string content or unit suffix of the last token.
  const UnicodeString& getTokenString() const { return m_tokenString; }
  // The number (or packed colour) of the last token; 0 for tokens that carry none.
  double getNumber() const { return m_number; }
  TokenizerType getTokenizerType() const { return m_tokenizerType; }
  void setTokenizerType(TokenizerType type) { m_tokenizerType = type; }
  bool isCSSTokenizer() const {
    return m_tokenizerType == CSS || m_tokenizerType == CSS_COMMENTS ||
           m_tokenizerType == CSS_STRICT_UNIT;
  }
  const UnicodeString& getStr() const { return m_text; }
  // Position in UTF-16 units from the start of the text.
  int getOffset() const { return m_pos; }
  // The position as a pointer into the tokenizer's own text (valid while the tokenizer lives).
  const char16_t* getPtr() const { return m_start + m_pos; }
  // Moves the scan to `p`, a pointer got from getPtr() of this tokenizer; a pointer outside the
  // text is ignored. Drops a pushed-back token.
  void setPtr(const char16_t* p);
  bool hasQuote() const { return m_hasQuote; }
  bool hasDecimalPoint() const { return m_hasDecimalPoint; }
  // True for character tokens above SPACE.
  bool isTokenTypeCharacter() const { return m_tokenType > 32; }

private:
  char16_t at(int pos) const { return pos < m_length ? m_start[pos] : u'\0'; }
  // The code point at pos and its length in units.
  UChar32 codePointAt(int pos, int* units) const;
  int skipSpaceFrom(int pos) const;
  EKUtil::QuoteMode quoteMode() const;
  bool scanName();
  bool scanCssName();
  void scanNumber();
  int scanHexColor();
  EKUnitType unitOfSuffix() const;
  bool startsExponent() const;
  EKValue functionValue(bool asString, EKName* functionName, int depth);
  void attachText();

  UnicodeString m_text;
  const char16_t* m_start = nullptr;
  int m_pos = 0;
  int m_length = 0;
  TokenizerType m_tokenizerType;
  int m_tokenType = TOKEN_NONE;
  // Where the last token and its unit suffix began: the give-backs return there.
  int m_tokenStart = 0;
  int m_suffixStart = 0;
  double m_number = 0;
  UnicodeString m_tokenString;
  bool m_pushedBack = false;
  bool m_hasQuote = false;
  bool m_hasDecimalPoint = false;
};

} // namespace EKCommonNS
