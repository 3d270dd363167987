// A boolean with an explicit "undefined" state, for settings that may be left unset.
#pragma once

namespace EKCommonNS {

class EKBool {
public:
  EKBool() = default;
  EKBool(bool value) : m_value(value), m_undef(false) {}
  EKBool& operator=(bool value) {
    m_value = value;
    m_undef = false;
    return *this;
  }

  bool isUndef() const { return m_undef; }
  void setUndef() {
    m_value = false;
    m_undef = true;
  }
  // The value, or defaultValue when undefined.
  bool isTrue(bool defaultValue) const { return m_undef ? defaultValue : m_value; }
  operator bool() const { return m_value; }
  // True only when defined and equal.
  bool operator==(bool value) const { return !m_undef && m_value == value; }
  // Two defined values compare their values; otherwise equal exactly when both are undefined.
  bool operator==(const EKBool& other) const {
    if (!m_undef && !other.m_undef)
      return m_value == other.m_value;
    return m_undef && other.m_undef;
  }
  bool operator!=(bool value) const { return !(*this == value); }
  bool operator!=(const EKBool& other) const { return !(*this == other); }

private:
  bool m_value = false;
  bool m_undef = true;
};

} // namespace EKCommonNS
