#include "ekcommon/xml/internal/EKXmlDecoder.h"

#include <unicode/ucnv.h>

#include <cstdio>
#include <string>

namespace EKCommonNS {

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;
constexpr char32_t BEYOND_UNICODE = 0xFFFF;
constexpr int HIGH_TABLES = 16; // ISO-8859-n for n = 2..16 at index n

// The upper halves of the ISO-8859 parts, read once from ICU. A byte the part leaves unassigned
// stands for itself.
struct Latin {
  char32_t upper[HIGH_TABLES + 1][96];
  Latin() {
    for (int part = 2; part <= HIGH_TABLES; ++part) {
      for (int i = 0; i < 96; ++i)
        upper[part][i] = static_cast<char32_t>(0xA0 + i);
      if (part == 12)
        continue;
      char name[16];
      std::snprintf(name, sizeof name, "ISO-8859-%d", part);
      UErrorCode status = U_ZERO_ERROR;
      UConverter* converter = ucnv_open(name, &status);
      if (U_FAILURE(status))
        continue;
      ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
      for (int i = 0; i < 96 && U_SUCCESS(status); ++i) {
        const char byte = static_cast<char>(0xA0 + i);
        UChar out[4];
        UErrorCode one = U_ZERO_ERROR;
        ucnv_reset(converter);
        const int32_t n = ucnv_toUChars(converter, out, 4, &byte, 1, &one);
        if (U_SUCCESS(one) && n == 1)
          upper[part][i] = out[0];
      }
      ucnv_close(converter);
    }
  }
};

const Latin& latin() {
  static const Latin tables;
  return tables;
}

struct Alias {
  const char* name;
  EKXmlDecoder::Kind kind;
  int part; // ISO-8859 part, 0 for none
  const char16_t* canonical;
};

const Alias ALIASES[] = {
    {"US-ASCII", EKXmlDecoder::SINGLE_BYTE, 0, u"US-ASCII"},
    {"ANSI_X3.4", EKXmlDecoder::SINGLE_BYTE, 0, u"US-ASCII"},
    {"ANSI_X3.4-1968", EKXmlDecoder::SINGLE_BYTE, 0, u"US-ASCII"},
    {"ANSI_X3.4-1986", EKXmlDecoder::SINGLE_BYTE, 0, u"US-ASCII"},
    {"ASCII", EKXmlDecoder::SINGLE_BYTE, 0, u"US-ASCII"},
    {"ISO646-US", EKXmlDecoder::SINGLE_BYTE, 0, u"US-ASCII"},
    {"ISO_646.IRV", EKXmlDecoder::SINGLE_BYTE, 0, u"US-ASCII"},
    {"ISO_646.IRV:1991", EKXmlDecoder::SINGLE_BYTE, 0, u"US-ASCII"},
    {"ISO-8859-1", EKXmlDecoder::SINGLE_BYTE, 0, u"ISO-8859-1"},
    {"ISO_8859-1", EKXmlDecoder::SINGLE_BYTE, 0, u"ISO-8859-1"},
    {"ISO_8859-1:1987", EKXmlDecoder::SINGLE_BYTE, 0, u"ISO-8859-1"},
    {"LATIN1", EKXmlDecoder::SINGLE_BYTE, 0, u"ISO-8859-1"},
    {"ISO-8859-2", EKXmlDecoder::SINGLE_BYTE, 2, u"ISO-8859-2"},
    {"ISO-8859-3", EKXmlDecoder::SINGLE_BYTE, 3, u"ISO-8859-3"},
    {"ISO-8859-4", EKXmlDecoder::SINGLE_BYTE, 4, u"ISO-8859-4"},
    {"ISO-8859-5", EKXmlDecoder::SINGLE_BYTE, 5, u"ISO-8859-5"},
    {"ISO-8859-6", EKXmlDecoder::SINGLE_BYTE, 6, u"ISO-8859-6"},
    {"ISO-8859-7", EKXmlDecoder::SINGLE_BYTE, 7, u"ISO-8859-7"},
    {"ISO-8859-8", EKXmlDecoder::SINGLE_BYTE, 8, u"ISO-8859-8"},
    {"ISO-8859-9", EKXmlDecoder::SINGLE_BYTE, 9, u"ISO-8859-9"},
    {"ISO-8859-10", EKXmlDecoder::SINGLE_BYTE, 10, u"ISO-8859-10"},
    {"ISO-8859-11", EKXmlDecoder::SINGLE_BYTE, 11, u"ISO-8859-11"},
    {"ISO-8859-13", EKXmlDecoder::SINGLE_BYTE, 13, u"ISO-8859-13"},
    {"ISO-8859-14", EKXmlDecoder::SINGLE_BYTE, 14, u"ISO-8859-14"},
    {"ISO-8859-15", EKXmlDecoder::SINGLE_BYTE, 15, u"ISO-8859-15"},
    {"ISO-8859-16", EKXmlDecoder::SINGLE_BYTE, 16, u"ISO-8859-16"},
    {"UTF-8", EKXmlDecoder::UTF8, 0, u"UTF-8"},
    {"UTF-16BE", EKXmlDecoder::UTF16BE, 0, u"UTF-16BE"},
    {"UTF-16LE", EKXmlDecoder::UTF16LE, 0, u"UTF-16LE"},
    {"UTF-32BE", EKXmlDecoder::UTF32BE, 0, u"UTF-32BE"},
    {"UTF-32LE", EKXmlDecoder::UTF32LE, 0, u"UTF-32LE"},
    {"ISO-10646-UCS-2", EKXmlDecoder::UTF16BE, -1, u"UTF-16"},
    {"UCS-2", EKXmlDecoder::UTF16BE, -1, u"UTF-16"},
    {"UNICODE", EKXmlDecoder::UTF16BE, -1, u"UTF-16"},
    {"UTF-16", EKXmlDecoder::UTF16BE, -1, u"UTF-16"},
    {"ISO-10646-UCS-4", EKXmlDecoder::UTF32BE, -1, u"UTF-32"},
    {"UCS-4", EKXmlDecoder::UTF32BE, -1, u"UTF-32"},
    {"UTF-32", EKXmlDecoder::UTF32BE, -1, u"UTF-32"},
};

} // namespace

