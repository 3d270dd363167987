#include "ekcommon/xml/internal/EKXmlCatalogsImpl.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/names/EKNameTable.h"
#include "ekcommon/resources/EKUri.h"

namespace EKCommonNS {

namespace {

// Each entry kind with the attribute that holds its match string and the one that holds its URI.
// nextCatalog has no match string, so it never becomes an entry (and loads nothing).
struct EntryKind {
  EKNameEnum kind;
  EKNameEnum matchAttribute;
  EKNameEnum uriAttribute;
};

const EntryKind ENTRY_KINDS[] = {
    {EKN_uri, EKN_name, EKN_uri},
    {EKN_rewriteURI, EKN_uriStartString, EKN_rewritePrefix},
    {EKN_uriSuffix, EKN_uriSuffix, EKN_uri},
    {EKN_system, EKN_systemId, EKN_uri},
    {EKN_rewriteSystem, EKN_systemIdStartString, EKN_rewritePrefix},
    {EKN_systemSuffix, EKN_systemIdSuffix, EKN_uri},
    {EKN_public, EKN_publicId, EKN_uri},
    {EKN_delegatePublic, EKN_publicIdStartString, EKN_catalog},
    {EKN_delegateSystem, EKN_systemIdStartString, EKN_catalog},
    {EKN_delegateURI, EKN_uriStartString, EKN_catalog},
    {EKN_nextCatalog, EKN_EMPTY, EKN_catalog},
};

const EntryKind* findEntryKind(EKName name) {
  for (const EntryKind& kind : ENTRY_KINDS)
    if (name == kind.kind)
      return &kind;
  return nullptr;
}

// Nested xml:base values are resolved one against the other, so each open scope may hold a base
// longer than its parent's, and every entry's URI holds its base. Bounding the bases in force and
// the entries of one file keeps a hostile catalog from taking memory quadratic in its size; no
// real catalog comes near either bound.
constexpr int64_t MAX_HELD_BASE_CHARS = int64_t(1) << 20;
constexpr int64_t MAX_ENTRY_CHARS = int64_t(1) << 22;

// What the catalog elements that are open say about their content.
struct Scope {
  EKUri base;
  EKName prefer;        // "system" or "public": which identifier a public lookup would prefer
  int32_t ownBaseChars; // the length of the base when this element's xml:base set it, else 0
};

// Closes the parser's input however the reading ends.
struct StreamCloser {
  EKXmlParser& parser;
  ~StreamCloser() { parser.closeStream(); }
};

UnicodeString attribute(EKXmlParser& parser, EKNameEnum namespaceUri, EKNameEnum localName) {
  const UnicodeString value = parser.getAttributeValue(EKName(namespaceUri), EKName(localName));
  return value.isBogus() ? UnicodeString() : value;
}

} // namespace

EKXmlCatalogsImpl::EKXmlCatalogsImpl() : m_parser(EKXmlParser::createXmlParser()) {
  m_parser->setFeature(EKXmlParser::FEATURE_NO_EXTERNAL_DTD, true);
}

void EKXmlCatalogsImpl::setCallbackError(ErrorCallback callback, void* userData) {
  m_parser->setCallbackError(callback, userData);
}

void EKXmlCatalogsImpl::loadCatalog(const EKUri& uri) {
  EKUri input(uri);
  m_parser->setInput(input, UnicodeString(), UnicodeString());
  StreamCloser closer{*m_parser};
  EKXmlParser& parser = *m_parser;

  std::vector<Entry> read;
  std::vector<Scope> scopes;
  int64_t heldBaseChars = 0;
  int64_t entryChars = 0;
  bool rootSeen = false;
  int skipDepth = 0; // the depth of the foreign element being skipped, 0 when none
  // The base of the current element: its own xml:base resolved against the enclosing base.
  const auto elementBase = [&](const EKUri& enclosing) {
    const UnicodeString xmlBase = attribute(parser, EKN_http_www_w3_org_XML_1998_namespace, EKN_base);
    return xmlBase.isEmpty() ? enclosing : EKUri(enclosing, xmlBase, EKUri::URISTR_URI);
  };
  const auto pushScope = [&](const EKUri& enclosingBase, EKName enclosingPrefer) {
    // Only the two meaningful values are taken, so that a catalog interns no names of its own.
    const EKName prefer(EKNameTable::getBuiltinNameEnum(attribute(parser, EKN_EMPTY, EKN_prefer)));
    const bool preferValid = prefer == EKN_system || prefer == EKN_public;
    Scope scope{elementBase(enclosingBase), preferValid ? prefer : enclosingPrefer, 0};
    if (scope.base != enclosingBase) {
      scope.ownBaseChars = scope.base.toString().length();
      heldBaseChars += scope.ownBaseChars;
      if (heldBaseChars > MAX_HELD_BASE_CHARS)
        throwCommonError(EKERR_NOT_A_CATALOG, input.getLocalPath());
    }
    scopes.push_back(std::move(scope));
  };

  for (int event = parser.next(); event != EKXmlParser::END_DOCUMENT; event = parser.next()) {
    if (event == EKXmlParser::END_TAG) {
      if (skipDepth == parser.getDepth()) {
        skipDepth = 0;
      } else if (!skipDepth) {
        heldBaseChars -= scopes.back().ownBaseChars;
        scopes.pop_back();
      }
      continue;
    }
    if (event != EKXmlParser::START_TAG || skipDepth)
      continue;
    const bool inCatalogNamespace = parser.getNamespace() == EKN_urn_oasis_names_tc_entity_xmlns_xml_catalog;
    const EKName name = parser.getName();
    if (!rootSeen) {
      if (!inCatalogNamespace || name != EKN_catalog)
        throwCommonError(EKERR_NOT_A_CATALOG, input.getLocalPath());
      rootSeen = true;
      pushScope(input, EKName());
      continue;
    }
    const EntryKind* kind = inCatalogNamespace ? findEntryKind(name) : nullptr;
    if (!kind && !(inCatalogNamespace && name == EKN_group)) {
      skipDepth = parser.getDepth();
      continue;
    }
    const Scope& enclosing = scopes.back();
    pushScope(enclosing.base, enclosing.prefer);
    if (!kind || kind->matchAttribute == EKN_EMPTY)
      continue;
    UnicodeString match = attribute(parser, EKN_EMPTY, kind->matchAttribute);
    if (match.isEmpty())
      continue;
    const EKUri target(scopes.back().base, attribute(parser, EKN_EMPTY, kind->uriAttribute), EKUri::URISTR_URI);
    if (target.isEmpty())
      continue;
    entryChars += match.length() + target.toString().length();
    if (entryChars > MAX_ENTRY_CHARS)
      throwCommonError(EKERR_NOT_A_CATALOG, input.getLocalPath());
    read.push_back(Entry{kind->kind, std::move(match), target.toString()});
  }
  if (!rootSeen)
    throwCommonError(EKERR_NOT_A_CATALOG, input.getLocalPath());
  m_entries.insert(m_entries.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
}

UnicodeString EKXmlCatalogsImpl::resolveURI(const UnicodeString& uri) const {
  for (const Entry& entry : m_entries) {
    switch (static_cast<EKNameEnum>(entry.kind)) {
    case EKN_uri:
      if (uri == entry.match)
        return entry.uri;
      break;
    case EKN_rewriteURI:
      if (uri.startsWith(entry.match))
        return UnicodeString(entry.uri).append(uri, entry.match.length(), INT32_MAX);
      break;
    case EKN_uriSuffix:
      if (uri.endsWith(entry.match))
        return entry.uri;
      break;
    default:
      break;
    }
  }
  return uri;
}

} // namespace EKCommonNS
