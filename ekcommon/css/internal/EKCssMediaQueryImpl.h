// The media query the CSS parser builds: fields set while the query is read.
#pragma once

#include "ekcommon/css/EKCssMediaQuery.h"

namespace EKCommonNS {

class EKCOMMON_API EKCssMediaQueryImpl : public EKCssMediaQuery {
  EK_TYPE_IDENTITY(EKCssMediaQueryImpl, EKCssMediaQuery)
public:
  EKCssMediaQueryImpl();

  bool matchesType(EKName type) const override;
  bool isNegated() const override { return m_negated; }
  EKName getMediaType() const override { return m_mediaType; }
  const std::vector<Feature>& getFeatures() const override { return m_features; }
  UnicodeString toString() const override;

  void setNegated(bool negated) { m_negated = negated; }
  void setMediaType(EKName type) { m_mediaType = type; }
  void addFeature(EKName name, const UnicodeString& value) { m_features.emplace_back(name, value); }

private:
  bool m_negated = false;
  EKName m_mediaType;
  std::vector<Feature> m_features;
};

} // namespace EKCommonNS
