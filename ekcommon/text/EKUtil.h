// Small, widely used string and number services: quoting in the library's quote modes, the
// low-level number scanners of the tokenizer, number printing that ignores the process locale,
// encoding names, spaces, modified Julian days, bit fields, base64, one-call zlib compression,
// the CSS an+b matcher, and numbers as list and page numbers (counter styles, XSL format
// tokens, kanji numerals).
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/names/EKName.h"
#include "ekcommon/names/EKNameEnum.h"
#include "ekcommon/text/EKLang.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace EKCommonNS {

// Declared here so that the text layer does not depend on the values layer.
enum EKUnitType : int32_t;

class EKCOMMON_API EKUtil {
public:
  EKUtil() = delete;

  // Bit set selecting the quote characters and escape syntaxes of the quoting functions.
  // The library uses 7 (either quote, doubling), 3 (either quote) and 43 (either quote, CSS
  // escapes); bit 32 is accepted and ignored.
  enum QuoteMode : unsigned {
    QUOTE_DOUBLE = 1,          // the double quote opens / may wrap a string
    QUOTE_SINGLE = 2,          // the apostrophe opens / may wrap a string
    QUOTE_DOUBLING = 4,        // a doubled quote character inside stands for one
    QUOTE_CSS_ESCAPES = 8,     // CSS backslash escapes
    QUOTE_UNICODE_ESCAPES = 16 // backslash, u and four hexadecimal digits
  };

  // Scanners. `p` must point into a NUL-terminated buffer (UnicodeString::getTerminatedBuffer);
  // they stop at the NUL and never read past it, so a NUL ends any token.

  // Reads one quoted string after optional TAB, LF, FF, CR and SPACE. With neither quote bit in
  // `mode` the whole rest is the content. Returns the content with `*end` just past the closing
  // quote; an unterminated string gives the bogus string and sets `*end` to `p`.
  static UnicodeString parseString(const char16_t* p, const char16_t** end, QuoteMode mode);
  // Trims `s` and reads it with parseString; the content when that consumes the whole text. On
  // failure, and only without doubling and CSS escapes, a text whose last character equals its
  // first loses both; otherwise the bogus string.
  static UnicodeString unquoteString(const UnicodeString& s, QuoteMode mode);
  // Wraps `s` in a quote character allowed by `mode` (the double quote unless `s` holds one and
  // no apostrophe), escaping or doubling inside as the mode asks. No quote bit: no wrapping.
  static UnicodeString quoteString(const UnicodeString& s, QuoteMode mode);
  // url("...") with every double quote of `s` written as %22.
  static UnicodeString quoteUri(const UnicodeString& s);
  // The URI text of a CSS reference: url(...) with or without quotes, or a quoted string, read
  // as EKUri reads such references (unquoted, and escaped where the text is not a valid URI).
  static UnicodeString unquoteUri(const UnicodeString& s);

  // Reads [TAB LF CR SPACE]* [+-]? digits* ('.' digits*)? without exponent. A '.' needs a digit
  // before or after it. Not a number: returns 0, sets `*end` = p and `*notNumber`. An integer part
  // of more than 97 characters with its sign is read as 0. Any out-pointer may be null.
  static double parseNumber(const char16_t* p, const char16_t** end, bool* hasDecimalPoint,
                            bool* notNumber);
  // Hexadecimal digits after optional TAB, LF, CR, SPACE; at most `maxDigits` when positive.
  // No digit gives 0 with `*end` at the first non-digit. Values beyond 32 bits saturate.
  static uint32_t parseHexNum(const char16_t* p, const char16_t** end, int maxDigits);
  // Decimal value of `count` characters of `s` from `start` (to the end when `count` <= 0);
  // -1 when the range is empty, out of `s` or holds a non-digit. Saturates at INT32_MAX.
  static int parseDigits(const UnicodeString& s, int start, int count);
  // Digits after optional TAB, LF, CR, SPACE; -1 (and `*end` = p) when there is none.
  static int parseDigits(const char16_t* p, const char16_t** end);

