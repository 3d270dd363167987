// EKValue: the one value type of the library (property, attribute, declaration and node values).
// A 16-byte tagged union: small things inline (integers, floats, names, packed colours,
// characters), big things by pointer (strings, arrays, compounds and other objects, all shared
// and reference-counted, so copies cost no allocation). Arithmetic and comparison work across
// units.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/names/EKName.h"
#include "ekcommon/text/EKUtil.h"
#include "ekcommon/values/EKColor.h"
#include "ekcommon/values/EKLength.h"
#include "ekcommon/values/EKUnitType.h"

#include <cstdint>

namespace EKCommonNS {

class EKValueArray;
class EKNamedValueMap;
class EKNamedValue;
struct EKValueText;

enum EKValueType : int32_t {
  VALUE_NULL = 0,
  VALUE_INTEGER = 1,  // int32
  VALUE_REAL = 2,     // float32
  VALUE_NAME = 3,     // EKName
  VALUE_STRING = 4,   // shared immutable heap text; the unit is the kind of string
  VALUE_RCOBJECT = 5, // EKRCObject, one reference held
  VALUE_ARRAY = 6,    // EKValueArray, one reference held
  VALUE_COMPOUND = 7  // EKNamedValueMap, one reference held
};

class EKCOMMON_API EKValue {
public:
  // The shared null value.
  static const EKValue NULL_VALUE;

  constexpr EKValue() noexcept : m_payload{0}, m_tag(0) {}
  EKValue(int value) noexcept : EKValue(value, UNIT_NUMBER) {}
  EKValue(long value) noexcept : EKValue(static_cast<int>(value), UNIT_NUMBER) {}
  EKValue(unsigned value) noexcept : EKValue(static_cast<int>(value), UNIT_NUMBER) {}
  EKValue(int value, EKUnitType unit) noexcept : m_payload{0}, m_tag(makeTag(VALUE_INTEGER, unit)) {
    m_payload.integer = value;
  }
  EKValue(float value, EKUnitType unit = UNIT_NUMBER) noexcept
      : m_payload{0}, m_tag(makeTag(VALUE_REAL, unit)) {
    m_payload.real = value;
  }
  EKValue(double value, EKUnitType unit = UNIT_NUMBER) noexcept
      : EKValue(static_cast<float>(value), unit) {}
  // The name "true" or "false".
  EKValue(bool value) noexcept : EKValue(value ? EKN_true : EKN_false) {}
  EKValue(EKName name) noexcept : m_payload{0}, m_tag(makeTag(VALUE_NAME, UNIT_NAME)) {
    m_payload.name = name;
  }
  EKValue(EKNameEnum name) noexcept : EKValue(EKName(name)) {}
  // A string of the given kind (UNIT_NONE, UNIT_STRING, UNIT_URL, UNIT_FORMAT, UNIT_LOCAL).
  EKValue(const UnicodeString& text, EKUnitType kind);
  // A real in points.
  EKValue(EKLength length) noexcept : EKValue(static_cast<float>(length), UNIT_PT) {}
  // A plain RGB colour is an integer with UNIT_COLOR; any other colour a compound with UNIT_COLOR.
  EKValue(const EKColor& color);
  // Take one new reference; a null pointer gives the null value.
  EKValue(EKRCObject* object);
  EKValue(EKValueArray* array);
  EKValue(EKNamedValueMap* map);

  EKValue(const EKValue& other) : m_payload(other.m_payload), m_tag(other.m_tag) {
    if (getValueType() >= VALUE_STRING)
      copyOwned();
  }
  EKValue(EKValue&& other) noexcept : m_payload(other.m_payload), m_tag(other.m_tag) {
    other.m_payload.bits = 0;
    other.m_tag = 0;
  }
  ~EKValue() {
    if (getValueType() >= VALUE_STRING)
      releaseOwned();
  }
  EKValue& operator=(const EKValue& other);
  EKValue& operator=(EKValue&& other) noexcept;

  // --- Type and unit --------------------------------------------------------------------------
  EKValueType getValueType() const { return static_cast<EKValueType>(m_tag & TYPE_MASK); }
  EKUnitType getUnitType() const { return static_cast<EKUnitType>(m_tag >> UNIT_SHIFT & 0x3F); }
  // Changing between an owning type (string, object, array, compound) and any other type drops
  // the payload, so a value can never take an integer for a pointer.
  void setValueType(EKValueType type);
  // Replaces the unit; type and payload stay.
  void setUnitType(EKUnitType unit) {
    m_tag = (m_tag & ~UNIT_MASK) | (static_cast<uint64_t>(unit & 0x3F) << UNIT_SHIFT);
  }
  // Type and unit bits together (bits 0-8 of the tag), as getValueUnitType gives them.
  uint32_t getValueUnitType() const { return static_cast<uint32_t>(m_tag & (TYPE_MASK | UNIT_MASK)); }
  void setValueUnitType(uint32_t typeAndUnit);
  void setValueUnitType(EKValueType type, EKUnitType unit) {
    setValueType(type);
    setUnitType(unit);
  }
  // Makes the value a real with that unit.
  void setRealValue(float value, EKUnitType unit);
  void clear() { *this = EKValue(); }

