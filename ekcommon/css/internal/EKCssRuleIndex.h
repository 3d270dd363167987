// The style rules bucketed by the rightmost compound of their selector: by its id, else its first
// class, else its type name, else in the universal bucket. An element then looks only at the
// buckets of its own id, classes and name, so applying a sheet costs in proportion to the rules
// that can match, not to the size of the sheet. Each rule also carries the names its element's
// ancestors must have, for the ancestor filter, and slots for the prepared forms of its
// declarations. Not installed.
#pragma once

#include "ekcommon/css/internal/EKCssAncestorFilter.h"
#include "ekcommon/css/internal/EKCssDeclarationApplier.h"
#include "ekcommon/css/internal/EKCssRuleList.h"

#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace EKCommonNS {

class EKElement;

class EKCOMMON_API EKCssRuleIndex {
public:
  // What the cascade needs of one rule, by its rank in cascade order.
  struct Entry {
    const SelectorDeclarationsPair* pair;
    // The prepared forms of the rule's declarations start here in the index's slots.
    size_t firstSlot;
  };
  // One rule in a bucket, with what the ancestor filter needs, so that a bucket is scanned
  // without visiting the rules the filter turns away.
  struct Candidate {
    int32_t rank;
    int32_t ancestorHashCount;
    uint32_t ancestorHashes[EKCssAncestorFilter::MAX_SELECTOR_HASHES];
  };
  using Bucket = std::vector<Candidate>;

  EKCssRuleIndex() = default;
  ~EKCssRuleIndex();
  EKCssRuleIndex(const EKCssRuleIndex&) = delete;
  EKCssRuleIndex& operator=(const EKCssRuleIndex&) = delete;

  // Buckets the rules of `list` by their rank in its cascade order; with lowerNames ids and
  // classes are bucketed by their lower-case forms (matching then ignores their case).
  void build(const EKCssRuleList& list, bool lowerNames);

  // The buckets of the rules that may match `element`: those of its "id", of each word of its
  // "class", of its local name (lower-cased) and the universal one. Each rule is in one bucket
  // only; the ranks are not in order.
  void candidates(EKElement* element, std::vector<const Bucket*>& out) const;
  const Entry& entry(int32_t rank) const { return m_entries[static_cast<size_t>(rank)]; }
  // The slot for the prepared form of the rule's i-th declaration; threads share it.
  EKCssDeclarationApplier::PreparedSlot* slot(const Entry& entry, size_t i) const {
    return &m_slots[entry.firstSlot + i];
  }

private:
  using Buckets = std::unordered_map<std::u16string_view, Bucket>;
  static void add(const Buckets& buckets, std::u16string_view key, std::vector<const Bucket*>& out);
  void clearSlots();

  bool m_lowerNames = false;
  std::vector<Entry> m_entries;
  // Keys are views of interned names, which live as long as the name table.
  Buckets m_ids;
  Buckets m_classes;
  Buckets m_types;
  Bucket m_universal;
  std::unique_ptr<EKCssDeclarationApplier::PreparedSlot[]> m_slots;
  size_t m_slotCount = 0;
};

} // namespace EKCommonNS