  // Number printing, always in the C locale whatever the process locale is.
  static UnicodeString toString(int value);
  static UnicodeString toString(int64_t value);
  // As printf "%g": six significant digits, exponent form outside 1e-5..1e6, "nan", "inf".
  static UnicodeString toString(double value);
  // Upper-case hexadecimal, left-padded with '0' to `minDigits`.
  static UnicodeString toHexString(uint32_t value, int minDigits);

  // Unit keywords ("pt", "%", "Hz", "kHz"; defined with the units in ekcommon/values/). Units
  // without a keyword give the empty name.
  static EKName toUnitName(EKUnitType unit);
  // The unit of a keyword, spelled exactly ("vm" is vmin too); with `typeKeywords` also the
  // attribute-type keywords: number and integer, length (pt), angle (deg), time (s), frequency
  // (Hz), string, url, name, color. Anything else gives UNIT_NONE.
  static EKUnitType toUnitType(EKName name, bool typeKeywords);

  // Rounds half away from zero; NaN gives 0 and values beyond the int range saturate.
  static int roundToInteger(float value);
  static int roundToInteger(double value);

  static double getNaN();
  static float getNaNf();
  static bool isNaN(float value);
  static bool isNaN(double value);

  // Sets the C library's numeric locale to "C" unless it already is, for hosts that print
  // numbers through the C library. The library's own printers and scanners do not need it.
  // Changes process-wide state; serialised by a lock of its own.
  static void setLocaleC();

  // The IANA name of an encoding: the name trimmed and upper-cased; "" gives "UTF-8"; the
  // library's own "ANSI_X3.4", "CHINESEBIG5", "CHINESEGBK", "ISO_646.IRV" and "KOREANKSC" give
  // their standard spelling; other names go through ICU's alias table, and a name that ICU does
  // not know comes back trimmed and upper-cased.
  static UnicodeString getStandardEncoding(const UnicodeString& name);
  // The spelling the XML parser reports for an encoding: names are compared ignoring case,
  // punctuation, spaces and leading zeros of numbers, and a known alias gives its canonical
  // built-in name ("latin-1" gives "ISO-8859-1", "shift-jis" "WINDOWS31J"); an unknown or empty
  // name is returned as given. Not to be called after cleanup().
  static UnicodeString getCanonicalEncoding(const UnicodeString& name);
  // Frees the process-wide caches of the utilities. For the host at shutdown, once no thread
  // uses the library any more; takes the library-wide lock.
  static void cleanup();

  // Runs of TAB, LF, CR and SPACE become one SPACE; leading and trailing runs go.
  static UnicodeString normalizeSpaces(const UnicodeString& s);
  // Removes every TAB, LF, CR and SPACE.
  static UnicodeString omitSpace(const UnicodeString& s);

  // Modified Julian day of a date: Gregorian from 1582-10-15 on, Julian before; 1858-11-17 is 0.
  static int modifiedJulianDay(int year, int month, int day);
  // The date of a modified Julian day, the inverse of modifiedJulianDay for years 1 and later.
  static void mjd2Date(int mjd, int& year, int& month, int& day);
  // Day of the week, 0 = Sunday.
  static int mjd2WeekDay(int mjd);

  // Bit fields of a packed buffer, most significant bit first: field `index` of the given width.
  // The caller guarantees that the field lies inside the buffer.
  static unsigned fetchBit1(const uint8_t* data, size_t index);
  static unsigned fetchBit2(const uint8_t* data, size_t index);
  static unsigned fetchBit4(const uint8_t* data, size_t index);
  static unsigned fetchBit8(const uint8_t* data, size_t index);
  // Two 12-bit fields share three bytes.
  static unsigned fetchBit12(const uint8_t* data, size_t index);
  static unsigned fetchBit16(const uint8_t* data, size_t index);
  static unsigned fetchBit24(const uint8_t* data, size_t index);
  static uint32_t fetchBit32(const uint8_t* data, size_t index);
  // Store the low bits of `value` in field `index`, leaving the other bits of the byte alone.
  static void patchBit1(uint8_t* data, size_t index, unsigned value);
  static void patchBit2(uint8_t* data, size_t index, unsigned value);
  static void patchBit4(uint8_t* data, size_t index, unsigned value);

