// The scanner of the CSS parser: reads tokens in place from the NUL-terminated UTF-16 text the
// parser owns, blanking comments there so that value text cut from the buffer later shows them
// as whitespace; plus the line-start table that turns a buffer offset into a line and column.
// Not installed.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"

#include <cstdint>
#include <vector>

namespace EKCommonNS {

// Kinds of token. A one-character token that is none of these (DELIM) has the code point of its
// character as its kind, so kinds from 1 up are delimiters.
enum EKCssToken : int32_t {
  CSS_EOF = 0,
  CSS_S = -1,
  CSS_COMMENT = -2,
  CSS_CDO = -3,
  CSS_CDC = -4,
  CSS_INCLUDES = -5,
  CSS_DASHMATCH = -6,
  CSS_PREFIXMATCH = -7,
  CSS_SUFFIXMATCH = -8,
  CSS_SUBSTRINGMATCH = -9,
  CSS_STRING = -10,
  CSS_BAD_STRING = -11,
  CSS_IDENT = -12,
  CSS_HASH_IDENT = -13,
  CSS_HASH_NAME = -14,
  CSS_ATKEYWORD = -16,
  CSS_CHARSET_SYM = -17,
  CSS_IMPORT_SYM = -18,
  CSS_NAMESPACE_SYM = -19,
  CSS_IMPORTANT_SYM = -21,
  CSS_DIMENSION = -22,
  CSS_PERCENTAGE = -30,
  CSS_NUMBER = -31,
  CSS_FUNCTION = -32,
  CSS_CUSTOM_IDENT = -35,
  CSS_COLUMN = -36,
  // Made by the value-term parser from several tokens, never by the scanner.
  CSS_UNICODE_RANGE = -37,
  // States of the current-token slot: the token was pushed back, or nothing has been read.
  CSS_PUSHED_BACK = -98,
  CSS_NOTHING_READ = -99,
};

class EKCOMMON_API EKCssScanner {
public:
  // Scans `buffer`, which must end with a NUL, stay alive and stay in place as long as the
  // scanner does. The scanner writes into it (comments become spaces); a NUL inside the text
  // ends it for the scanner.
  explicit EKCssScanner(char16_t* buffer);

  // Reads the next token from the position and returns its kind; at the end of the text EOF,
  // again and again, without moving.
  int32_t next();
  int32_t kind() const { return m_kind; }
  // The token's text: names and strings with escapes resolved, see EKCssToken.
  const UnicodeString& text() const { return m_text; }

  // Makes the next read scan the current token again.
  void pushBack() { rewind(m_tokenStart); }
  // Rescans from `offset`, an offset where a token began (as tokenStart() gave it), for a trial
  // parse that failed. The slot holds CSS_PUSHED_BACK until the next read.
  void rewind(int32_t offset);

  // Offset (in UTF-16 units) of the next character to read, and where the current token began.
  int32_t position() const { return m_pos; }
  int32_t tokenStart() const { return m_tokenStart; }
  const char16_t* buffer() const { return m_buffer; }

  // Inside a selector, `#` must be followed by an identifier to make a hash.
  void setInSelector(bool on) { m_inSelector = on; }
  bool inSelector() const { return m_inSelector; }
  // With this on, `#` and any name characters make a hash even inside a selector.
  void setHashAnywhere(bool on) { m_hashAnywhere = on; }

private:
  char16_t at(int32_t offset) const { return m_buffer[offset]; }
  int32_t finish(int32_t kind);
  int32_t delimiter();
  int32_t whitespace();
  int32_t comment();
  int32_t string(char16_t quote);
  int32_t atKeyword();
  int32_t important();
  int32_t hash();
  int32_t identifier();
  int32_t number();
  bool isEscape(int32_t offset) const;
  bool startsIdentifier(int32_t offset) const;
  bool startsNumber(int32_t offset) const;
  // Appends the character or escape at `*offset` to `out` and moves past it.
  void readNameChar(int32_t* offset, UnicodeString* out) const;
  // Appends the name characters from `*offset` on; false when there is none.
  bool readName(int32_t* offset, UnicodeString* out) const;
  int32_t skipComment(int32_t offset, bool blank);

  char16_t* m_buffer;
  int32_t m_length;
  int32_t m_pos = 0;
  int32_t m_tokenStart = 0;
  int32_t m_kind = CSS_NOTHING_READ;
  UnicodeString m_text;
  bool m_inSelector = false;
  bool m_hashAnywhere = false;
};

// `name` written so that it scans back as one identifier with the same text: characters that
// cannot stand in a name, and a start that would scan as a number or a custom name, are escaped.
EKCOMMON_API UnicodeString cssIdentifier(const UnicodeString& name);
// The offsets at which the lines of `text` begin (the first is 0); a line ends at LF, at CR or at
// CR LF, not at FF.
EKCOMMON_API std::vector<uint32_t> cssLineStarts(const char16_t* text, int32_t length);
// The line and column (from 1) of `offset`, found in `lineStarts`, with `startLine` added to the
// line and `startColumn` to columns of the first line, for text that begins inside a larger
// document. An offset before the text, or an empty table, gives -1 and -1.
EKCOMMON_API void cssLineColumn(const std::vector<uint32_t>& lineStarts, int32_t offset, int startLine,
                                int startColumn, int* line, int* column);

} // namespace EKCommonNS
