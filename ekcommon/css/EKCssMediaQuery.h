// One media query of an @media or @import rule: an optional "not", a media type ("all" when the
// query starts with a feature) and the feature expressions joined by "and", each a lower-cased
// feature name with its value kept as source text. The library decides only a query that is
// plain "all"; every other one goes to the host's media callback (EKCssMediaMatch).
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/names/EKName.h"

#include <utility>
#include <vector>

namespace EKCommonNS {

class EKCssMediaQueryList;

class EKCOMMON_API EKCssMediaQuery : public EKRCObject {
  EK_TYPE_IDENTITY(EKCssMediaQuery, EKRCObject)
public:
  // The media query list written in `text`, as after @media; the list ends early at a ';' or '{'.
  // Malformed queries are left out and their errors dropped.
  static EKPtr<EKCssMediaQueryList> createCssMediaQuery(const UnicodeString& text);

  using Feature = std::pair<EKName, UnicodeString>; // name, value text (empty when written alone)

  // True when the query's type is "all" or equals type.
  virtual bool matchesType(EKName type) const = 0;
  virtual bool isNegated() const = 0;
  // The lower-cased media type.
  virtual EKName getMediaType() const = 0;
  virtual const std::vector<Feature>& getFeatures() const = 0;
  // The query written back: "not print and (min-width: 10cm) and (color)".
  virtual UnicodeString toString() const = 0;

protected:
  EKCssMediaQuery() = default;
};

} // namespace EKCommonNS