  // Base64 (RFC 4648 alphabet, '=' padding) of everything left in `in`. When `lineLength` is
  // positive the output is cut into lines of that many characters, each begun with
  // `linePrefix` and separated (not ended) by `lineSeparator`; the short form uses LF and no
  // prefix. Empty input gives the empty string.
  static UnicodeString encodeBase64(std::istream& in, int lineLength);
  static UnicodeString encodeBase64(std::istream& in, int lineLength,
                                    const UnicodeString& lineSeparator,
                                    const UnicodeString& linePrefix);
  // Writes the bytes of base64 `text` to `out`. TAB, LF, FF, CR and SPACE are ignored anywhere
  // and the final padding may be missing. Returns false, after writing the bytes of the valid
  // part, on any other character, on data after the padding and on a dangling sixth bit group.
  static bool decodeBase64(const UnicodeString& text, std::ostream& out);

  // One-call compression of a memory block. deflate writes the zlib-wrapped (RFC 1950) stream
  // of data at level 9 to `out` and returns true when zlib finished it. inflate reads
  // zlib-wrapped data, inflate2 raw deflate data (as in ZIP entries); both write the
  // decompressed bytes to `out` as they come and return true only when the data was a complete
  // stream and `out` took every byte. Nothing is thrown.
  static bool deflate(std::ostream& out, const unsigned char* data, unsigned length);
  static bool inflate(std::ostream& out, const unsigned char* data, unsigned length);
  static bool inflate2(std::ostream& out, const unsigned char* data, unsigned length);

  // The CSS an+b notation of :nth-child() and page selectors.
  struct EKCOMMON_API Nth {
    int a = 0;
    int b = 0;

    Nth() = default;
    Nth(int a_, int b_) : a(a_), b(b_) {}
    // Reads "even", "odd" or an+b (case-insensitive, white space around the text and around
    // the sign before b). On success sets a and b and returns true; otherwise leaves them.
    bool parse(const UnicodeString& s);
    // Whether n = a*k + b for some integer k >= 0.
    bool match(int n) const;
    bool operator<(const Nth& other) const { return a != other.a ? a < other.a : b < other.b; }
    bool operator==(const Nth& other) const { return a == other.a && b == other.b; }
    bool operator!=(const Nth& other) const { return !(*this == other); }
  };

  // A reading cursor and a writing cursor over one bit buffer, most significant bit first.
  // Reads beyond the end give 0 bits; writes beyond the end grow the buffer (zero-filled).
  // The buffer given to the constructor is used in place until it must grow; it is then copied
  // into storage of the iterator, and getData() is where the bits live from then on.
  class EKCOMMON_API BitIterator {
  public:
    // An empty buffer owned by the iterator.
    BitIterator() = default;
    BitIterator(uint8_t* data, size_t size);
    BitIterator(const BitIterator&) = delete;
    BitIterator& operator=(const BitIterator&) = delete;

    // The next `n` bits (0 to 32) as an unsigned number; advances the reading cursor.
    uint32_t fetch(int n);
    void advanceFetch(size_t bits) { m_fetchPos += bits; }
    void seekFetch(size_t bitPos) { m_fetchPos = bitPos; }
    // True when no bit is left to read.
    bool endFetch() const { return m_fetchPos >= m_size * 8; }
    size_t getFetchPos() const { return m_fetchPos; }
    // How many bits equal to `bit` follow the reading cursor, at most `max`; does not advance.
    size_t countRun(unsigned bit, size_t max) const;

    void patch(unsigned bit);
    // The low `n` bits (0 to 32) of `value`, most significant first.
    void patch(uint32_t value, int n);
    void patchFill(unsigned bit, size_t n);
    void advancePatch(size_t bits) { m_patchPos += bits; }
    void seekPatch(size_t bitPos) { m_patchPos = bitPos; }
    // True when the writing cursor is at or past the end of the buffer.
    bool endPatch() const { return m_patchPos >= m_size * 8; }
    size_t getPatchPos() const { return m_patchPos; }
    // Grows (zero-filled) or shrinks the buffer to `size` bytes.
    void resizeData(size_t size);