  bool isNull() const { return getValueType() == VALUE_NULL; }
  bool isInteger() const { return getValueType() == VALUE_INTEGER; }
  bool isReal() const { return getValueType() == VALUE_REAL; }
  bool isName() const { return getValueType() == VALUE_NAME; }
  bool isString() const { return getValueType() == VALUE_STRING; }
  bool isRCObject() const {
    const EKValueType t = getValueType();
    return t == VALUE_RCOBJECT || (t > VALUE_RCOBJECT && m_payload.object != nullptr);
  }
  bool isArray() const { return getValueType() == VALUE_ARRAY && m_payload.object != nullptr; }
  bool isCompound() const {
    return getValueType() == VALUE_COMPOUND && m_payload.object != nullptr;
  }
  bool isNumeric() const { return isInteger() || isReal(); }
  bool isUnknownString() const { return isString() && getUnitType() == UNIT_NONE; }
  bool isLiteralString() const { return isString() && getUnitType() == UNIT_STRING; }
  bool isUriString() const { return isString() && getUnitType() == UNIT_URL; }
  bool isCharacter() const { return isInteger() && getUnitType() == UNIT_CHARACTER; }
  bool isColor() const { return (isInteger() || isCompound()) && getUnitType() == UNIT_COLOR; }
  // The names "true" and "yes"; "false" and "no".
  bool isTrue() const { return isName() && isTrue(m_payload.name); }
  bool isFalse() const {
    return isName() && (m_payload.name == EKN_false || m_payload.name == EKN_no);
  }
  static bool isTrue(EKNameEnum name) { return name == EKN_true || name == EKN_yes; }

  // Unit classes; all false unless the value is an integer or a real.
  bool isAbsoluteLength() const { return isNumeric() && isAbsoluteLengthUnit(getUnitType()); }
  bool isRelativeLength() const { return isNumeric() && isRelativeLengthUnit(getUnitType()); }
  bool isAngle() const { return isNumeric() && isAngleUnit(getUnitType()); }
  bool isPercentage() const { return isNumeric() && isPercentageUnit(getUnitType()); }
  bool isNumber() const { return isNumeric() && getUnitType() == UNIT_NUMBER; }
  bool isNumberOrPercentage() const { return isNumber() || isPercentage(); }
  bool isUnitNumber() const { return isNumeric() && getUnitType() != UNIT_NUMBER; }
  bool isNumericalValue() const { return isNumeric() && getUnitType() != UNIT_CHARACTER; }

  // --- Payload --------------------------------------------------------------------------------
  // An integer as it is, a real rounded (floor(x + 0.5), saturating, NaN gives 0); `otherwise`
  // for every other type.
  int getIntegerValue(int otherwise = 0) const;
  // The code point of a character value, else -1.
  int getCharacterValue() const { return isCharacter() ? m_payload.integer : -1; }
  // The number in `wanted` (UNIT_NONE: in its own unit); NaN where no conversion exists.
  float getRealValue(EKUnitType wanted = UNIT_NONE) const;
  // The name of a name value, else the empty name.
  EKName getNameValue() const { return isName() ? EKName(m_payload.name) : EKName(); }
  EKName getLowerNameValue() const;
  // The text of a name or a string, else empty.
  UnicodeString getStringValue() const;
  // The characters of a string value in place, without a copy: valid as long as this value (or
  // a copy of it) lives; null for other values.
  const char16_t* getStringBuffer(int32_t& length) const;
  // Points; NaN (auto) for anything that is not an absolute length (see EKLength).
  EKLength getLengthValue() const;
  // A colour value, or the named colour of a name. Anything else gives no colour: the invalid
  // colour when `invalidOnFailure`, else transparent.
  EKColor getColorValue(bool invalidOnFailure = false) const;
  EKRCObject* getRCObject() const { return isRCObject() ? m_payload.object : nullptr; }
  EKValueArray* getValueArray() const;
  EKNamedValueMap* getNamedValueMap() const;

  // Null, an empty string or the empty name.
  bool isEmpty() const;
  bool isNegativeValue() const { return isNumeric() && getRealValue() < 0; }
  bool isNumberZero() const { return isNumeric() && getRealValue() == 0; }

  // Brings the number to the canonical unit of its class: absolute lengths to pt, angles to deg,
  // times to ms, frequencies to Hz, resolutions to plain numbers (dots per inch).
  void normalizeUnit();

