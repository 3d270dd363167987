#include "ekcommon/xml/EKNamespaceManager.h"

#include "ekcommon/names/EKNameTable.h"

namespace EKCommonNS {

EKNamespaceManager::EKNamespaceManager() : m_nameTable(EKNameTable::addRefSharedNameTable()) {
  m_scopes.reserve(32);
  m_scopes.emplace_back();
  m_scopes.back().map = new EKNamespaceMap();
  m_scopes.back().map->set(EKN_xml, EKN_http_www_w3_org_XML_1998_namespace);
  m_scopes.back().map->set(EKN_xmlns, EKN_http_www_w3_org_2000_xmlns);
  bind(EKN_xml, EKN_http_www_w3_org_XML_1998_namespace);
  bind(EKN_xmlns, EKN_http_www_w3_org_2000_xmlns);
}

void EKNamespaceManager::bind(EKName prefix, EKName uri) {
  m_bound[prefix].push_back(uri);
  m_scopes.back().bound.push_back(prefix);
}

EKNamespaceManager::~EKNamespaceManager() {
  m_scopes.clear();
  EKNameTable::releaseSharedNameTable();
}

void EKNamespaceManager::pushScope() { m_scopes.emplace_back(); }

bool EKNamespaceManager::popScope() {
  if (m_scopes.size() <= 1)
    return false;
  for (EKName prefix : m_scopes.back().bound)
    m_bound[prefix].pop_back();
  m_scopes.pop_back();
  return true;
}

void EKNamespaceManager::reset() {
  while (popScope()) {
  }
}

void EKNamespaceManager::declare(EKName prefix, EKName uri) {
  const auto it = m_bound.find(prefix);
  if (it != m_bound.end() && !it->second.empty() && it->second.back() == uri)
    return;
  Scope& scope = m_scopes.back();
  if (!scope.map)
    scope.map = new EKNamespaceMap();
  scope.map->set(prefix, uri);
  bind(prefix, uri);
}

void EKNamespaceManager::setElementNamespace(EKName uri) {
  Scope& scope = m_scopes.back();
  scope.uri = uri;
  // A recorded namespace answers for the element's prefix before the scope's own bindings.
  if (!uri.isEmpty())
    bind(scope.prefix, uri);
}

EKName EKNamespaceManager::resolve(EKName prefix) const {
  const auto it = m_bound.find(prefix);
  return it == m_bound.end() || it->second.empty() ? EKName() : it->second.back();
}

bool EKNamespaceManager::isOpen(EKName prefix, EKName localName) const {
  for (size_t i = 1; i < m_scopes.size(); ++i)
    if (m_scopes[i].prefix == prefix && m_scopes[i].localName == localName)
      return true;
  return false;
}

int EKNamespaceManager::getNamespaceCount(int depth) const {
  if (depth < 0 || depth >= static_cast<int>(m_scopes.size()))
    return 0;
  const EKNamespaceMap* map = m_scopes[static_cast<size_t>(depth)].map.get();
  return map ? map->size() : 0;
}

EKName EKNamespaceManager::getNamespacePrefix(int pos) const {
  EKName prefix, uri;
  const EKNamespaceMap* map = getScopeMap();
  return map && map->at(pos, prefix, uri) ? prefix : EKName();
}

EKName EKNamespaceManager::getNamespaceUri(int pos) const {
  EKName prefix, uri;
  const EKNamespaceMap* map = getScopeMap();
  return map && map->at(pos, prefix, uri) ? uri : EKName();
}

} // namespace EKCommonNS
