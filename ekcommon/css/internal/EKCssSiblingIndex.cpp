#include "ekcommon/css/internal/EKCssSiblingIndex.h"

#include "ekcommon/dom/EKDocument.h"
#include "ekcommon/dom/EKElement.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

namespace EKCommonNS {

namespace {

constexpr size_t CACHED_PARENTS = 16;
// Lookups under one structure version before the positions are worked out: a host that changes
// the tree between elements (appending children and styling each as it comes) would otherwise
// pay for a full list at every element, where counting siblings costs less.
constexpr uint32_t LOOKUPS_BEFORE_FILL = 3;

// The positions of one parent's element children, sorted by node address for lookup.
struct Entry {
  const EKNode* parent = nullptr;
  // The version the positions were worked out under; 0 when there are none.
  uint64_t version = 0;
  // The version lookups are being counted under, and how many there were.
  uint64_t pendingVersion = 0;
  uint32_t pendingLookups = 0;
  uint64_t lastUse = 0;
  std::vector<std::pair<const EKNode*, EKCssSiblingIndex::Position>> positions;
};

struct Cache {
  Entry entries[CACHED_PARENTS];
  uint64_t clock = 0;
};

thread_local Cache t_cache;

uint64_t typeKey(const EKNode* node) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(static_cast<EKNameEnum>(node->getNamespaceUri()))) << 32) |
         static_cast<uint32_t>(static_cast<EKNameEnum>(node->getLocalName()));
}

void fill(Entry& entry, const EKNode* parent) {
  entry.positions.clear();
  std::unordered_map<uint64_t, int32_t> typeCounts;
  int32_t count = 0;
  for (const EKNode* child = parent->getFirstChildFast(); child; child = child->getNextSiblingFast()) {
    if (child->getNodeType() != ELEMENT_NODE)
      continue;
    const int32_t typeIndex = ++typeCounts[typeKey(child)];
    entry.positions.push_back({child, EKCssSiblingIndex::Position{++count, 0, typeIndex, 0}});
  }
  for (auto& item : entry.positions) {
    item.second.count = count;
    item.second.typeCount = typeCounts[typeKey(item.first)];
  }
  std::sort(entry.positions.begin(), entry.positions.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  // A short list after a long one should not keep the long one's allocation.
  if (entry.positions.capacity() > 4 * entry.positions.size() + 64)
    entry.positions.shrink_to_fit();
}

} // namespace

bool EKCssSiblingIndex::lookup(const EKElement* element, Position& out) {
  const EKNode* parent = element->getParentNode();
  const EKDocument* document = element->getOwnerDocument();
  if (!parent || !document || parent->isLoading())
    return false;
  const uint64_t version = document->getStructureVersion();
  Cache& cache = t_cache;
  Entry* entry = nullptr;
  for (Entry& candidate : cache.entries) {
    if (candidate.parent == parent) {
      entry = &candidate;
      break;
    }
  }
  if (!entry) {
    entry = &*std::min_element(std::begin(cache.entries), std::end(cache.entries),
                               [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
    entry->parent = parent;
    entry->version = 0;
    entry->pendingVersion = 0;
  }
  entry->lastUse = ++cache.clock;
  if (entry->version != version) {
    if (entry->pendingVersion != version) {
      entry->pendingVersion = version;
      entry->pendingLookups = 0;
    }
    if (++entry->pendingLookups < LOOKUPS_BEFORE_FILL)
      return false;
    entry->version = version;
    fill(*entry, parent);
  }
  const auto it = std::lower_bound(entry->positions.begin(), entry->positions.end(), element,
                                   [](const auto& item, const EKNode* node) { return item.first < node; });
  if (it == entry->positions.end() || it->first != element)
    return false;
  out = it->second;
  return true;
}

} // namespace EKCommonNS
