// EKNamedNodeMap: the attributes of an element, in the order in which they were first set,
// with access by position, qualified name, or namespace and local name.
#pragma once

#include "ekcommon/dom/EKNodeIterable.h"

#include <vector>

namespace EKCommonNS {

class EKAttr;

class EKCOMMON_API EKNamedNodeMap : public EKNodeIterable {
  EK_TYPE_IDENTITY(EKNamedNodeMap, EKNodeIterable)

public:
  virtual int getLength() const = 0;
  // In insertion order; null when out of range.
  virtual EKAttr* item(int index) const = 0;
  virtual EKAttr* getNamedItem(EKName qname) const = 0;
  virtual EKAttr* getNamedItemNS(EKName namespaceUri, EKName localName) const = 0;
  // Appends every attribute with that local name, in any namespace.
  virtual void getNamedItemsLocal(EKName localName, std::vector<EKPtr<EKAttr>>* out) const = 0;
  // The removed attribute, or null when there is none.
  virtual EKPtr<EKAttr> removeNamedItem(EKName qname) = 0;
  virtual EKPtr<EKAttr> removeNamedItemNS(EKName namespaceUri, EKName localName) = 0;
  // Adds an attribute that belongs to no element as the last one; an attribute with the same
  // namespace and local name is taken out and returned. Null (and nothing added) for an
  // attribute that belongs to an element.
  virtual EKPtr<EKAttr> setNamedItem(EKAttr* attr) = 0;
};

} // namespace EKCommonNS
