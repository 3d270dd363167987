// The namespace scopes of a parse, one per open element, each holding the element's own name
// and the bindings its start tag declared. A parser uses it as its stack of open elements and
// answers every namespace and element-name question from it. The base scope binds "xml" and
// "xmlns" to their namespaces and is never removed.
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/xml/EKNamespaceMap.h"

#include <unordered_map>
#include <vector>

namespace EKCommonNS {

class EKNameTable;

class EKCOMMON_API EKNamespaceManager : public EKRCObject {
  EK_TYPE_IDENTITY(EKNamespaceManager, EKRCObject)
public:
  EKNamespaceManager();
  ~EKNamespaceManager() override;
  EKNamespaceManager(const EKNamespaceManager&) = delete;
  EKNamespaceManager& operator=(const EKNamespaceManager&) = delete;

  // Opens an empty scope (for a start tag, before its attributes are looked at).
  void pushScope();
  // Closes the innermost scope; false (and nothing changes) when only the base scope is left.
  bool popScope();
  // Drops every scope but the base one.
  void reset();

  // Binds prefix to uri in the innermost scope, unless prefix already resolves to uri.
  void declare(EKName prefix, EKName uri);
  // The URI bound to prefix in scope, innermost first; the empty name when it is unbound. For the
  // empty prefix an undeclaration (xmlns="") hides outer defaults.
  EKName resolve(EKName prefix) const;
  // Whether some open element has this prefix and local name.
  bool isOpen(EKName prefix, EKName localName) const;

  // Open elements: 0 outside the root element.
  int getDepth() const { return static_cast<int>(m_scopes.size()) - 1; }
  // The number of bindings declared by the scope at depth (not cumulative); 0 out of range.
  int getNamespaceCount(int depth) const;
  // The binding at pos of the innermost scope, in key order; the empty name out of range.
  EKName getNamespacePrefix(int pos) const;
  EKName getNamespaceUri(int pos) const;

  // The innermost element's name, as the parser recorded it.
  void setElement(EKName prefix, EKName localName) {
    m_scopes.back().prefix = prefix;
    m_scopes.back().localName = localName;
  }
  void setElementNamespace(EKName uri);
  EKName getPrefix() const { return m_scopes.back().prefix; }
  EKName getName() const { return m_scopes.back().localName; }
  EKName getNamespace() const { return m_scopes.back().uri; }
  // The innermost scope's own bindings; null when it declares nothing.
  const EKNamespaceMap* getScopeMap() const { return m_scopes.back().map.get(); }

private:
  struct Scope {
    EKPtr<EKNamespaceMap> map;
    EKName prefix;
    EKName localName;
    EKName uri;
    // Prefixes this scope pushed onto m_bound, to be popped with it.
    std::vector<EKName> bound;
  };
  void bind(EKName prefix, EKName uri);

  std::vector<Scope> m_scopes;
  // What each prefix resolves to, innermost last: the bindings of every open scope and the
  // namespaces elements recorded, so that resolving costs the same at any depth.
  std::unordered_map<EKName, std::vector<EKName>> m_bound;
  EKNameTable* m_nameTable;
};

} // namespace EKCommonNS
