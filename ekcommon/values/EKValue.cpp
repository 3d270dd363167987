#include "ekcommon/values/EKValue.h"

#include "ekcommon/core/internal/EKArena.h"

#include "ekcommon/values/EKNamedValueMap.h"
#include "ekcommon/values/EKParser.h"
#include "ekcommon/values/EKValueArray.h"
#include "ekcommon/values/internal/EKSaturate.h"

#include <atomic>
#include <climits>
#include <cstddef>
#include <new>
#include <cmath>
#include <limits>

#include <unicode/locid.h>

namespace EKCommonNS {

// Constant-initialised: no load-time code runs for it.
const EKValue EKValue::NULL_VALUE;

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();

// Containers may be made to hold themselves (an array added to itself); walks that recurse into
// items stop at this depth instead of running out of stack.
constexpr int MAX_DEPTH = 64;
thread_local int t_depth = 0;

class DepthGuard {
public:
  DepthGuard() { ++t_depth; }
  ~DepthGuard() { --t_depth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
  bool tooDeep() const { return t_depth > MAX_DEPTH; }
};

// Conversion factors between the units of one class, as float32 constants.
constexpr float DEG_PER_RAD = 57.2957802f;
constexpr float RAD_PER_DEG = 0.0174532924f;
constexpr float RAD_PER_GRAD = 0.0157079641f;
constexpr float GRAD_PER_RAD = 63.6619759f;
constexpr float DEG_PER_GRAD = 0.9f;
constexpr float CM_PER_INCH = 2.54f;

int32_t wrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t wrapNegate(int32_t a) { return static_cast<int32_t>(0u - static_cast<uint32_t>(a)); }

// Copies of both operands in canonical units when their types or units differ, as addition,
// subtraction, remainder and comparison need them. False when the units still differ.
bool commonUnit(EKValue& a, EKValue& b) {
  if (a.getValueType() != b.getValueType() || a.getUnitType() != b.getUnitType()) {
    a.normalizeUnit();
    b.normalizeUnit();
  }
  return a.getUnitType() == b.getUnitType();
}

// A normalised operand of multiplication or division: its number as a float and its unit, with
// a percentage turned into a plain fraction (and remembered as one).
struct Factor {
  float number;
  EKUnitType unit;
  bool percent;
};

Factor factorOf(const EKValue& v) {
  EKValue n(v);
  n.normalizeUnit();
  Factor f{n.getRealValue(), n.getUnitType(), n.isPercentage()};
  if (f.percent) {
    f.number /= 100;
    f.unit = UNIT_NUMBER;
  }
  return f;
}

// Strings inside arrays and compounds are printed quoted, so that the text reads back.
UnicodeString itemText(const EKValue& item) {
  if (!item.isString())
    return item.toString();
  if (item.isUriString())
    return EKUtil::quoteUri(item.getStringValue());
  return EKUtil::quoteString(item.getStringValue(),
                             EKUtil::QUOTE_DOUBLE | EKUtil::QUOTE_SINGLE | EKUtil::QUOTE_DOUBLING);
}

EKValue colorCompound(const EKColor& color);
EKColor colorFromCompound(const EKNamedValueMap& map);

} // namespace

EKName::EKName(const EKValue& value) : EKName(value.toEKName()) {}

// --- Construction and ownership ---------------------------------------------------------------

// The text of a string value: one allocation of exactly its size, shared by every copy of the
// value. Attribute values are the bulk of a document tree, so their size matters.
struct EKValueText {
  std::atomic<int32_t> references;
  int32_t length;
  char16_t chars[1];

