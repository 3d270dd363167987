// OASIS XML catalogs on arbitrary bytes. The input is the catalog file, served from memory by a
// URI resolver (every other URI the catalog parser asks for, such as an external entity, gets a
// small fixed text, so nothing is read from files or the network). Without an error callback the
// catalog is loaded into one catalog set once and into another twice; with one, into a third.
// Then a few URIs, among them attribute values taken from the input so that entries can match,
// are resolved by all of them, which must agree: entries read again come after the first ones and
// the first match wins. Seeds are in fuzz/corpus/catalog.
#include <ekcommon/ekcommon.h>

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

using namespace EKCommonNS;

namespace {

void check(bool condition) {
  if (!condition)
    __builtin_trap();
}

#define CATALOG_ADDRESS "http://catalog.invalid/dir/catalog.xml"

const std::string* s_catalog = nullptr;

class ServeFromMemory : public EKUriReferenceResolver2 {
public:
  bool resolve(const wchar_t* uri, EKUriWriteCallback write, void* context) override {
    static const char entity[] = "<uri name='urn:from-entity' uri='entity.xml'/>";
    if (std::wcscmp(uri, L"" CATALOG_ADDRESS) == 0 && s_catalog)
      write(static_cast<int>(s_catalog->size()), s_catalog->data(), context);
    else
      write(static_cast<int>(sizeof entity - 1), entity, context);
    return true;
  }
};

// Counts the fatal reports; the message is built to run its formatting.
void countFatal(const EKError& error, void* fatalReports) {
  error.getMessage();
  *static_cast<int*>(fatalReports) += getErrorLevel(error.getErrorCode()) == EKERROR_LEVEL_FATAL;
}

// Whether the catalog loaded; the error otherwise must be one a catalog load may end with.
bool load(EKXmlCatalogs& catalogs, bool withCallback) {
  int fatalReports = 0;
  catalogs.setCallbackError(withCallback ? countFatal : nullptr, &fatalReports);
  try {
    catalogs.loadCatalog(EKUri(UnicodeString(u"" CATALOG_ADDRESS), EKUri::URISTR_URI));
  } catch (const EKError& error) {
    if (error.getErrorCode() == EKERR_NOT_A_CATALOG)
      return false;
    // With a callback exactly one fatal report precedes the unwinding.
    if (withCallback)
      check(error.getErrorCode() == EKERR_PARSER_FATAL && fatalReports == 1);
    else
      check(getErrorLevel(error.getErrorCode()) == EKERROR_LEVEL_FATAL);
    return false;
  }
  return true;
}

// A few fixed URIs and the first quoted values of the input, alone and extended, so that uri,
// rewriteURI and uriSuffix entries of the input get a chance to apply.
std::vector<UnicodeString> probes(const std::string& input) {
  std::vector<UnicodeString> out = {UnicodeString(), UnicodeString(u"http://example.org/a.xsd"),
                                    UnicodeString(u"urn:from-entity"), UnicodeString(u"logo.png")};
  size_t from = 0;
  for (int taken = 0; taken < 6; ++taken) {
    const size_t open = input.find_first_of("\"'", from);
    if (open == std::string::npos)
      break;
    const size_t close = input.find(input[open], open + 1);
    if (close == std::string::npos)
      break;
    const UnicodeString value = UnicodeString::fromUTF8(input.substr(open + 1, close - open - 1));
    out.push_back(value);
    out.push_back(UnicodeString(value).append(u"/more.xml"));
    out.push_back(UnicodeString(u"http://prefix.example/").append(value));
    from = close + 1;
  }
  return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ServeFromMemory resolver;
  static const bool installed = (EKUri::setUriReferenceResolver2(&resolver), true);
  check(installed);
  const std::string input(reinterpret_cast<const char*>(data), size);
  s_catalog = &input;

  EKPtr<EKXmlCatalogs> once = EKXmlUtil::createXmlCatalogs();
  EKPtr<EKXmlCatalogs> twice = EKXmlUtil::createXmlCatalogs();
  EKPtr<EKXmlCatalogs> withCallback = EKXmlUtil::createXmlCatalogs();
  const bool loaded = load(*once, false);
  check(load(*twice, false) == loaded);
  check(load(*twice, false) == loaded);
  // A callback turns some fatal errors (undefined entities) into warnings, never the reverse.
  const bool loadedWithCallback = load(*withCallback, true);
  check(loadedWithCallback || !loaded);
  s_catalog = nullptr;

  const EKXmlCatalogs identity;
  for (const UnicodeString& uri : probes(input)) {
    const UnicodeString resolved = once->resolveURI(uri);
    check(twice->resolveURI(uri) == resolved);
    if (loaded)
      check(withCallback->resolveURI(uri) == resolved);
    check(identity.resolveURI(uri) == uri);
    if (!loaded)
      check(resolved == uri);
    check(EKUri(uri, EKUri::URISTR_URI, once.get()) == EKUri(resolved, EKUri::URISTR_URI));
  }
  return 0;
}