bool EKXmlDecoder::lookup(const UnicodeString& name, const EKXmlDecoder& current, EKXmlDecoder& decoder,
                          UnicodeString& canonical) {
  UnicodeString key(name);
  key.trim().toUpper();
  std::string ascii;
  key.toUTF8String(ascii);
  for (const Alias& alias : ALIASES) {
    if (ascii != alias.name)
      continue;
    decoder = EKXmlDecoder(alias.kind);
    if (alias.part > 0)
      decoder.m_table = latin().upper[alias.part];
    if (alias.part < 0) {
      // A family name keeps the byte order found from the mark or the first bytes.
      const bool utf32 = alias.kind == UTF32BE;
      if (utf32 && current.isUtf32())
        decoder.m_kind = current.m_kind;
      else if (!utf32 && current.isUtf16())
        decoder.m_kind = current.m_kind;
    }
    canonical = UnicodeString(alias.canonical);
    return true;
  }
  return false;
}

namespace {

// Writes a code point decoded from UTF-8 or UTF-32 as one or two units; false when they do not
// fit.
inline bool put(char32_t c, char16_t* out, size_t capacity, size_t& n) {
  // An encoded surrogate is no character: written as a unit it could pair with the next one.
  if (c >= 0xD800 && c <= 0xDFFF)
    c = BEYOND_UNICODE;
  if (c < 0x10000) {
    if (n >= capacity)
      return false;
    out[n++] = static_cast<char16_t>(c);
    return true;
  }
  if (c > 0x10FFFF)
    return put(BEYOND_UNICODE, out, capacity, n);
  if (n + 2 > capacity)
    return false;
  out[n++] = static_cast<char16_t>(0xD7C0 + (c >> 10));
  out[n++] = static_cast<char16_t>(0xDC00 | (c & 0x3FF));
  return true;
}

} // namespace

