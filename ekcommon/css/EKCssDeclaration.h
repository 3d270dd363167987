// One "property: value [!important]" of a style rule or an at-rule block, as the style-sheet parser
// stored it: the value stays source text until rules are applied. Two flags may be set through a
// const reference while rules are applied, so that a failed declaration is reported only once.
#pragma once

#include "ekcommon/names/EKName.h"

#include <unicode/unistr.h>

#include <atomic>
#include <cstdint>

namespace EKCommonNS {

class EKCOMMON_API EKCssDeclaration {
public:
  // Property 0, empty value text, no recorded offset, all flags clear.
  EKCssDeclaration() = default;
  EKCssDeclaration(EKName property, const UnicodeString& valueText, bool important = false,
                   int32_t sourceOffset = -1)
      : m_property(property), m_valueText(valueText), m_sourceOffset(sourceOffset), m_important(important) {}
  EKCssDeclaration(const EKCssDeclaration& other)
      : m_property(other.m_property), m_valueText(other.m_valueText), m_sourceOffset(other.m_sourceOffset),
        m_important(other.m_important), m_declError(other.hasDeclError()), m_checkedColor(other.checkedColor()) {}
  EKCssDeclaration(EKCssDeclaration&& other) noexcept
      : m_property(other.m_property), m_valueText(std::move(other.m_valueText)), m_sourceOffset(other.m_sourceOffset),
        m_important(other.m_important), m_declError(other.hasDeclError()), m_checkedColor(other.checkedColor()) {}
  EKCssDeclaration& operator=(const EKCssDeclaration& other) {
    if (this != &other) {
      m_property = other.m_property;
      m_valueText = other.m_valueText;
      m_sourceOffset = other.m_sourceOffset;
      m_important = other.m_important;
      m_declError.store(other.hasDeclError(), std::memory_order_relaxed);
      m_checkedColor.store(other.checkedColor(), std::memory_order_relaxed);
    }
    return *this;
  }

  EKName getProperty() const { return m_property; }
  void setProperty(EKName property) { m_property = property; }
  // The value as written, trimmed; comments inside it read as spaces.
  const UnicodeString& getValueText() const { return m_valueText; }
  void setValueText(const UnicodeString& text) { m_valueText = text; }
  // Offset in UTF-16 units of the declaration's first character in its sheet's text; -1 when the
  // parser did not record it.
  int32_t getSourceOffset() const { return m_sourceOffset; }
  void setSourceOffset(int32_t offset) { m_sourceOffset = offset; }
  bool isImportant() const { return m_important; }
  void setImportant(bool important) { m_important = important; }

  // Marks the declaration as failed (its value could not be applied).
  void setDeclError() const { m_declError.store(true, std::memory_order_relaxed); }
  bool hasDeclError() const { return m_declError.load(std::memory_order_relaxed); }
  // A flag kept for the host: set once the host has checked the declaration's colour value.
  void setCheckedColor() const { m_checkedColor.store(true, std::memory_order_relaxed); }
  bool checkedColor() const { return m_checkedColor.load(std::memory_order_relaxed); }

private:
  EKName m_property;
  UnicodeString m_valueText;
  int32_t m_sourceOffset = -1;
  bool m_important = false;
  // Atomic, since several threads may apply the same rules and mark the same declaration.
  mutable std::atomic<bool> m_declError{false};
  mutable std::atomic<bool> m_checkedColor{false};
};

} // namespace EKCommonNS
