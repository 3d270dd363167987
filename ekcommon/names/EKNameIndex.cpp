#include "ekcommon/names/internal/EKNameIndex.h"

namespace EKCommonNS {

namespace {
constexpr uint32_t MIN_BITS = 4;
} // namespace

EKNameIndex::EKNameIndex(uint32_t capacity) {
  // Keep the load at or below one half.
  uint32_t bits = MIN_BITS;
  while ((1u << bits) < 2 * capacity)
    ++bits;
  m_slots.assign(size_t(1) << bits, Slot{0, EKN_EMPTY});
  m_mask = (1u << bits) - 1;
  m_shift = 32 - bits;
}

void EKNameIndex::insert(uint32_t hash, EKNameEnum number) {
  if (2 * (m_count + 1) > m_slots.size())
    grow();
  uint32_t i = slotOf(hash);
  while (m_slots[i].number != EKN_EMPTY)
    i = (i + 1) & m_mask;
  m_slots[i] = Slot{hash, number};
  ++m_count;
}

void EKNameIndex::grow() {
  std::vector<Slot> old;
  old.swap(m_slots);
  m_slots.assign(old.size() * 2, Slot{0, EKN_EMPTY});
  m_mask = static_cast<uint32_t>(m_slots.size() - 1);
  --m_shift;
  m_count = 0;
  for (const Slot& slot : old)
    if (slot.number != EKN_EMPTY)
      insert(slot.hash, slot.number);
}

} // namespace EKCommonNS