    const uint8_t* getData() const { return m_data; }
    size_t getSize() const { return m_size; }

  private:
    unsigned bitAt(size_t pos) const;
    void ensureBits(size_t bitCount);

    uint8_t* m_data = nullptr;
    size_t m_size = 0;
    std::vector<uint8_t> m_owned;
    size_t m_fetchPos = 0;
    size_t m_patchPos = 0;
  };

  // A counter style of the CSS model: how a system, its symbols, a range, padding, a negative
  // sign, prefix, suffix and a fallback style turn an integer into a list or page number.
  //
  //   const EKUtil::CounterStyle* roman =
  //       EKUtil::getPredefinedCounterStyle(EKName(EKN_lower_roman), nullptr);
  //   roman->formatNumber(14, EKUtil::getPredefinedCounterStyle, nullptr, true); // "xiv"
  //
  //   EKUtil::CounterStyle stars{EKName(EKN_symbolic)};
  //   stars.addSymbols("*\u2020");                 // "*", then the dagger
  //   stars.setSuffix(" ");
  //   stars.formatNumber(3, nullptr, nullptr, false); // "** "
  class EKCOMMON_API CounterStyle {
  public:
    // One symbol: a string (often one code point) or the URL of an image.
    class EKCOMMON_API Symbol {
    public:
      Symbol() = default;
      Symbol(int codePoint) : m_text(static_cast<UChar32>(codePoint)) {}
      Symbol(const char* utf8) : m_text(UnicodeString::fromUTF8(utf8 ? utf8 : "")) {}
      Symbol(const UnicodeString& text, bool isUrl = false) : m_text(text), m_url(isUrl) {}

      const UnicodeString& getText() const { return m_text; }
      bool isUrl() const { return m_url; }
      bool isEmpty() const { return m_text.isEmpty(); }
      bool operator==(const Symbol& other) const { return m_url == other.m_url && m_text == other.m_text; }
      bool operator!=(const Symbol& other) const { return !(*this == other); }
      bool operator<(const Symbol& other) const {
        return m_url != other.m_url ? m_url < other.m_url : m_text < other.m_text;
      }

    private:
      UnicodeString m_text;
      bool m_url = false;
    };
    // A weight with its symbol (additive symbols), or a length with its symbol (the pad).
    using IntSymbol = std::pair<int, Symbol>;
    // An inclusive range of values.
    using Range = std::pair<int64_t, int64_t>;
    // Finds a style by name for the fallback; getPredefinedCounterStyle is one.
    using Resolver = const CounterStyle* (*)(EKName name, void* context);

    // `system`: "cyclic", "numeric", "alphabetic", "symbolic", "additive", "fixed",
    // "ethiopic-numeric", "trad-chinese-informal", "trad-chinese-formal", "simp-chinese-informal",
    // "simp-chinese-formal" or "kansuji". A style of any other system formats every value
    // through its fallback.
    explicit CounterStyle(EKName system);
    bool operator<(const CounterStyle& other) const;

    void setSystem(EKName system) {
      m_system = system;
      m_decimalDigits.clear();
    }
    // The value of the first symbol of a fixed system.
    void setFirst(int first) { m_first = first; }
    void addSymbol(const Symbol& symbol) { m_symbols.push_back(symbol); }
    void addSymbols(std::initializer_list<int> codePoints);
    // One symbol per code point of the UTF-8 text.
    void addSymbols(const char* utf8);
    // One symbol per code point of `count` UTF-16 units.
    void addSymbols(const char16_t* text, int32_t count);
    // Additive symbols are tried in the order added, which must be descending weight.
    void addAdditiveSymbol(const IntSymbol& symbol) {
      m_additiveSymbols.push_back(symbol);
      m_decimalDigits.clear();
    }
    void addAdditiveSymbol(int weight, const Symbol& symbol) { addAdditiveSymbol(IntSymbol(weight, symbol)); }
    // Values outside every added range use the fallback. Without a range the system's own one
    // holds: n >= 1 for alphabetic and symbolic, n >= 0 for additive, everything otherwise.
    void addRange(int64_t low, int64_t high);
    void setNegative(const Symbol& prefix, const Symbol& suffix);
    void setPad(const IntSymbol& pad) { m_pad = pad; }
    void setPad(int length, const Symbol& symbol) { m_pad = IntSymbol(length, symbol); }
    void setPrefix(const Symbol& prefix) { m_prefix = prefix; }
    void setSuffix(const Symbol& suffix) { m_suffix = suffix; }
    // The representation of 0 when not empty, whatever the system.
    void setZero(const Symbol& zero) { m_zero = zero; }
    void setFallback(EKName fallback) { m_fallback = fallback; }
    void clrSymbols() { m_symbols.clear(); }
    void clrAdditiveSymbols() {
      m_additiveSymbols.clear();
      m_decimalDigits.clear();
    }
    void clrRange() {
      m_ranges.clear();
      m_hasRange = false;
    }

