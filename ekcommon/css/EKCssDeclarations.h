// The declarations of one rule set or at-rule block, with the id of the sheet they come from in
// the rules' source table. Copies are deep: each copy owns its own declarations.
#pragma once

#include "ekcommon/css/EKCssDeclaration.h"

#include <atomic>
#include <memory>
#include <vector>

namespace EKCommonNS {

class EKCssRules;

class EKCOMMON_API EKCssDeclarations {
public:
  // An empty list from no known sheet (source id -1).
  EKCssDeclarations() = default;
  explicit EKCssDeclarations(int32_t sourceId) : m_sourceId(sourceId) {}
  EKCssDeclarations(const EKCssDeclarations& other);
  EKCssDeclarations& operator=(const EKCssDeclarations& other);
  EKCssDeclarations(EKCssDeclarations&& other) noexcept;
  EKCssDeclarations& operator=(EKCssDeclarations&& other) noexcept;
  ~EKCssDeclarations();

  // The declaration at pos; pos must lie in [0, size()).
  const EKCssDeclaration& at(int pos) const { return (*m_list)[static_cast<size_t>(pos)]; }
  int size() const { return m_list ? static_cast<int>(m_list->size()) : 0; }
  bool empty() const { return size() == 0; }
  // Null for both ends while the list is empty.
  const EKCssDeclaration* begin() const { return m_list ? m_list->data() : nullptr; }
  const EKCssDeclaration* end() const { return m_list ? m_list->data() + m_list->size() : nullptr; }

  void append(const EKCssDeclaration& declaration);
  void append(EKCssDeclaration&& declaration);
  // A copy holding only the declarations whose importance is `important`, in their order.
  EKCssDeclarations filtered(bool important) const;
  // True when some declaration is important and some is not.
  bool hasMixedImportance() const;

  int32_t getSourceId() const { return m_sourceId; }
  void setSourceId(int32_t sourceId) { m_sourceId = sourceId; }
  // The base and input URI strings of this list's source record in rules, which must be an
  // EKCssRulesImpl; empty when rules is not one or has no such record.
  UnicodeString getBaseUri(const EKCssRules* rules) const;
  UnicodeString getInputUri(const EKCssRules* rules) const;

  // The first error met while applying these declarations; 0 for none.
  void setErrorCode(uint16_t code) const { m_errorCode.store(code, std::memory_order_relaxed); }
  uint16_t getErrorCode() const { return m_errorCode.load(std::memory_order_relaxed); }

private:
  std::unique_ptr<std::vector<EKCssDeclaration>> m_list;
  int32_t m_sourceId = -1;
  mutable std::atomic<uint16_t> m_errorCode{0};
};

} // namespace EKCommonNS
