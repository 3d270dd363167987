#include "ekcommon/xml/internal/EKXmlEntityTables.h"

#include "ekcommon/core/EKMutex.h"
#include "ekcommon/names/EKNameTable.h"
#include "ekcommon/xml/internal/EKXmlEntitySets.h"

namespace EKCommonNS {

void EKXmlEntityTables::checkNameTable() {
  EKNameTable* table = EKNameTable::getSharedNameTable();
  if (table == s_nameTable)
    return;
  // Entries built before stay allocated: a parser may still be copying from them.
  for (auto& set : s_sets)
    set.store(nullptr, std::memory_order_release);
  s_dtdCache.clear();
  s_nameTable = EKNameTable::addRefSharedNameTable();
}

const EKXmlEntityTables::Entries& EKXmlEntityTables::getSet(Set set) {
  const Entries* built = s_sets[set].load(std::memory_order_acquire);
  if (built && s_nameTableSeen.load(std::memory_order_acquire) == EKNameTable::getSharedNameTable())
    return *built;
  EKMutex guard(s_entityTableLock);
  checkNameTable();
  s_nameTableSeen.store(s_nameTable, std::memory_order_release);
  if (const Entries* entries = s_sets[set].load(std::memory_order_relaxed))
    return *entries;
  const EKXmlEntityTable& table = set == MATHML ? s_mathMLEntityTable : set == HTML4 ? s_html4EntityTable
                                                                                     : s_html5EntityTable;
  auto* entries = new Entries();
  entries->reserve(table.count);
  for (size_t i = 0; i < table.count; ++i) {
    const EKXmlEntityDef& def = table.entries[i];
    // '<' and '&' stay references, as in the predefined entities, so that they never start markup.
    UnicodeString text;
    if (def.first == '<' || def.first == '&')
      text = def.first == '<' ? UnicodeString(u"&#60;") : UnicodeString(u"&#38;");
    else
      text.append(static_cast<UChar32>(def.first));
    if (def.second)
      text.append(static_cast<UChar32>(def.second));
    entries->emplace(EKName(UnicodeString(def.name, -1, US_INV)), text);
  }
  // Published for the life of the process: parsers hold references to it without a lock.
  s_sets[set].store(entries, std::memory_order_release);
  return *entries;
}

std::shared_ptr<const EKXmlEntityMaps> EKXmlEntityTables::findDtd(const UnicodeString& uri) {
  EKMutex guard(s_entityTableLock);
  checkNameTable();
  const auto it = s_dtdCache.find(uri);
  return it == s_dtdCache.end() ? nullptr : it->second;
}

std::shared_ptr<const EKXmlEntityMaps> EKXmlEntityTables::addDtd(const UnicodeString& uri,
                                                                 std::shared_ptr<const EKXmlEntityMaps> maps) {
  EKMutex guard(s_entityTableLock);
  checkNameTable();
  return s_dtdCache.emplace(uri, std::move(maps)).first->second;
}

} // namespace EKCommonNS