size_t EKXmlDecoder::decode(const uint8_t* in, size_t length, bool atEnd, char16_t* out, size_t capacity,
                            size_t maxChars, size_t& produced) const {
  switch (m_kind) {
  case UTF8:
    return decodeUtf8(in, length, atEnd, out, capacity, maxChars, produced);
  case UTF16LE:
  case UTF16BE:
    return decodeUtf16(in, length, atEnd, out, capacity, maxChars, produced);
  case UTF32LE:
  case UTF32BE: {
    size_t n = 0, i = 0, chars = 0;
    for (; chars < maxChars && i + 4 <= length; i += 4, ++chars) {
      const char32_t c = m_kind == UTF32LE ? (char32_t(in[i]) | char32_t(in[i + 1]) << 8 |
                                              char32_t(in[i + 2]) << 16 | char32_t(in[i + 3]) << 24)
                                           : (char32_t(in[i]) << 24 | char32_t(in[i + 1]) << 16 |
                                              char32_t(in[i + 2]) << 8 | char32_t(in[i + 3]));
      if (!put(c, out, capacity, n))
        break;
    }
    if (atEnd && i < length && i + 4 > length && chars < maxChars && put(REPLACEMENT, out, capacity, n))
      i = length;
    produced = n;
    return i;
  }
  default: {
    size_t n = length < capacity ? length : capacity;
    n = n < maxChars ? n : maxChars;
    for (size_t i = 0; i < n; ++i) {
      const uint8_t b = in[i];
      out[i] = static_cast<char16_t>((b >= 0xA0 && m_table) ? m_table[b - 0xA0] : char32_t(b));
    }
    produced = n;
    return n;
  }
  }
}

size_t EKXmlDecoder::decodeUtf8(const uint8_t* in, size_t length, bool atEnd, char16_t* out, size_t capacity,
                                size_t maxChars, size_t& produced) const {
  size_t i = 0, n = 0, chars = 0;
  while (chars < maxChars && n < capacity && i < length) {
    // ASCII runs are the common case: copy them without looking at lead bits.
    if (in[i] < 0x80) {
      size_t run = length - i;
      run = run < capacity - n ? run : capacity - n;
      run = run < maxChars - chars ? run : maxChars - chars;
      size_t k = 0;
      while (k < run && in[i + k] < 0x80) {
        out[n + k] = in[i + k];
        ++k;
      }
      i += k;
      n += k;
      chars += k;
      continue;
    }
    const uint8_t lead = in[i];
    size_t extra;
    char32_t c;
    if (lead >= 0xC0 && lead < 0xE0) {
      extra = 1;
      c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
      extra = 2;
      c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF8) {
      extra = 3;
      c = lead & 0x07;
    } else {
      out[n++] = static_cast<char16_t>(REPLACEMENT);
      ++chars;
      ++i;
      continue;
    }
    if (i + extra >= length && !atEnd) {
      // The sequence runs past the bytes at hand: wait for the rest unless it is already broken.
      bool complete = true;
      for (size_t k = 1; i + k < length; ++k)
        if ((in[i + k] & 0xC0) != 0x80)
          complete = false;
      if (complete)
        break;
    }
    size_t k = 1;
    for (; k <= extra && i + k < length && (in[i + k] & 0xC0) == 0x80; ++k)
      c = (c << 6) | (in[i + k] & 0x3F);
    if (k <= extra) {
      out[n++] = static_cast<char16_t>(REPLACEMENT);
      ++chars;
      i += k;
      continue;
    }
    if (!put(c, out, capacity, n))
      break;
    ++chars;
    i += extra + 1;
  }
  produced = n;
  return i;
}

size_t EKXmlDecoder::decodeUtf16(const uint8_t* in, size_t length, bool atEnd, char16_t* out, size_t capacity,
                                 size_t maxChars, size_t& produced) const {
  const bool little = m_kind == UTF16LE;
  auto unit = [&](size_t at) -> char16_t {
    return static_cast<char16_t>(little ? (in[at] | in[at + 1] << 8) : (in[at] << 8 | in[at + 1]));
  };
  size_t i = 0, n = 0, chars = 0;
  while (chars < maxChars && n < capacity && i + 2 <= length) {
    const char16_t c = unit(i);
    if (c < 0xD800 || c > 0xDBFF) {
      out[n++] = c;
      ++chars;
      i += 2;
      continue;
    }
    if (i + 4 > length) {
      if (!atEnd)
        break;
      out[n++] = static_cast<char16_t>(REPLACEMENT);
      ++chars;
      i += 2;
      continue;
    }
    const char16_t low = unit(i + 2);
    if (low >= 0xDC00 && low <= 0xDFFF) {
      if (n + 2 > capacity)
        break;
      out[n++] = c;
      out[n++] = low;
      i += 4;
    } else {
      out[n++] = static_cast<char16_t>(REPLACEMENT);
      i += 2;
    }
    ++chars;
  }
  if (atEnd && chars < maxChars && n < capacity && i + 2 > length && i < length) {
    out[n++] = static_cast<char16_t>(REPLACEMENT);
    i = length;
  }
  produced = n;
  return i;
}

} // namespace EKCommonNS