    EKName getSystem() const { return m_system; }
    int getFirst() const { return m_first; }
    const std::vector<Symbol>& getSymbols() const { return m_symbols; }
    const std::vector<IntSymbol>& getAdditiveSymbols() const { return m_additiveSymbols; }
    EKName getFallback() const { return m_fallback; }
    // Null when no negative sign was set: a hyphen-minus before the number is used then.
    const std::pair<Symbol, Symbol>* getNegative() const { return m_hasNegative ? &m_negative : nullptr; }
    const IntSymbol& getPad() const { return m_pad; }
    const Symbol& getPrefix() const { return m_prefix; }
    const Symbol& getSuffix() const { return m_suffix; }
    const Symbol& getZero() const { return m_zero; }
    // Null when no range was added.
    const std::vector<Range>* getRange() const { return m_hasRange ? &m_ranges : nullptr; }
    bool isPredefined() const { return m_predefined; }
    // Whether the calling thread is formatting with this style and went to its fallback; a
    // fallback chain that comes back to such a style ends at "decimal" instead.
    bool isInUse() const;
    // Whether `value` lies in the style's range.
    bool checkRange(int64_t value) const;

    // The representation of `value`, with the negative sign, and with prefix and suffix unless
    // `bare`. A value the style cannot represent (outside the range, no usable symbols, a
    // text of 1,000 UTF-16 units or more) goes to the style named by the fallback, found
    // through `resolve` (when given), or to the predefined "decimal" when there is none or it
    // is already in use on this thread. Formatting never throws.
    UnicodeString formatNumber(int64_t value, Resolver resolve, void* context, bool bare) const;
    // Pads `text` (lengths in code points), adds the negative sign when `negative` and the
    // prefix and suffix unless `bare`.
    UnicodeString finishString(const UnicodeString& text, bool negative, bool bare) const;

  private:
    friend class EKUtil;
    // For additive styles that write every number below 10,000 as the concatenation of what
    // they write for its decimal digits in place (d x 10^k), as Roman and CJK numerals do:
    // fills m_decimalDigits so that formatting looks those up instead of trying every weight.
    // Done once for the predefined styles; any change of the system or the symbols drops it.
    void prepareDecimalDigits();
    UnicodeString formatFallback(int64_t value, Resolver resolve, void* context, bool bare) const;

    EKName m_system;
    int m_first = 1;
    std::vector<Symbol> m_symbols;
    std::vector<IntSymbol> m_additiveSymbols;
    std::pair<Symbol, Symbol> m_negative;
    bool m_hasNegative = false;
    Symbol m_prefix;
    Symbol m_suffix;
    IntSymbol m_pad{0, Symbol()};
    Symbol m_zero;
    std::vector<Range> m_ranges;
    bool m_hasRange = false;
    EKName m_fallback;
    bool m_predefined = false;
    // Empty, or 40 entries: entry 10 * k + d is the representation of d x 10^k (d = 0: empty).
    std::vector<UnicodeString> m_decimalDigits;
  };