  static EKValueText* make(const UnicodeString& text) {
    const int32_t length = text.length();
    void* memory = EKArena::allocate(bytes(length));
    EKValueText* made = static_cast<EKValueText*>(memory);
    new (&made->references) std::atomic<int32_t>(1);
    made->length = length;
    text.extract(0, length, made->chars);
    return made;
  }
  static size_t bytes(int32_t length) {
    return offsetof(EKValueText, chars) + sizeof(char16_t) * static_cast<size_t>(length);
  }
  UnicodeString toString() const { return UnicodeString(chars, length); }
  void addRef() { references.fetch_add(1, std::memory_order_relaxed); }
  void release() {
    if (references.fetch_sub(1, std::memory_order_acq_rel) == 1)
      EKArena::deallocate(this, bytes(length));
  }
};

EKValue::EKValue(const UnicodeString& text, EKUnitType kind)
    : m_payload{0}, m_tag(makeTag(VALUE_STRING, kind)) {
  m_payload.text = EKValueText::make(text);
}

EKValue::EKValue(const EKColor& color) : EKValue() {
  if (color.isRGB() && !color.isRGBex() && !color.hasAlpha())
    *this = EKValue(static_cast<int>(color.getRGB()), UNIT_COLOR);
  else
    *this = colorCompound(color);
}

EKValue::EKValue(EKRCObject* object) : m_payload{0}, m_tag(object ? makeTag(VALUE_RCOBJECT, UNIT_NONE) : 0) {
  if (object) {
    object->addRef();
    m_payload.object = object;
  }
}

EKValue::EKValue(EKValueArray* array) : EKValue(static_cast<EKRCObject*>(array)) {
  if (array)
    m_tag = makeTag(VALUE_ARRAY, UNIT_NONE);
}

EKValue::EKValue(EKNamedValueMap* map) : EKValue(static_cast<EKRCObject*>(map)) {
  if (map)
    m_tag = makeTag(VALUE_COMPOUND, UNIT_NONE);
}

void EKValue::copyOwned() {
  if (getValueType() == VALUE_STRING) {
    if (m_payload.text)
      m_payload.text->addRef();
  } else if (m_payload.object) {
    m_payload.object->addRef();
  }
}

void EKValue::releaseOwned() {
  if (getValueType() == VALUE_STRING) {
    if (m_payload.text)
      m_payload.text->release();
  } else if (m_payload.object) {
    m_payload.object->release();
  }
  m_payload.bits = 0;
}

EKValue& EKValue::operator=(const EKValue& other) {
  if (this != &other) {
    EKValue copy(other);
    *this = std::move(copy);
  }
  return *this;
}

EKValue& EKValue::operator=(EKValue&& other) noexcept {
  if (this != &other) {
    if (getValueType() >= VALUE_STRING)
      releaseOwned();
    m_payload = other.m_payload;
    m_tag = other.m_tag;
    other.m_payload.bits = 0;
    other.m_tag = 0;
  }
  return *this;
}

void EKValue::setValueType(EKValueType type) {
  const EKValueType old = getValueType();
  if (old == type)
    return;
  if (old >= VALUE_STRING || type >= VALUE_STRING) {
    if (old >= VALUE_STRING)
      releaseOwned();
    m_payload.bits = 0;
  }
  m_tag = (m_tag & ~TYPE_MASK) | (static_cast<uint64_t>(type) & TYPE_MASK);
}

void EKValue::setValueUnitType(uint32_t typeAndUnit) {
  setValueType(static_cast<EKValueType>(typeAndUnit & TYPE_MASK));
  setUnitType(static_cast<EKUnitType>(typeAndUnit >> UNIT_SHIFT & 0x3F));
}

void EKValue::setRealValue(float value, EKUnitType unit) {
  setValueType(VALUE_REAL);
  setUnitType(unit);
  m_payload.bits = 0;
  m_payload.real = value;
}

// --- Payload ----------------------------------------------------------------------------------

int EKValue::getIntegerValue(int otherwise) const {
  if (isInteger())
    return m_payload.integer;
  if (!isReal())
    return otherwise;
  return saturatingInt(std::floor(m_payload.real + 0.5f));
}

float EKValue::getRealValue(EKUnitType wanted) const {
  if (!isNumeric())
    return NaN;
  const float x = isInteger() ? static_cast<float>(m_payload.integer) : m_payload.real;
  const EKUnitType unit = getUnitType();
  if (wanted == unit || wanted == UNIT_NONE)
    return x;
  if (wanted < 0 || wanted > UNIT_PERCENT2)
    return NaN;
  if (isAbsoluteLengthUnit(wanted))
    return isAbsoluteLengthUnit(unit) ? EKLength(x, unit).getRealValue(wanted) : NaN;
  switch (wanted) {
  case UNIT_NUMBER:
    if (isPercentageUnit(unit))
      return x / 100;
    if (unit == UNIT_DPI)
      return x;
    return unit == UNIT_DPCM ? x * CM_PER_INCH : NaN;
  case UNIT_PERCENT:
  case UNIT_PERCENT2:
    if (isPercentageUnit(unit))
      return x;
    return unit == UNIT_NUMBER ? x * 100 : NaN;
  case UNIT_DEG:
    if (unit == UNIT_NUMBER)
      return x;
    if (unit == UNIT_RAD)
      return x * DEG_PER_RAD;
    return unit == UNIT_GRAD ? x * DEG_PER_GRAD : NaN;
  case UNIT_RAD:
    if (unit == UNIT_NUMBER || unit == UNIT_DEG)
      return x * RAD_PER_DEG;
    return unit == UNIT_GRAD ? x * RAD_PER_GRAD : NaN;
  case UNIT_GRAD:
    if (unit == UNIT_NUMBER || unit == UNIT_DEG)
      return x / DEG_PER_GRAD;
    return unit == UNIT_RAD ? x * GRAD_PER_RAD : NaN;
  case UNIT_MS: return unit == UNIT_S ? x * 1000 : NaN;
  case UNIT_S: return unit == UNIT_MS ? x / 1000 : NaN;
  case UNIT_HZ: return unit == UNIT_KHZ ? x * 1000 : NaN;
  case UNIT_KHZ: return unit == UNIT_HZ ? x / 1000 : NaN;
  case UNIT_DPI:
    if (unit == UNIT_NUMBER)
      return x;
    return unit == UNIT_DPCM ? x * CM_PER_INCH : NaN;
  case UNIT_DPCM: return unit == UNIT_NUMBER || unit == UNIT_DPI ? x / CM_PER_INCH : NaN;
  default: return NaN;
  }
}

EKName EKValue::getLowerNameValue() const {
  return isName() ? EKName(m_payload.name).lowerName() : EKName();
}

UnicodeString EKValue::getStringValue() const {
  if (isName())
    return EKName(m_payload.name).toString();
  if (isString() && m_payload.text)
    return m_payload.text->toString();
  return UnicodeString();
}

const char16_t* EKValue::getStringBuffer(int32_t& length) const {
  if (!isString() || !m_payload.text) {
    length = 0;
    return isString() ? u"" : nullptr;
  }
  length = m_payload.text->length;
  return m_payload.text->chars;
}

EKLength EKValue::getLengthValue() const {
  if (isCompound()) {
    DepthGuard guard;
    if (guard.tooDeep())
      return EKLength(NaN);
    const EKNamedValueMap* map = getNamedValueMap();
    EKValue part;
    if (map->getNamedItemFast(EKN_length, part) || map->getNamedItemFast(EKN_EMPTY, part) ||
        map->getNamedItemFast(EKN_optimum, part))
      return part.getLengthValue();
    return EKLength(NaN);
  }
  if (!isAbsoluteLength())
    return EKLength(NaN);
  const float x = getRealValue();
  return getUnitType() == UNIT_PT ? EKLength(x) : EKLength(x, getUnitType());
}

EKColor EKValue::getColorValue(bool invalidOnFailure) const {
  if (isInteger() && getUnitType() == UNIT_COLOR)
    return EKColor(static_cast<uint32_t>(m_payload.integer));
  if (isCompound() && getUnitType() == UNIT_COLOR)
    return colorFromCompound(*getNamedValueMap());
  if (isName()) {
    const EKColor named{EKName(m_payload.name)};
    if (!named.isInvalid())
      return named;
  }
  // Anything else may be colour text such as "rgb(1,2,3)"; what the parser makes of it is a
  // colour value, a name or number, or the text again.
  if (!isNull() && !isRCObject()) {
    const EKValue parsed = EKParser::parseColor(toString(), false, nullptr);
    if (parsed.isColor())
      return parsed.getColorValue(invalidOnFailure);
  }
  return invalidOnFailure ? EKColor::getInvalidColor() : EKColor::getTransparent();
}

EKValueArray* EKValue::getValueArray() const {
  return isArray() ? static_cast<EKValueArray*>(m_payload.object) : nullptr;
}

EKNamedValueMap* EKValue::getNamedValueMap() const {
  return isCompound() ? static_cast<EKNamedValueMap*>(m_payload.object) : nullptr;
}

bool EKValue::isEmpty() const {
  switch (getValueType()) {
  case VALUE_NULL: return true;
  case VALUE_NAME: return m_payload.name == EKN_EMPTY;
  case VALUE_STRING: return !m_payload.text || m_payload.text->length == 0;
  default: return false;
  }
}

void EKValue::normalizeUnit() {
  if (!isNumeric())
    return;
  const EKUnitType unit = getUnitType();
  const float x = getRealValue();
  if (isPercentageUnit(unit)) {
    setRealValue(x, unit);
  } else if (isAbsoluteLengthUnit(unit)) {
    setRealValue(unit == UNIT_PT ? x : static_cast<float>(EKLength(x, unit)), UNIT_PT);
  } else {
    switch (unit) {
    case UNIT_RAD: setRealValue(x * DEG_PER_RAD, UNIT_DEG); break;
    case UNIT_GRAD: setRealValue(x * DEG_PER_GRAD, UNIT_DEG); break;
    case UNIT_S: setRealValue(x * 1000, UNIT_MS); break;
    case UNIT_KHZ: setRealValue(x * 1000, UNIT_HZ); break;
    case UNIT_DPI: setUnitType(UNIT_NUMBER); break;
    case UNIT_DPCM: setRealValue(x * CM_PER_INCH, UNIT_NUMBER); break;
    default: break;
    }
  }
}

// --- Arrays and compounds ---------------------------------------------------------------------

void EKValue::makeArray() {
  if (isArray())
    return;
  EKPtr<EKValueArray> array(new EKValueArray());
  if (!isNull())
    array->addItem(*this);
  *this = EKValue(array.get());
}

void EKValue::addItem(const EKValue& item) {
  // The item may live inside this value's own container, so it is copied before anything moves.
  const EKValue copy(item);
  makeArray();
  getValueArray()->addItem(copy);
}

int EKValue::getArrayCount() const {
  const EKValueArray* array = getValueArray();
  return array ? array->getCount() : 1;
}

EKValue EKValue::getNthItem(int n) const {
  if (const EKValueArray* array = getValueArray())
    return array->item(n);
  return n == 0 ? *this : EKValue();
}

void EKValue::makeCompound() {
  if (isCompound())
    return;
  EKPtr<EKNamedValueMap> map(new EKNamedValueMap());
  if (!isNull())
    map->setNamedItem(EKName(), *this);
  *this = EKValue(map.get());
}

void EKValue::setNamedItem(EKName name, const EKValue& item) {
  const EKValue copy(item);
  makeCompound();
  getNamedValueMap()->setNamedItem(name, copy);
}

void EKValue::setNamedItem(const EKNamedValue& item) { setNamedItem(item.getName(), item); }

EKValue EKValue::getNamedItem(EKName name) const {
  if (const EKNamedValueMap* map = getNamedValueMap()) {
    EKValue item;
    map->getNamedItemFast(name, item);
    return item;
  }
  return name.isEmpty() ? *this : EKValue();
}

void EKValue::removeNamedItem(EKName name, bool detach) {
  if (!isCompound())
    return;
  if (detach) {
    const EKUnitType unit = getUnitType();
    EKPtr<EKNamedValueMap> own = getNamedValueMap()->clone();
    *this = EKValue(own.get());
    setUnitType(unit);
  }
  getNamedValueMap()->removeNamedItem(name);
}

EKValue EKValue::clone() const {
  DepthGuard guard;
  if (guard.tooDeep())
    return *this;
  EKValue copy;
  if (const EKValueArray* array = getValueArray())
    copy = EKValue(array->clone().get());
  else if (const EKNamedValueMap* map = getNamedValueMap())
    copy = EKValue(map->clone().get());
  else
    return *this;
  copy.m_tag = m_tag;
  return copy;
}

// --- Arithmetic -------------------------------------------------------------------------------

namespace {

// Shared by addition and subtraction: the sum of a and (b negated when `negate`).
EKValue addValues(const EKValue& left, const EKValue& right, bool negate) {
  if (!left.isNumeric() || !right.isNumeric())
    return EKValue();
  if (right.isNumberZero())
    return left;
  if (left.isNumberZero())
    return negate ? -right : right;
  EKValue a(left), b(right);
  if (!commonUnit(a, b))
    return EKValue();
  if (a.isInteger() && b.isInteger()) {
    const int32_t y = b.getIntegerValue();
    return EKValue(wrapAdd(a.getIntegerValue(), negate ? wrapNegate(y) : y), a.getUnitType());
  }
  const float y = b.getRealValue();
  return EKValue(a.getRealValue() + (negate ? -y : y), a.getUnitType());
}

// The unit of a product or quotient of normalised operands; UNIT_NONE where there is none.
EKUnitType productUnit(EKUnitType a, EKUnitType b) {
  if (a == UNIT_NUMBER)
    return b;
  if (b == UNIT_NUMBER)
    return a;
  if (a == UNIT_PT && b == UNIT_PT)
    return UNIT_PT2;
  if ((a == UNIT_PT && b == UNIT_PT2) || (a == UNIT_PT2 && b == UNIT_PT))
    return UNIT_PT3;
  return UNIT_NONE;
}

EKUnitType quotientUnit(EKUnitType a, EKUnitType b) {
  if (b == UNIT_NUMBER)
    return a;
  if (a == b)
    return UNIT_NUMBER;
  if (a == UNIT_PT3 && b == UNIT_PT)
    return UNIT_PT2;
  if ((a == UNIT_PT3 && b == UNIT_PT2) || (a == UNIT_PT2 && b == UNIT_PT))
    return UNIT_PT;
  return UNIT_NONE;
}

} // namespace

EKValue& EKValue::operator+=(const EKValue& other) { return *this = addValues(*this, other, false); }

EKValue& EKValue::operator-=(const EKValue& other) { return *this = addValues(*this, other, true); }

EKValue& EKValue::operator*=(const EKValue& other) {
  if (!isNumeric() || !other.isNumeric())
    return *this = EKValue();
  const Factor a = factorOf(*this), b = factorOf(other);
  const EKUnitType unit = productUnit(a.unit, b.unit);
  return *this = unit == UNIT_NONE ? EKValue() : EKValue(a.number * b.number, unit);
}

EKValue& EKValue::operator/=(const EKValue& other) {
  if (!isNumeric() || !other.isNumeric())
    return *this = EKValue();
  const Factor a = factorOf(*this), b = factorOf(other);
  // A percentage divisor scales the dividend and keeps its unit.
  const EKUnitType unit = b.percent ? a.unit : quotientUnit(a.unit, b.unit);
  return *this = unit == UNIT_NONE ? EKValue() : EKValue(a.number / b.number, unit);
}

EKValue& EKValue::operator%=(const EKValue& other) {
  if (!isNumeric() || !other.isNumeric())
    return *this = EKValue();
  EKValue a(*this), b(other);
  if (!commonUnit(a, b))
    return *this = EKValue();
  if (a.isInteger() && b.isInteger()) {
    const int32_t y = b.getIntegerValue();
    if (y == 0)
      return *this = EKValue();
    // INT_MIN % -1 overflows in C++; the remainder by -1 is 0 anyway.
    const int32_t r = y == -1 ? 0 : a.getIntegerValue() % y;
    return *this = EKValue(r, a.getUnitType());
  }
  return *this = EKValue(std::fmod(a.getRealValue(), b.getRealValue()), a.getUnitType());
}

EKValue EKValue::operator-() const {
  if (isInteger())
    return EKValue(wrapNegate(m_payload.integer), getUnitType());
  if (isReal())
    return EKValue(-m_payload.real, getUnitType());
  return EKValue();
}

EKValue EKValue::abs() const { return isNegativeValue() ? -*this : isNumeric() ? *this : EKValue(); }

EKValue EKValue::round() const {
  if (!isNumber())
    return EKValue();
  return isInteger() ? *this : EKValue(std::floor(m_payload.real + 0.5f), UNIT_NUMBER);
}

EKValue EKValue::floor() const {
  if (!isNumber())
    return EKValue();
  return isInteger() ? *this : EKValue(std::floor(m_payload.real), UNIT_NUMBER);
}

EKValue EKValue::ceiling() const {
  if (!isNumber())
    return EKValue();
  return isInteger() ? *this : EKValue(std::ceil(m_payload.real), UNIT_NUMBER);
}

EKValue EKValue::sumItem(const EKValue& total) const {
  const EKValueArray* array = getValueArray();
  if (!array) {
    if (!isPercentage())
      return *this;
    return total * EKValue(getRealValue() / 100, UNIT_NUMBER);
  }
  DepthGuard guard;
  if (guard.tooDeep() || array->getCount() == 0)
    return EKValue();
  EKValue sum = array->at(0).sumItem(total);
  for (int i = 1; i < array->getCount(); ++i)
    sum += array->at(i).sumItem(total);
  return sum;
}

namespace {

// Applies `op` to a value, or to each item of an array into a new array.
template <class Op>
void eachItem(EKValue& value, Op op) {
  const EKValueArray* array = value.getValueArray();
  if (!array) {
    op(value);
    return;
  }
  DepthGuard guard;
  if (guard.tooDeep())
    return;
  EKPtr<EKValueArray> result(new EKValueArray());
  for (int i = 0; i < array->getCount(); ++i) {
    EKValue item(array->at(i));
    eachItem(item, op);
    result->addItem(item);
  }
  value = EKValue(result.get());
}

} // namespace

void EKValue::multipleEachItem(const EKValue& factor) {
  eachItem(*this, [&factor](EKValue& v) { v *= factor; });
}

void EKValue::devideEachItem(const EKValue& divisor) {
  eachItem(*this, [&divisor](EKValue& v) { v /= divisor; });
}

void EKValue::invertItem() {
  eachItem(*this, [](EKValue& v) { v = -v; });
}

EKValue EKValue::concatEachItem() const {
  const EKValueArray* array = getValueArray();
  if (!array)
    return EKValue(toString(), UNIT_NONE);
  UnicodeString text;
  for (int i = 0; i < array->getCount(); ++i)
    text.append(array->at(i).toString());
  return EKValue(text, UNIT_NONE);
}

// --- Comparison -------------------------------------------------------------------------------

bool EKValue::operator==(const EKValue& other) const {
  const EKValueType type = getValueType();
  if (type == other.getValueType() && getUnitType() == other.getUnitType()) {
    switch (type) {
    case VALUE_NULL: return true;
    case VALUE_INTEGER: return m_payload.integer == other.m_payload.integer;
    case VALUE_REAL: return m_payload.real == other.m_payload.real;
    case VALUE_NAME: return m_payload.name == other.m_payload.name;
    case VALUE_STRING: return getStringValue() == other.getStringValue();
    case VALUE_COMPOUND:
      if (getUnitType() == UNIT_COLOR && isCompound() && other.isCompound())
        return getColorValue() == other.getColorValue();
      return m_payload.object == other.m_payload.object;
    default: return m_payload.object == other.m_payload.object;
    }
  }
  if (isNumeric() && other.isNumeric()) {
    EKValue a(*this), b(other);
    a.normalizeUnit();
    b.normalizeUnit();
    return a.getUnitType() == b.getUnitType() && a.getRealValue() == b.getRealValue();
  }
  if ((isName() && other.isString()) || (isString() && other.isName()))
    return getStringValue() == other.getStringValue();
  return false;
}

bool EKValue::operator<(const EKValue& other) const {
  const EKValueType type = getValueType();
  if (type == other.getValueType() && getUnitType() == other.getUnitType()) {
    switch (type) {
    case VALUE_NULL: return false;
    case VALUE_INTEGER: return m_payload.integer < other.m_payload.integer;
    case VALUE_REAL: return m_payload.real < other.m_payload.real;
    case VALUE_NAME: return m_payload.name < other.m_payload.name;
    case VALUE_STRING: return getStringValue() < other.getStringValue();
    default: return m_payload.object < other.m_payload.object;
    }
  }
  if (isNumeric() && other.isNumeric()) {
    EKValue a(*this), b(other);
    a.normalizeUnit();
    b.normalizeUnit();
    if (a.getUnitType() != b.getUnitType())
      return a.getUnitType() < b.getUnitType();
    return a.getRealValue() < b.getRealValue();
  }
  if ((isName() && other.isString()) || (isString() && other.isName()))
    return getStringValue() < other.getStringValue();
  if (type != other.getValueType())
    return type < other.getValueType();
  return getUnitType() < other.getUnitType();
}

// --- Printing ---------------------------------------------------------------------------------

UnicodeString EKValue::toString() const {
  switch (getValueType()) {
  case VALUE_NULL: return UnicodeString();
  case VALUE_INTEGER:
    if (getUnitType() == UNIT_CHARACTER)
      return UnicodeString(static_cast<UChar32>(m_payload.integer));
    if (getUnitType() == UNIT_COLOR)
      return getColorValue().toString(false, false, false);
    return EKUtil::toString(m_payload.integer).append(getUnitString(getUnitType()));
  case VALUE_REAL:
    return EKUtil::toString(static_cast<double>(m_payload.real)).append(getUnitString(getUnitType()));
  case VALUE_NAME:
  case VALUE_STRING: return getStringValue();
  case VALUE_RCOBJECT:
    return m_payload.object ? UnicodeString(u"##").append(m_payload.object->getTypeName()) : UnicodeString();
  default: break;
  }
  DepthGuard guard;
  if (guard.tooDeep())
    return UnicodeString(u"...");
  UnicodeString out;
  if (const EKValueArray* array = getValueArray()) {
    for (int i = 0; i < array->getCount(); ++i) {
      if (i > 0)
        out.append(u' ');
      out.append(itemText(array->at(i)));
    }
  } else if (const EKNamedValueMap* map = getNamedValueMap()) {
    if (getUnitType() == UNIT_COLOR)
      return getColorValue().toString(false, false, false);
    out.append(u'{');
    bool first = true;
    for (int i = 0; i < map->getCount(); ++i) {
      const EKNamedValue& item = map->at(i);
      if (item.isNull())
        continue;
      if (!first)
        out.append(u"; ");
      first = false;
      const EKName name = item.getName();
      out.append(name.isEmpty() ? UnicodeString(u'.') : name.toString()).append(u": ");
      out.append(itemText(item));
    }
    out.append(u'}');
  }
  return out;
}

UnicodeString EKValue::toString(bool lower) const {
  UnicodeString text = toString();
  if (lower)
    text.toLower(icu::Locale::getRoot());
  return text;
}

UnicodeString EKValue::toValueText(bool css, bool quoteAll) const {
  if (isUriString())
    return EKUtil::quoteUri(getStringValue());
  if (isLiteralString() || (quoteAll && isString())) {
    const unsigned mode = css ? 43u : 7u;
    return EKUtil::quoteString(getStringValue(), static_cast<EKUtil::QuoteMode>(mode));
  }
  return toString();
}

UnicodeString EKValue::toQuotedString(EKUtil::QuoteMode mode) const {
  return isLiteralString() ? EKUtil::quoteString(toString(), mode) : toString();
}

UnicodeString EKValue::toUrlString(EKUtil::QuoteMode mode) const {
  const UnicodeString quoted = EKUtil::quoteString(toString(), mode);
  return isUriString() ? UnicodeString(u"url(").append(quoted).append(u')') : quoted;
}

EKName EKValue::toEKName() const { return isName() ? EKName(m_payload.name) : EKName(toString()); }

UnicodeString EKValue::getUnitString(EKUnitType unit) {
  return EKUtil::toUnitName(unit).toString();
}

// --- Colours as values ------------------------------------------------------------------------

namespace {

EKValue real(float x) { return EKValue(x, UNIT_NUMBER); }
EKValue colorInt(uint32_t rgb) { return EKValue(static_cast<int>(rgb), UNIT_COLOR); }

void setComponents(EKNamedValueMap& map, const EKNameEnum (&names)[4], const float* values, int count) {
  for (int i = 0; i < count; ++i)
    map.setNamedItem(names[i], real(values[i]));
}

const EKNameEnum CMYK_NAMES[4] = {EKN_cyan, EKN_magenta, EKN_yellow, EKN_black};
const EKNameEnum RGB_NAMES[4] = {EKN_red, EKN_green, EKN_blue, EKN_EMPTY};
const EKNameEnum HSL_NAMES[4] = {EKN_hue, EKN_saturation, EKN_lightness, EKN_EMPTY};

// The items: the sRGB integer under the empty name, the colour space under "type", the alpha,
// a separately given fallback under "fallback", and the components of the space.
EKValue colorCompound(const EKColor& color) {
  EKPtr<EKNamedValueMap> map(new EKNamedValueMap());
  map->setNamedItem(EKName(), colorInt(color.getRGB()));
  if (color.hasAlpha())
    map->setNamedItem(EKN_alpha, real(color.getAlpha()));
  EKName space;
  bool fallback = false;
  if (color.isRGBex()) {
    space = EKN_rgb;
    const float rgb[3] = {color.getRex(), color.getGex(), color.getBex()};
    setComponents(*map, RGB_NAMES, rgb, 3);
  } else if (color.isHSL()) {
    space = EKN_HSL;
    const float hsl[3] = {color.getH(), color.getS(), color.getL()};
    setComponents(*map, HSL_NAMES, hsl, 3);
  } else if (color.isCMYK()) {
    space = EKN_CMYK;
    fallback = color.hasCMYKRGB();
    const float cmyk[4] = {color.getC(), color.getM(), color.getY(), color.getK()};
    setComponents(*map, CMYK_NAMES, cmyk, 4);
  } else if (color.isGrayscale()) {
    space = EKN_GRAYSCALE;
    fallback = color.hasGrayscaleRGB();
    map->setNamedItem(EKN_gray, real(color.getGray()));
  } else if (color.isSeparation()) {
    space = EKN_SEPARATION;
    fallback = color.hasSeparationRGB();
    map->setNamedItem(EKN_name, EKValue(color.getSeparationColorName(), UNIT_STRING));
    if (color.hasSeparationTint())
      map->setNamedItem(EKN_value, real(color.getSeparationTint()));
    if (color.hasSeparationCMYK()) {
      const float cmyk[4] = {color.getSeparationC(), color.getSeparationM(),
                             color.getSeparationY(), color.getSeparationK()};
      setComponents(*map, CMYK_NAMES, cmyk, 4);
    }
  } else if (color.isICCColorProfile()) {
    space = EKN_icc_color;
    map->setNamedItem(EKN_icc_color, EKValue(color.getICCColorProfileName(), UNIT_STRING));
    EKValue components;
    for (int i = 0; i < color.getICCValueCount(); ++i)
      components.addItem(real(color.getICCValue(i)));
    map->setNamedItem(EKN_value, components);
  } else {
    space = EKN_RGBA;
  }
  map->setNamedItem(EKN_type, EKValue(space));
  if (fallback)
    map->setNamedItem(EKN_fallback, colorInt(color.getRGB()));
  EKValue value(map.get());
  value.setUnitType(UNIT_COLOR);
  return value;
}

float componentOf(const EKNamedValueMap& map, EKNameEnum name, float otherwise) {
  EKValue v;
  return map.getNamedItemFast(name, v) && v.isNumeric() ? v.getRealValue() : otherwise;
}

EKColor colorFromCompound(const EKNamedValueMap& map) {
  EKValue item;
  const uint32_t rgb = map.getNamedItemFast(EKN_EMPTY, item) ? static_cast<uint32_t>(item.getIntegerValue()) : 0;
  const bool hasFallback = map.hasNamedItem(EKN_fallback);
  const EKColor fallback(rgb);
  auto get = [&map](EKNameEnum name) { return componentOf(map, name, 0); };
  EKColor color(rgb);
  map.getNamedItemFast(EKN_type, item);
  switch (static_cast<EKNameEnum>(item.getNameValue())) {
  case EKN_rgb: color.setRGBex(get(EKN_red), get(EKN_green), get(EKN_blue), false); break;
  case EKN_HSL: color.setHSL(get(EKN_hue), get(EKN_saturation), get(EKN_lightness), false); break;
  case EKN_CMYK:
    color = hasFallback ? EKColor(fallback, get(EKN_cyan), get(EKN_magenta), get(EKN_yellow), get(EKN_black))
                        : EKColor(get(EKN_cyan), get(EKN_magenta), get(EKN_yellow), get(EKN_black));
    break;
  case EKN_GRAYSCALE:
    color = hasFallback ? EKColor(fallback, get(EKN_gray)) : EKColor(get(EKN_gray));
    break;
  case EKN_SEPARATION: {
    const UnicodeString name = map.getNamedItem(EKN_name).getStringValue();
    const bool hasTint = map.hasNamedItem(EKN_value);
    const bool hasCMYK = map.hasNamedItem(EKN_cyan);
    const float tint = componentOf(map, EKN_value, 1);
    if (hasCMYK)
      color = hasFallback ? EKColor(fallback, name, tint, get(EKN_cyan), get(EKN_magenta), get(EKN_yellow), get(EKN_black))
                          : EKColor(name, tint, get(EKN_cyan), get(EKN_magenta), get(EKN_yellow), get(EKN_black));
    else
      color = hasFallback ? EKColor(fallback, name, tint) : EKColor(name, tint);
    color.adjustSeparationFlags(hasFallback, hasTint, hasCMYK, !hasFallback);
    break;
  }
  case EKN_icc_color: {
    const EKValue components = map.getNamedItem(EKN_value);
    float v[4] = {0, 0, 0, 0};
    const int count = components.getArrayCount() < 4 ? components.getArrayCount() : 4;
    for (int i = 0; i < count; ++i) {
      const EKValue component = components.getNthItem(i);
      v[i] = component.isNumeric() ? component.getRealValue() : 0;
    }
    color = EKColor(fallback, EKName(map.getNamedItem(EKN_icc_color).getStringValue()), v[0], v[1], v[2], v[3], count);
    break;
  }
  default: break;
  }
  color.setAlpha(componentOf(map, EKN_alpha, EKColor::NO_ALPHA), false);
  return color;
}

} // namespace

} // namespace EKCommonNS
