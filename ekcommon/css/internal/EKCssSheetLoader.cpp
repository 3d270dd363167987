// Loading of style sheets: fetching, byte-order and charset sniffing, and decoding.
#include "ekcommon/css/internal/EKCssSheetLoader.h"

#include "ekcommon/resources/EKICUIStream.h"
#include "ekcommon/resources/EKStrStream.h"
#include "ekcommon/text/EKUtil.h"
#include "ekcommon/text/internal/EKByteOrder.h"
#include "ekcommon/text/internal/EKTrim.h"

#include <unicode/ustring.h>

#include <algorithm>
#include <memory>
#include <string>

namespace EKCommonNS {

namespace {

// The sheet is buffered in blocks of this size while it is read.
constexpr size_t READ_BLOCK_BYTES = 8192;

inline uint32_t unitValue(char c) { return static_cast<unsigned char>(c); }
inline uint32_t unitValue(char16_t c) { return c; }

template <typename Unit> UnicodeString charsetRuleName(const Unit* data, size_t length) {
  static const char PREFIX[] = "@charset \"";
  constexpr size_t PREFIX_LENGTH = sizeof PREFIX - 1;
  if (length <= 12)
    return UnicodeString();
  for (size_t i = 0; i < PREFIX_LENGTH; ++i)
    if (unitValue(data[i]) != static_cast<uint32_t>(PREFIX[i]))
      return UnicodeString();
  const size_t limit = std::min(length, EKCssSheetLoader::CHARSET_SCAN_LIMIT) - 1;
  size_t close = PREFIX_LENGTH;
  while (close < limit && unitValue(data[close]) != '"')
    ++close;
  if (close >= limit || unitValue(data[close + 1]) != ';')
    return UnicodeString();
  UnicodeString name;
  for (size_t i = PREFIX_LENGTH; i < close; ++i)
    name.append(static_cast<UChar32>(unitValue(data[i])));
  return trimCssWhitespace(name);
}

UnicodeString sniffedEncodingName(EKByteOrder::Kind kind) {
  switch (kind) {
  case EKByteOrder::UTF8:
    return UNICODE_STRING_SIMPLE("UTF-8");
  case EKByteOrder::UTF16BE:
    return UNICODE_STRING_SIMPLE("UTF-16BE");
  case EKByteOrder::UTF16LE:
    return UNICODE_STRING_SIMPLE("UTF-16LE");
  case EKByteOrder::UTF32BE:
    return UNICODE_STRING_SIMPLE("UTF-32BE");
  case EKByteOrder::UTF32LE:
    return UNICODE_STRING_SIMPLE("UTF-32LE");
  case EKByteOrder::NONE:
    break;
  }
  return UnicodeString();
}

} // namespace

EKCssSheetLoader::EKCssSheetLoader(const EKUri::ContentInfo* info) {
  if (info)
    m_info = *info;
}

UnicodeString EKCssSheetLoader::findCharsetRule(const char* data, size_t length) {
  return charsetRuleName(data, length);
}

UnicodeString EKCssSheetLoader::findCharsetRule(const std::u16string& text) {
  return charsetRuleName(text.data(), text.size());
}

std::string EKCssSheetLoader::readAll(std::istream& in) {
  std::string data;
  // A stream that knows its length is read in one allocation.
  const std::istream::pos_type start = in.tellg();
  if (start != std::istream::pos_type(-1) && in.seekg(0, std::ios::end)) {
    const std::istream::pos_type end = in.tellg();
    if (end != std::istream::pos_type(-1) && end > start)
      data.reserve(static_cast<size_t>(end - start));
  }
  in.clear();
  in.seekg(start);
  char block[READ_BLOCK_BYTES];
  while (in.read(block, sizeof block) || in.gcount() > 0)
    data.append(block, static_cast<size_t>(in.gcount()));
  return data;
}

std::u16string EKCssSheetLoader::decode(const std::string& data, const UnicodeString& encoding) {
  if (encoding == u"UTF-8") {
    // Most sheets are UTF-8: one bulk conversion into a buffer that cannot be too small (never
    // more UTF-16 units than bytes), ill-formed sequences read as U+FFFD.
    std::u16string text(data.size(), u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(text.data(), static_cast<int32_t>(text.size()), &length, data.data(),
                         static_cast<int32_t>(data.size()), 0xFFFD, nullptr, &status);
    text.resize(U_SUCCESS(status) ? static_cast<size_t>(length) : 0);
    return text;
  }
  std::string name;
  encoding.toUTF8String(name);
  EKStrStream bytes(data.data(), data.size());
  // The converting stream delivers UTF-16 code units as little-endian byte pairs.
  EKICUIStream in(&bytes, name.c_str());
  std::u16string text;
  char chunk[READ_BLOCK_BYTES];
  int low = -1;
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    for (std::streamsize i = 0; i < in.gcount(); ++i) {
      const int byte = static_cast<unsigned char>(chunk[i]);
      if (low < 0) {
        low = byte;
      } else {
        text.push_back(static_cast<char16_t>(low | byte << 8));
        low = -1;
      }
    }
  }
  return text;
}

EKCssSheetLoader::Result EKCssSheetLoader::load(std::istream* in, const EKUri& uri,
                                                const UnicodeString& defaultEncoding,
                                                const std::vector<UnicodeString>& ancestorUris) const {
  Result result;
  auto fail = [&](uint16_t code, std::vector<UnicodeString> args) {
    const EKUri& named = result.inputUri.isEmpty() ? uri : result.inputUri;
    result.errorCode = code;
    result.issues.push_back({code, std::move(args), named.isEmpty() ? UnicodeString() : named.getLocalPath()});
    return result;
  };

  std::unique_ptr<std::istream> fetched;
  UnicodeString transportCharset;
  if (!in) {
    if (uri.isEmpty())
      return fail(EKERR_CSS_NO_STYLESHEET, {});
    result.inputUri = uri;
    if (std::find(ancestorUris.begin(), ancestorUris.end(), uri.toString()) != ancestorUris.end())
      return fail(EKERR_CSS_LOOPED_IMPORT, {});
    std::optional<EKUri::ContentInfo> info = m_info;
    fetched.reset(uri.getIStream(info ? &*info : nullptr, nullptr));
    if (!fetched)
      return fail(EKERR_CSS_CANNOT_OPEN_STYLESHEET, {});
    if (info)
      transportCharset = trimCssWhitespace(info->charset);
    in = fetched.get();
  }
  if (!in->good())
    return fail(EKERR_CSS_CANNOT_READ_STYLESHEET, {});

  const std::string data = readAll(*in);
  EKByteOrder order = sniffByteOrder(data.data(), data.size());
  if (order.brokenMark)
    return fail(EKERR_CSS_INVALID_BOM, {});
  if (data.empty())
    return fail(EKERR_CSS_EMPTY_STYLESHEET, {});
  // Little-endian data without a mark: a first byte other than 00 followed by 00.
  if (order.kind == EKByteOrder::NONE && data.size() >= 2 && data[0] != 0 && data[1] == 0)
    order.kind = data.size() >= 3 && data[2] == 0 ? EKByteOrder::UTF32LE : EKByteOrder::UTF16LE;

  UnicodeString chosen = sniffedEncodingName(order.kind);
  if (chosen.isEmpty())
    chosen = transportCharset;
  std::u16string text;
  bool decoded = false;
  if (!chosen.isEmpty()) {
    // Wide data without a mark may still declare a charset; it must agree with the one chosen.
    if (!order.hasMark() && (data[0] == 0 || (data.size() > 1 && data[1] == 0))) {
      result.encoding = EKUtil::getStandardEncoding(chosen);
      text = decode(data, result.encoding);
      decoded = true;
      const UnicodeString declared = findCharsetRule(text);
      if (!declared.isEmpty() && EKUtil::getStandardEncoding(declared) != result.encoding)
        return fail(EKERR_CSS_CHARSET_CONFLICT, {declared, chosen});
    }
  } else {
    chosen = findCharsetRule(data.data(), data.size());
    if (chosen.isEmpty())
      chosen = defaultEncoding;
    if (chosen.isEmpty())
      chosen = UNICODE_STRING_SIMPLE("UTF-8");
  }
  result.encoding = EKUtil::getStandardEncoding(chosen);
  if (!decoded)
    text = decode(data, result.encoding);
  if (!text.empty() && (text[0] == 0xFEFF || text[0] == 0xFFFE))
    text.erase(0, 1);
  if (text.empty())
    return fail(EKERR_CSS_UNSUPPORTED_ENCODING, {result.encoding});
  result.text = std::move(text);
  return result;
}

} // namespace EKCommonNS
