// A read-only list of declaration blocks handed out by a rules object (font faces, script fonts,
// counter styles), in cascade order. The entries point into that rules object and stay valid as
// long as it lives, even after the blocks were removed from it.
#pragma once

#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/css/EKCssDeclarations.h"

#include <vector>

namespace EKCommonNS {

class EKCOMMON_API EKCssDeclarationsList : public EKRCObject {
  EK_TYPE_IDENTITY(EKCssDeclarationsList, EKRCObject)
public:
  explicit EKCssDeclarationsList(std::vector<const EKCssDeclarations*> entries) : m_entries(std::move(entries)) {}

  // The block at pos; pos must lie in [0, size()).
  const EKCssDeclarations* at(int pos) const { return m_entries[static_cast<size_t>(pos)]; }
  int size() const { return static_cast<int>(m_entries.size()); }
  bool empty() const { return m_entries.empty(); }
  std::vector<const EKCssDeclarations*>::const_iterator begin() const { return m_entries.begin(); }
  std::vector<const EKCssDeclarations*>::const_iterator end() const { return m_entries.end(); }

private:
  std::vector<const EKCssDeclarations*> m_entries;
};

} // namespace EKCommonNS
