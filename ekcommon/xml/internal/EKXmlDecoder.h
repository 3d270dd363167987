// The byte decoders built into the XML parser: US-ASCII, ISO-8859-1 to -16 (without -12),
// UTF-8, UTF-16 and UTF-32 in both byte orders. They turn bytes into UTF-16 in bulk, never
// splitting a surrogate pair between two calls; every other encoding goes through the
// transcoding stream.
#pragma once

#include "ekcommon/core/EKUnicode.h"

#include <cstddef>
#include <cstdint>

namespace EKCommonNS {

class EKXmlDecoder {
public:
  enum Kind { NONE, SINGLE_BYTE, UTF8, UTF16LE, UTF16BE, UTF32LE, UTF32BE };

  EKXmlDecoder() = default;
  explicit EKXmlDecoder(Kind kind) : m_kind(kind) {}

  // The built-in decoder of an encoding name or alias (trimmed, any case); `canonical` receives
  // the built-in name. A family name (UTF-16, UTF-32) takes the byte order `current` already has.
  // False when the name has no built-in decoder.
  static bool lookup(const UnicodeString& name, const EKXmlDecoder& current, EKXmlDecoder& decoder,
                     UnicodeString& canonical);

  Kind getKind() const { return m_kind; }
  bool isUtf16() const { return m_kind == UTF16LE || m_kind == UTF16BE; }
  bool isUtf32() const { return m_kind == UTF32LE || m_kind == UTF32BE; }
  // Bytes of the shortest character.
  size_t getUnitSize() const { return isUtf32() ? 4 : isUtf16() ? 2 : 1; }

  // Decodes whole characters of [in, in + length) into out (room for `capacity` UTF-16 units, at
  // least 2), at most `maxChars` of them, and returns the bytes used; `produced` receives the
  // count of units. An incomplete sequence at the end is left for the next call unless `atEnd`,
  // when it yields U+FFFD. Malformed sequences yield U+FFFD; in UTF-16 lone low surrogates pass
  // through and a high surrogate without a low one yields U+FFFD. Surrogates encoded in UTF-8 or
  // UTF-32 and values beyond Unicode come out as U+FFFF, which no check lets pass.
  size_t decode(const uint8_t* in, size_t length, bool atEnd, char16_t* out, size_t capacity, size_t maxChars,
                size_t& produced) const;

private:
  size_t decodeUtf8(const uint8_t* in, size_t length, bool atEnd, char16_t* out, size_t capacity, size_t maxChars,
                    size_t& produced) const;
  size_t decodeUtf16(const uint8_t* in, size_t length, bool atEnd, char16_t* out, size_t capacity,
                     size_t maxChars, size_t& produced) const;

  Kind m_kind = UTF8;
  // Code points of bytes 0xA0..0xFF; null when every byte is itself.
  const char32_t* m_table = nullptr;
};

} // namespace EKCommonNS
