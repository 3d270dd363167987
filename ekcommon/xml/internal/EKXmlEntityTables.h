// What all parsers share about entities: the built-in sets as interned names with their
// replacement texts, built once on first use, and the external-DTD cache (the entities each
// external DTD declared, by the DTD's absolute URI). Both are guarded by the entity-table lock.
#pragma once

#include "ekcommon/core/EKLock.h"
#include "ekcommon/core/EKString_hash.h"
#include "ekcommon/xml/internal/EKXmlEntityMaps.h"

#include <atomic>
#include <memory>
#include <unordered_map>

namespace EKCommonNS {

class EKNameTable;

class EKXmlEntityTables {
public:
  enum Set { MATHML = 0, HTML4 = 1, HTML5 = 2 };
  // A set's replacement texts by entity name.
  using Entries = std::unordered_map<EKName, UnicodeString>;

  static const Entries& getSet(Set set);
  // The replacement text of a name in a set; null when the set lacks it.
  static const UnicodeString* find(Set set, EKName name) {
    const Entries& entries = getSet(set);
    const auto it = entries.find(name);
    return it == entries.end() ? nullptr : &it->second;
  }
  // The cached declarations of a DTD; null when it has not been read.
  static std::shared_ptr<const EKXmlEntityMaps> findDtd(const UnicodeString& uri);
  // Stores what a DTD declared unless another thread stored it first; returns what is cached.
  static std::shared_ptr<const EKXmlEntityMaps> addDtd(const UnicodeString& uri,
                                                       std::shared_ptr<const EKXmlEntityMaps> maps);

  static EKLock s_entityTableLock;
  // The name table whose numbers the sets and the cache hold; they keep a reference on it, and are
  // built again when the host has dropped it (EKNameTable::cleanup) and a new one is in use.
  static EKNameTable* s_nameTable;
  static std::atomic<EKNameTable*> s_nameTableSeen;
  static std::atomic<const Entries*> s_sets[3];
  static std::unordered_map<UnicodeString, std::shared_ptr<const EKXmlEntityMaps>, EKString_hash> s_dtdCache;

private:
  // Under the lock: forgets what was built on another name table.
  static void checkNameTable();
};

} // namespace EKCommonNS
