// The prefix bindings declared by one element's start tag: prefix -> namespace URI, both
// interned names. The empty prefix stands for the default namespace and the empty URI for an
// undeclaration (xmlns=""). Keys are kept in the order of the names' numbers, so a prefix
// interned earlier sorts first whatever the order of the declarations.
#pragma once

#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/names/EKName.h"

#include <map>

namespace EKCommonNS {

class EKCOMMON_API EKNamespaceMap : public EKRCObject {
  EK_TYPE_IDENTITY(EKNamespaceMap, EKRCObject)
public:
  using Map = std::map<EKName, EKName>;

  EKNamespaceMap() = default;

  // Binds prefix to uri, replacing an earlier binding of the same prefix.
  void set(EKName prefix, EKName uri) { m_map[prefix] = uri; }
  // The URI bound to prefix; false when the prefix is not a key.
  bool find(EKName prefix, EKName& uri) const;
  bool contains(EKName prefix) const { return m_map.count(prefix) != 0; }
  int size() const { return static_cast<int>(m_map.size()); }
  // The binding at a position in key order; false when pos is out of range.
  bool at(int pos, EKName& prefix, EKName& uri) const;
  const Map& getMap() const { return m_map; }

private:
  Map m_map;
};

} // namespace EKCommonNS