  // --- Arrays and compounds (containers are shared between copies; clone() separates) ---------
  // Unless already an array: an array holding the old value (nothing if it was null).
  void makeArray();
  void addItem(const EKValue& item);
  // Items of an array; 1 for any other value.
  int getArrayCount() const;
  // Item n of an array; for another value the value itself at 0. Null out of range.
  EKValue getNthItem(int n) const;
  // Unless already a compound: a compound holding the old value under the empty name.
  void makeCompound();
  void setNamedItem(EKName name, const EKValue& item);
  void setNamedItem(const EKNamedValue& item);
  // The item of a compound; for another value the value itself under the empty name. Null when
  // absent.
  EKValue getNamedItem(EKName name) const;
  // Removes an item of a compound. With `detach`, the compound is first cloned, so that copies of
  // this value that share it keep the item.
  void removeNamedItem(EKName name, bool detach);
  // A deep copy: arrays and compounds are cloned item by item.
  EKValue clone() const;

  // --- Arithmetic across units (a result that has no unit is null) -----------------------------
  EKValue& operator+=(const EKValue& other);
  EKValue& operator-=(const EKValue& other);
  EKValue& operator*=(const EKValue& other);
  EKValue& operator/=(const EKValue& other);
  EKValue& operator%=(const EKValue& other);
  EKValue operator+(const EKValue& other) const { return EKValue(*this) += other; }
  EKValue operator-(const EKValue& other) const { return EKValue(*this) -= other; }
  EKValue operator*(const EKValue& other) const { return EKValue(*this) *= other; }
  EKValue operator/(const EKValue& other) const { return EKValue(*this) /= other; }
  EKValue operator%(const EKValue& other) const { return EKValue(*this) %= other; }
  EKValue operator-() const;
  EKValue abs() const;
  // Plain numbers only; a real gives a real.
  EKValue round() const;
  EKValue floor() const;
  EKValue ceiling() const;
  // Resolves percentages against `total` and adds up the items of an array.
  EKValue sumItem(const EKValue& total) const;
  // *= or /= applied to the value, or to each item of an array (into a new array).
  void multipleEachItem(const EKValue& factor);
  void devideEachItem(const EKValue& divisor);
  // Negates the value, or each item of an array (into a new array).
  void invertItem();
  // The printed items of an array, concatenated, as a string of unknown kind.
  EKValue concatEachItem() const;

  // --- Comparison -----------------------------------------------------------------------------
  bool operator==(const EKValue& other) const;
  bool operator!=(const EKValue& other) const { return !(*this == other); }
  bool operator<(const EKValue& other) const;
  bool operator>(const EKValue& other) const { return other < *this; }
  bool operator<=(const EKValue& other) const { return !(other < *this); }
  bool operator>=(const EKValue& other) const { return !(*this < other); }

  // --- Printing (numbers always in the C locale) ----------------------------------------------
  // "12pt", "1.5em", "50%"; strings unquoted; arrays space-separated with their strings quoted;
  // compounds as "{key: value; ...}" with "." for the empty name.
  UnicodeString toString() const;
  UnicodeString toString(bool lower) const;
  operator UnicodeString() const { return toString(); }
  // As value text: URL strings as url("..."), literal strings quoted (CSS escapes when `css`);
  // with `quoteAll` every string is quoted.
  UnicodeString toValueText(bool css, bool quoteAll) const;
  UnicodeString toCssText() const { return toValueText(true, false); }
  // toString(), quoted with `mode` when the value is a literal string.
  UnicodeString toQuotedString(EKUtil::QuoteMode mode) const;
  // toString() quoted with `mode`, wrapped in url(...) for a URL string.
  UnicodeString toUrlString(EKUtil::QuoteMode mode) const;
  // The name of a name value, otherwise toString() interned.
  EKName toEKName() const;
  EKName toKWName() const { return toEKName(); }

  // The unit keyword ("pt", "%", "Hz"); empty for units without one.
  static UnicodeString getUnitString(EKUnitType unit);

protected:
  static constexpr uint64_t TYPE_MASK = 0x7;
  static constexpr int UNIT_SHIFT = 3;
  static constexpr uint64_t UNIT_MASK = uint64_t(0x3F) << UNIT_SHIFT;
  static constexpr int NAME_SHIFT = 9;
  static constexpr uint64_t NAME_MASK = uint64_t(0x7FFFFF) << NAME_SHIFT;

  static constexpr uint64_t makeTag(EKValueType type, EKUnitType unit) {
    return static_cast<uint64_t>(type) | static_cast<uint64_t>(unit & 0x3F) << UNIT_SHIFT;
  }
  EKNameEnum getTagName() const { return static_cast<EKNameEnum>((m_tag & NAME_MASK) >> NAME_SHIFT); }
  void setTagName(EKNameEnum name) {
    m_tag = (m_tag & ~NAME_MASK) | (static_cast<uint64_t>(name) << NAME_SHIFT & NAME_MASK);
  }

private:
  friend class EKNamedValue;
  union Payload {
    uint64_t bits;
    int32_t integer;
    float real;
    EKNameEnum name;
    EKValueText* text; // reference-counted, never changed once made
    EKRCObject* object; // also arrays and compounds
  };

  void copyOwned();
  void releaseOwned();

  Payload m_payload;
  uint64_t m_tag;
};

static_assert(sizeof(EKValue) == 16, "EKValue is two 8-byte words");

} // namespace EKCommonNS
