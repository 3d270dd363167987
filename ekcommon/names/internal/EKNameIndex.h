// Open-addressing index from string hashes to name numbers. It stores only (hash, number) pairs;
// the owner resolves a candidate number to its string for the final comparison, so a lookup
// hashes the string once and touches one small array.
#pragma once

#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/names/EKNameEnum.h"

#include <cstdint>
#include <vector>

namespace EKCommonNS {

class EKNameIndex {
public:
  // Room for at least `capacity` names before the first growth.
  explicit EKNameIndex(uint32_t capacity);

  static uint32_t hashOf(const UnicodeString& s) { return static_cast<uint32_t>(s.hashCode()); }

  // The number of `s` (whose hash is `hash`), or EKN_EMPTY; stringOf(number) gives the string
  // stored under a number.
  template <class StringOf>
  EKNameEnum find(const UnicodeString& s, uint32_t hash, const StringOf& stringOf) const {
    for (uint32_t i = slotOf(hash);; i = (i + 1) & m_mask) {
      const Slot& slot = m_slots[i];
      if (slot.number == EKN_EMPTY)
        return EKN_EMPTY;
      if (slot.hash == hash && stringOf(slot.number) == s)
        return slot.number;
    }
  }

  // Adds a number that is not in the index yet.
  void insert(uint32_t hash, EKNameEnum number);

private:
  struct Slot {
    uint32_t hash;
    EKNameEnum number; // EKN_EMPTY marks a free slot
  };

  // Fibonacci hashing spreads the string hash over the table's bits.
  uint32_t slotOf(uint32_t hash) const { return (hash * 2654435769u) >> m_shift; }
  void grow();

  std::vector<Slot> m_slots;
  uint32_t m_mask = 0;
  uint32_t m_shift = 0;
  uint32_t m_count = 0;
};

} // namespace EKCommonNS
