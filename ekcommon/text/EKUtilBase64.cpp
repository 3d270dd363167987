// Base64 of EKUtil: encoding a byte stream into text and decoding text back to bytes.
#include "ekcommon/text/EKUtil.h"

#include "ekcommon/text/EKChar.h"

#include <istream>
#include <ostream>

namespace EKCommonNS {

namespace {

constexpr char ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
// Input is read in blocks of whole 3-byte groups, so that only the last block can need padding.
constexpr size_t BLOCK_BYTES = 3072;

int sextetOf(char16_t c) {
  if (c >= u'A' && c <= u'Z')
    return c - u'A';
  if (c >= u'a' && c <= u'z')
    return c - u'a' + 26;
  if (c >= u'0' && c <= u'9')
    return c - u'0' + 52;
  if (c == u'+')
    return 62;
  if (c == u'/')
    return 63;
  return -1;
}

// Appends encoded characters, starting a new line every `lineLength` characters.
class LineWriter {
public:
  LineWriter(UnicodeString& out, int lineLength, const UnicodeString& separator,
             const UnicodeString& prefix)
      : m_out(out), m_lineLength(lineLength), m_separator(separator), m_prefix(prefix) {}

  void put(char c) {
    if (!m_started || (m_lineLength > 0 && m_column == m_lineLength)) {
      if (m_started)
        m_out.append(m_separator);
      m_out.append(m_prefix);
      m_started = true;
      m_column = 0;
    }
    m_out.append(static_cast<char16_t>(c));
    ++m_column;
  }

private:
  UnicodeString& m_out;
  const int m_lineLength;
  const UnicodeString& m_separator;
  const UnicodeString& m_prefix;
  int m_column = 0;
  bool m_started = false;
};

} // namespace

UnicodeString EKUtil::encodeBase64(std::istream& in, int lineLength) {
  return encodeBase64(in, lineLength, UnicodeString(u"\n"), UnicodeString());
}

UnicodeString EKUtil::encodeBase64(std::istream& in, int lineLength,
                                   const UnicodeString& lineSeparator,
                                   const UnicodeString& linePrefix) {
  UnicodeString out;
  LineWriter writer(out, lineLength, lineSeparator, linePrefix);
  unsigned char block[BLOCK_BYTES];
  while (in) {
    in.read(reinterpret_cast<char*>(block), sizeof block);
    const size_t n = static_cast<size_t>(in.gcount());
    for (size_t i = 0; i < n; i += 3) {
      const size_t left = n - i;
      const uint32_t group = (uint32_t(block[i]) << 16) | (left > 1 ? uint32_t(block[i + 1]) << 8 : 0) |
                             (left > 2 ? uint32_t(block[i + 2]) : 0);
      writer.put(ALPHABET[(group >> 18) & 63]);
      writer.put(ALPHABET[(group >> 12) & 63]);
      writer.put(left > 1 ? ALPHABET[(group >> 6) & 63] : '=');
      writer.put(left > 2 ? ALPHABET[group & 63] : '=');
    }
  }
  return out;
}

bool EKUtil::decodeBase64(const UnicodeString& text, std::ostream& out) {
  char bytes[BLOCK_BYTES];
  size_t pending = 0;
  uint32_t group = 0;
  int sextets = 0;
  bool padded = false;
  bool ok = true;
  // A final group of two or three characters carries one or two bytes; one character is an error.
  const auto finishGroup = [&]() {
    if (sextets == 1)
      return false;
    if (sextets >= 2) {
      group <<= 6 * (4 - sextets);
      bytes[pending++] = static_cast<char>(group >> 16);
      if (sextets == 3)
        bytes[pending++] = static_cast<char>(group >> 8);
    }
    sextets = 0;
    return true;
  };
  const int32_t length = text.length();
  for (int32_t i = 0; i < length && ok; ++i) {
    const char16_t c = text[i];
    if (EKChar::isCssWhitespace(c))
      continue;
    if (c == u'=') {
      if (!padded)
        ok = sextets >= 2 && finishGroup();
      padded = true;
      continue;
    }
    const int value = sextetOf(c);
    if (value < 0 || padded) {
      ok = false;
      break;
    }
    group = (group << 6) | static_cast<uint32_t>(value);
    if (++sextets == 4) {
      bytes[pending++] = static_cast<char>(group >> 16);
      bytes[pending++] = static_cast<char>(group >> 8);
      bytes[pending++] = static_cast<char>(group);
      sextets = 0;
      group = 0;
      if (pending == sizeof bytes) {
        out.write(bytes, static_cast<std::streamsize>(pending));
        pending = 0;
      }
    }
  }
  if (ok)
    ok = finishGroup();
  out.write(bytes, static_cast<std::streamsize>(pending));
  return ok && static_cast<bool>(out);
}

} // namespace EKCommonNS
