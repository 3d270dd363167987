// URI construction and resolution on arbitrary string pairs: the first byte picks the string
// type and the decoding (UTF-8, or raw UTF-16 code units with lone surrogates), the rest is
// split at the first newline into base and reference.
#include <ekcommon/ekcommon.h>

#include <cstddef>
#include <cstdint>

using namespace EKCommonNS;

namespace {

UnicodeString decode(const uint8_t* data, size_t size, bool utf16) {
  if (!utf16)
    return UnicodeString::fromUTF8(icu::StringPiece(reinterpret_cast<const char*>(data), static_cast<int32_t>(size)));
  UnicodeString s;
  for (size_t i = 0; i + 1 < size; i += 2)
    s.append(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  return s;
}

void exercise(EKUri uri, const UnicodeString& other) {
  uri.getScheme();
  uri.isFile();
  uri.getLocalPath(true);
  uri.getFileName();
  uri.getExtension();
  uri.getBaseString();
  uri.getRelativeUri(other);
  uri.isDescendantOrSelf(EKUri(other, EKUri::URISTR_URI));
  uri.isSameFile(EKUri(other, EKUri::URISTR_URI));
  EKUri::unescape(uri.toString());
  EKUri::escape(uri.toString());
  EKUri::escapeSharpIfExist(uri, other, true);
  uri.setExtension(other);
  uri.toDirectory();
  uri.removeFragment(false);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1)
    return 0;
  const auto type = static_cast<EKUri::URISTRTYPE>(data[0] % 5);
  const bool utf16 = (data[0] & 0x80) != 0;
  ++data;
  --size;
  size_t split = 0;
  while (split < size && data[split] != '\n')
    ++split;
  const UnicodeString base = decode(data, split, utf16);
  const UnicodeString ref = split < size ? decode(data + split + 1, size - split - 1, utf16) : UnicodeString();

  const EKUri baseUri(base, type);
  exercise(baseUri, ref);
  exercise(EKUri(baseUri, ref, type), base);
  exercise(EKUri(EKUri(base, EKUri::URISTR_URI), ref, EKUri::URISTR_URI), base);
  EKUri::isValidUri(ref);
  EKUri::getLocalPath(ref);
  return 0;
}