  // The predefined style of that name (ignoring ASCII case), or null. Styles are built on first
  // use under the library-wide lock and then shared read-only by every thread until cleanup().
  // The signature fits CounterStyle::Resolver; `context` is not used.
  static const CounterStyle* getPredefinedCounterStyle(EKName name, void* context);
  // The names of every predefined style, sorted.
  static std::vector<UnicodeString> getPredefinedCounterStyleNames();

  // The number-to-string conversion of XSL and XSLT: `format` is cut into alphanumeric tokens
  // and the separators around them; the first token numbers the value, with the text before it
  // as prefix and the text after the last token as suffix. Tokens: decimal digits of any
  // Unicode digit family ("1", "01", "\u0661"; leading zeros pad with zeros), "a"/"A", "i"/"I"
  // (roman numerals, up to 3999), a letter of an alphabet (that alphabet from the letter on),
  // and what other numberings write for 1 ("\u3042", "\u2460" ...). "\u4E00" and "\u58F9" give
  // the informal and formal Han numerals of `lang` (Japanese kansuji, Korean, simplified or
  // traditional Chinese), "\u58F1" Japanese formal numerals, "\uC77C" Korean Hangul numerals.
  // `letterValue` EKN_traditional turns "\u03B1", "\u0391", "\u05D0", "\u0561", "\u0531" and
  // "\u10D0" from alphabets into Greek, Hebrew, Armenian and Georgian numerals; "i" and "I" are
  // roman numerals unless it is EKN_alphabetic. An unknown token is read as "1". The digits of
  // decimal tokens are grouped with `groupingSeparator` every `groupingSize` digits when both
  // are given. Values the numbering cannot represent (0 or negative in alphabetic numbering,
  // beyond the range of the numerals) are printed as decimal numbers.
  static UnicodeString formatNumber(int64_t value, const UnicodeString& format, const EKLang& lang);
  static UnicodeString formatNumber(int64_t value, const UnicodeString& format,
                                    const UnicodeString& groupingSeparator, int groupingSize,
                                    const EKLang& lang, EKNameEnum letterValue);

  // Japanese kanji numerals. `type`: "simple" writes digit by digit (2024: 二〇二四);
  // "grouping" writes each group of four digits digit by digit followed by its myriad unit,
  // leaving out zero groups and leading zeros (12345678: 一二三四万五六七八); "readable" writes
  // the units of ten, hundred and thousand too, leaving out a one before ten and hundred and
  // before a leading thousand (12345: 一万二千三百四十五; 1000: 千; 11000: 一万一千).
  // `variant` selects the digits: "kanji" (〇一二...九), "latin" (the full-width digits), or
  // any other name whose text gives the digits 0 to 9 (missing ones are the kanji digits); `digits`, when not empty, gives them instead. `units`: the characters of
  // ten, hundred and thousand, then of 10^4, 10^8, ... (empty: 十百千万億兆京垓𥝱穣溝澗正載極);
  // digits above the last unit are written digit by digit. Negative values get "-".
  static UnicodeString convertKansuji(int64_t value, const EKName& type, const EKName& variant,
                                      const UnicodeString& digits, const UnicodeString& units);
  // The same for a decimal text of any length: ASCII digits after an optional '-'. Any other
  // text is returned unchanged.
  static UnicodeString convertKansuji(const UnicodeString& decimalText, const EKName& type,
                                      const EKName& variant, const UnicodeString& digits,
                                      const UnicodeString& units);

private:
  static void freeCounterStyles();
  // The alphabetic or fixed predefined style that writes 1 as `one`, or null; for format
  // tokens. The index is built once under the library-wide lock.
  static const CounterStyle* findNumberingByOne(const UnicodeString& one);

  using EncodingAliasMap = std::unordered_map<std::string, EKNameEnum>;
  // Built at load time (ekcommon/core/EKStartup.cpp) from the alias table; keys are comparison
  // keys of alias names.
  static EncodingAliasMap buildEncodingAliasMap();
  static EncodingAliasMap s_encodingAliasMap;
};

inline EKUtil::QuoteMode operator|(EKUtil::QuoteMode a, EKUtil::QuoteMode b) {
  return static_cast<EKUtil::QuoteMode>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

} // namespace EKCommonNS
