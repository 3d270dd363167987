// A 32-bit integer with an "undefined" state, the smallest int. Arithmetic is plain int
// arithmetic on the raw value; undefined is not treated specially.
#pragma once

#include <cstdint>
#include <limits>

namespace EKCommonNS {

class EKInt {
public:
  static constexpr int UNDEFINED = std::numeric_limits<int32_t>::min();

  EKInt() = default;
  EKInt(int value) : m_value(value) {}
  EKInt& operator=(int value) {
    m_value = value;
    return *this;
  }

  bool isUndef() const { return m_value == UNDEFINED; }
  void setUndef() { m_value = UNDEFINED; }
  operator int() const { return m_value; }

  EKInt operator+(int v) const { return EKInt(m_value + v); }
  EKInt operator-(int v) const { return EKInt(m_value - v); }
  EKInt operator*(int v) const { return EKInt(m_value * v); }
  EKInt operator/(int v) const { return EKInt(m_value / v); }
  EKInt& operator+=(int v) {
    m_value += v;
    return *this;
  }
  EKInt& operator-=(int v) {
    m_value -= v;
    return *this;
  }
  EKInt& operator*=(int v) {
    m_value *= v;
    return *this;
  }
  EKInt& operator/=(int v) {
    m_value /= v;
    return *this;
  }
  EKInt& operator++() {
    ++m_value;
    return *this;
  }
  EKInt& operator--() {
    --m_value;
    return *this;
  }
  EKInt operator++(int) { return EKInt(m_value++); }
  EKInt operator--(int) { return EKInt(m_value--); }
  EKInt operator+() const { return *this; }
  EKInt operator-() const { return EKInt(-m_value); }

private:
  int32_t m_value = UNDEFINED;
};

} // namespace EKCommonNS
