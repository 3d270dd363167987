// An owning list of a fixed number of names, filled with setItem and read like an EKNameList.
#pragma once

#include "ekcommon/names/EKNameList.h"

#include <memory>

namespace EKCommonNS {

class EKCOMMON_API EKNameListInstance : public EKNameList {
public:
  // Room for count names, all empty until set.
  explicit EKNameListInstance(int count);
  EKNameListInstance(const EKNameListInstance&) = delete;
  EKNameListInstance& operator=(const EKNameListInstance&) = delete;

  // Stores the name at index (0 .. count - 1); other indexes are ignored.
  void setItem(EKName name, int index);

private:
  std::unique_ptr<EKNameEnum[]> m_storage;
};

} // namespace EKCommonNS
