// A non-owning view of a constant array of names, such as the fixed keyword lists that property
// definitions point at.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/names/EKName.h"

namespace EKCommonNS {

class EKCOMMON_API EKNameList {
public:
  EKNameList() = default;
  // A view of the names up to (not including) the terminating empty name; null gives 0 names.
  explicit EKNameList(const EKNameEnum* terminated);
  // A view of count names; a null pointer gives 0 names.
  EKNameList(const EKNameEnum* names, int count) : m_names(names), m_count(names ? count : 0) {}

  int getCount() const { return m_count; }
  // Entry i, or the empty name when i is out of range.
  EKName getItem(int i) const { return i >= 0 && i < m_count ? EKName(m_names[i]) : EKName(); }
  bool hasItem(EKName name) const { return indexOf(name) >= 0; }
  // First index of the name, or -1.
  int indexOf(EKName name) const;

protected:
  const EKNameEnum* m_names = nullptr;
  int m_count = 0;
};

} // namespace EKCommonNS
