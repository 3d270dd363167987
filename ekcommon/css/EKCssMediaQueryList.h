// The media query list of an @media or @import rule, and whether it applies: an empty list always
// does; otherwise the first query that matches decides. A query that is plain "all" matches
// without asking; any other is put to the host's callback (false without one), and a negated
// query inverts the answer.
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/css/EKCssMediaQuery.h"

#include <vector>

namespace EKCommonNS {

// Decides whether a media query of a style sheet applies; gets the user data given with it.
using EKCssMediaMatch = bool (*)(const EKCssMediaQuery* query, void* userData);

class EKCOMMON_API EKCssMediaQueryList : public EKRCObject {
  EK_TYPE_IDENTITY(EKCssMediaQueryList, EKRCObject)
public:
  using Queries = std::vector<EKPtr<EKCssMediaQuery>>;

  EKCssMediaQueryList() = default;
  // Copies the references to the queries.
  EKCssMediaQueryList(const EKCssMediaQueryList& other) : EKRCObject(), m_queries(other.m_queries) {}

  void append(EKPtr<EKCssMediaQuery> query) { m_queries.push_back(std::move(query)); }
  const EKCssMediaQuery* at(int pos) const { return m_queries[static_cast<size_t>(pos)].get(); }
  int size() const { return static_cast<int>(m_queries.size()); }
  bool empty() const { return m_queries.empty(); }
  Queries::const_iterator begin() const { return m_queries.begin(); }
  Queries::const_iterator end() const { return m_queries.end(); }

  // Whether the list applies, asking `match` (may be null) about every query it cannot decide.
  bool matches(EKCssMediaMatch match, void* userData) const;
  // The queries written back, separated by ", ".
  UnicodeString toString() const;

private:
  Queries m_queries;
};

} // namespace EKCommonNS
