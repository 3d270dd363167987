#include "ekcommon/values/EKNamedValueMap.h"

namespace EKCommonNS {

namespace {

// Below this many items a scan of the name vector beats hashing.
constexpr size_t INDEX_THRESHOLD = 12;

} // namespace

EKNamedValueMap::~EKNamedValueMap() = default;

int EKNamedValueMap::find(EKName name) const {
  if (m_index) {
    const auto found = m_index->find(name);
    return found == m_index->end() ? -1 : found->second;
  }
  for (size_t i = 0; i < m_names.size(); ++i)
    if (m_names[i] == name)
      return static_cast<int>(i);
  return -1;
}

void EKNamedValueMap::rebuildIndex() {
  if (m_names.size() < INDEX_THRESHOLD) {
    m_index.reset();
    return;
  }
  if (!m_index)
    m_index.reset(new std::unordered_map<EKNameEnum, int>());
  m_index->clear();
  for (size_t i = 0; i < m_names.size(); ++i)
    m_index->emplace(m_names[i], static_cast<int>(i));
}

void EKNamedValueMap::setNamedItem(EKName name, const EKValue& value) {
  const int at = find(name);
  if (at >= 0) {
    m_items[static_cast<size_t>(at)] = EKNamedValue(value, name);
    return;
  }
  m_items.emplace_back(value, name);
  m_names.push_back(name);
  if (m_index)
    m_index->emplace(name, static_cast<int>(m_names.size() - 1));
  else if (m_names.size() >= INDEX_THRESHOLD)
    rebuildIndex();
}

EKNamedValue EKNamedValueMap::getNamedItem(EKName name) const {
  const int at = find(name);
  return at >= 0 ? m_items[static_cast<size_t>(at)] : EKNamedValue(EKValue(), name);
}

bool EKNamedValueMap::getNamedItemFast(EKName name, EKValue& out) const {
  if (m_items.empty())
    return false;
  const int at = find(name);
  if (at < 0)
    return false;
  out = m_items[static_cast<size_t>(at)].getValue();
  return true;
}

bool EKNamedValueMap::removeNamedItem(EKName name) {
  const int at = find(name);
  if (at < 0)
    return false;
  // Taken out first: destroying the item may release containers that refer back to this map.
  EKNamedValue removed = std::move(m_items[static_cast<size_t>(at)]);
  m_items.erase(m_items.begin() + at);
  m_names.erase(m_names.begin() + at);
  rebuildIndex();
  return true;
}

bool EKNamedValueMap::removeNamedItem(EKName name, const EKValue& value) {
  const int at = find(name);
  return at >= 0 && m_items[static_cast<size_t>(at)] == value && removeNamedItem(name);
}

EKPtr<EKNamedValueMap> EKNamedValueMap::clone() const {
  EKPtr<EKNamedValueMap> copy(new EKNamedValueMap());
  copy->m_items.reserve(m_items.size());
  for (size_t i = 0; i < m_items.size(); ++i)
    copy->m_items.emplace_back(m_items[i].clone(), m_names[i]);
  copy->m_names = m_names;
  copy->rebuildIndex();
  return copy;
}

} // namespace EKCommonNS
