// The style rules bucketed by the rightmost compound of their selector: by its id, else its first
// class, else its type name, else in the universal bucket. An element then looks only at the
// buckets of its own id, classes and name, so applying a sheet costs in proportion to the rules
// that can match, not to the size of the sheet. Not installed.
#pragma once

#include "ekcommon/css/internal/EKCssRuleList.h"

#include <string_view>
#include <unordered_map>
#include <vector>

namespace EKCommonNS {

class EKElement;

class EKCOMMON_API EKCssRuleIndex {
public:
  // Buckets the rules of `list` by their rank in its cascade order; with lowerNames ids and
  // classes are bucketed by their lower-case forms (matching then ignores their case).
  void build(const EKCssRuleList& list, bool lowerNames);

  // The ranks, ascending, of the rules that may match `element`: those in the buckets of its
  // "id", of each word of its "class", of its local name (lower-cased) and the universal ones.
  void candidates(EKElement* element, std::vector<int32_t>& out) const;

private:
  using Buckets = std::unordered_map<std::u16string_view, std::vector<int32_t>>;
  static void add(const Buckets& buckets, std::u16string_view key, std::vector<int32_t>& out);

  bool m_lowerNames = false;
  // Keys are views of interned names, which live as long as the name table.
  Buckets m_ids;
  Buckets m_classes;
  Buckets m_types;
  std::vector<int32_t> m_universal;
};

} // namespace EKCommonNS
