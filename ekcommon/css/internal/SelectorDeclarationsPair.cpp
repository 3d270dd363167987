#include "ekcommon/css/internal/SelectorDeclarationsPair.h"

namespace EKCommonNS {

void SelectorDeclarationsPair::shiftPageSourceIds(int32_t offset) {
  if (!m_pageBlocks)
    return;
  for (auto& entry : *m_pageBlocks) {
    for (EKCssDeclarations& block : entry.second) {
      if (block.getSourceId() >= 0)
        block.setSourceId(block.getSourceId() + offset);
    }
  }
}

} // namespace EKCommonNS
