// The library's load-time state, defined in one translation unit so that it is built in this
// order and destroyed in the reverse order at unload. Nothing here depends on the host.
// Caches built later (counter styles, entity sets, DTDs) are created on first use under their locks.

#include "ekcommon/core/EKBogusString.h"
#include "ekcommon/core/EKEmptyString.h"
#include "ekcommon/core/EKMutex.h"
#include "ekcommon/names/EKNameTable.h"
#include "ekcommon/names/internal/EKBuiltinNames.h"
#include "ekcommon/resources/EKTempFile.h"
#include "ekcommon/resources/internal/EKFetchState.h"
#include "ekcommon/text/EKLang.h"
#include "ekcommon/text/EKUtil.h"
#include "ekcommon/xml/internal/EKXmlEntityTables.h"

namespace EKCommonNS {

// The language tables: the aliases applied before ICU reads a tag, then the cache of
// three-letter codes and its lock.
const EKLang::AliasMap EKLang::s_languageAliases = EKLang::buildLanguageAliases();
std::unordered_map<std::string, std::string> EKLang::s_iso3Cache;
EKLock EKLang::s_iso3CacheLock;

// The library-wide lock.
EKLock EKMutex::s_libraryLock;

// The built-in name strings, aliasing the literals of the generated table without copying them.
#define EKCOMMON_BUILTIN_NAME(literal) UnicodeString(true, literal, -1),
const UnicodeString s_builtinNameStrings[EKN_BUILTIN_LAST + 1] = {
    UnicodeString(),
#include "ekcommon/names/BuiltinNames.inc"
};
#undef EKCOMMON_BUILTIN_NAME

// The empty string-to-name map, then the name-table lock and the shared table pointer.
EKNameIndex s_builtinStrNameMap(EKN_BUILTIN_LAST);
EKLock EKNameTable::s_sharedNameTableLock;
std::atomic<EKNameTable*> EKNameTable::s_sharedNameTable{nullptr};

namespace {
// Every built-in string with its number (the empty string is number 0 and needs no entry).
bool fillBuiltinStrNameMap() {
  for (int32_t number = 1; number <= EKN_BUILTIN_LAST; ++number)
    s_builtinStrNameMap.insert(EKNameIndex::hashOf(s_builtinNameStrings[number]),
                               static_cast<EKNameEnum>(number));
  return true;
}
const bool s_builtinStrNameMapFilled = fillBuiltinStrNameMap();
} // namespace

// The bogus string, then the empty string.
const EKBogusString EKBogusString::BOGUS_VALUE;
const EKEmptyString EKEmptyString::EMPTY_VALUE;

// The temporary-file lock and the temporary directory it guards (computed on first use).
EKLock EKTempFile::s_tempFileLock;
UnicodeString EKTempFile::s_tempDirectory;

// The settings of fetching, the redirection lock and the redirection map.
std::atomic<EKUriReferenceResolver2*> EKFetchState::s_resolver2{nullptr};
std::atomic<int> EKFetchState::s_connectTimeout{EKFetchState::NOT_SET};
std::atomic<int> EKFetchState::s_connectRetries{EKFetchState::NOT_SET};
std::atomic<int> EKFetchState::s_connectBackoff{EKFetchState::NOT_SET};
UnicodeString EKFetchState::s_userAgent;
EKLock EKFetchState::s_redirectionLock;
std::unordered_map<UnicodeString, UnicodeString, EKString_hash> EKFetchState::s_redirections(8);

// The encoding cache: alias keys to canonical encoding names.
EKUtil::EncodingAliasMap EKUtil::s_encodingAliasMap = buildEncodingAliasMap();

// The entity-table lock, with the built-in entity sets and the external-DTD cache it guards (both
// filled on first use).
EKLock EKXmlEntityTables::s_entityTableLock;
std::atomic<const EKXmlEntityTables::Entries*> EKXmlEntityTables::s_sets[3] = {};
EKNameTable* EKXmlEntityTables::s_nameTable = nullptr;
std::atomic<EKNameTable*> EKXmlEntityTables::s_nameTableSeen{nullptr};
std::unordered_map<UnicodeString, std::shared_ptr<const EKXmlEntityMaps>, EKString_hash>
    EKXmlEntityTables::s_dtdCache;

} // namespace EKCommonNS
