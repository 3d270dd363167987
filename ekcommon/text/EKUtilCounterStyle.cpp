// Counter styles: the algorithms of the counter systems, ranges, padding, negative signs and
// the fallback chain.
#include "ekcommon/text/EKUtil.h"

#include "ekcommon/text/internal/EKKansuji.h"

#include <unicode/utf16.h>

#include <algorithm>
#include <string>
#include <tuple>

namespace EKCommonNS {

namespace {

// Representations reaching this many UTF-16 units are given up for the fallback, so that a
// huge value in a symbolic or additive style cannot eat memory.
constexpr int32_t MAX_REPRESENTATION = 1000;
// Fallback chains longer than this end at "decimal" even without a loop (a resolver may build
// a new style on every call).
constexpr int MAX_FALLBACK_DEPTH = 16;

// The styles the calling thread has gone to the fallback of, innermost first. Predefined styles
// are shared by every thread, so the in-use mark lives with the thread, not in the style.
struct InUseFrame {
  const EKUtil::CounterStyle* style;
  const InUseFrame* outer;
  int depth;
};
thread_local const InUseFrame* t_inUse = nullptr;

class InUseMark {
public:
  explicit InUseMark(const EKUtil::CounterStyle* style)
      : m_frame{style, t_inUse, t_inUse ? t_inUse->depth + 1 : 1} {
    t_inUse = &m_frame;
  }
  ~InUseMark() { t_inUse = m_frame.outer; }
  InUseMark(const InUseMark&) = delete;
  InUseMark& operator=(const InUseMark&) = delete;
  int depth() const { return m_frame.depth; }

private:
  InUseFrame m_frame;
};

const UnicodeString& textOf(const EKUtil::CounterStyle::Symbol& symbol, UnicodeString& scratch) {
  if (!symbol.isUrl())
    return symbol.getText();
  scratch = EKUtil::quoteUri(symbol.getText());
  return scratch;
}

// Appends `symbol` `count` times unless the text would reach the limit.
bool appendSymbol(UnicodeString& text, const EKUtil::CounterStyle::Symbol& symbol, uint64_t count) {
  UnicodeString scratch;
  const UnicodeString& s = textOf(symbol, scratch);
  if (count == 0 || s.isEmpty())
    return true;
  if (count >= static_cast<uint64_t>(MAX_REPRESENTATION) ||
      text.length() + static_cast<int64_t>(count) * s.length() >= MAX_REPRESENTATION)
    return false;
  for (uint64_t i = 0; i < count; ++i)
    text.append(s);
  return true;
}

// The digits of `n` in base `base`, most significant first, as symbol indexes; `bijective`
// numbers without a zero digit (alphabetic). Returns the digit count.
int toDigits(uint64_t n, uint64_t base, bool bijective, size_t (&digits)[64]) {
  int count = 0;
  if (n == 0 && !bijective)
    digits[count++] = 0;
  while (n > 0) {
    if (bijective) {
      --n;
      digits[count++] = static_cast<size_t>(n % base);
    } else {
      digits[count++] = static_cast<size_t>(n % base);
    }
    n /= base;
  }
  for (int i = 0, j = count - 1; i < j; ++i, --j)
    std::swap(digits[i], digits[j]);
  return count;
}

bool appendDigits(UnicodeString& text, const std::vector<EKUtil::CounterStyle::Symbol>& symbols,
                  uint64_t n, bool bijective) {
  size_t digits[64];
  const int count = toDigits(n, symbols.size(), bijective, digits);
  for (int i = 0; i < count; ++i) {
    if (!appendSymbol(text, symbols[digits[i]], 1))
      return false;
  }
  return true;
}

// The Chinese systems of CSS: digits with the marks of ten, hundred and thousand, zeros
// collapsed to one and trailing zeros dropped; the informal styles write 10 to 19 without the
// leading one. Symbols: digits 0 to 9, then the three marks. Up to 9999.
bool appendChinese(UnicodeString& text, const std::vector<EKUtil::CounterStyle::Symbol>& symbols,
                   uint64_t n, bool informal) {
  if (symbols.size() < 13 || n > 9999)
    return false;
  if (n == 0)
    return appendSymbol(text, symbols[0], 1);
  const unsigned digit[4] = {static_cast<unsigned>(n / 1000), static_cast<unsigned>(n / 100 % 10),
                             static_cast<unsigned>(n / 10 % 10), static_cast<unsigned>(n % 10)};
  bool started = false;
  bool pendingZero = false;
  for (int i = 0; i < 4; ++i) {
    const int position = 3 - i; // power of ten
    if (digit[i] == 0) {
      pendingZero = started;
      continue;
    }
    if (pendingZero)
      appendSymbol(text, symbols[0], 1);
    pendingZero = false;
    started = true;
    const bool dropOne = informal && position == 1 && n >= 10 && n <= 19;
    if (!dropOne)
      appendSymbol(text, symbols[digit[i]], 1);
    if (position > 0)
      appendSymbol(text, symbols[static_cast<size_t>(9 + position)], 1);
  }
  return true;
}

// The Ethiopic numerals of CSS: groups of two digits from the least significant; odd groups
// carry the hundred mark, even groups (but the last) the myriad mark; a group of value one
// is written by its mark alone when it is the most significant group or an odd one.
// Symbols: units 1 to 9, tens 10 to 90, the hundred mark, the myriad mark.
bool appendEthiopic(UnicodeString& text, const std::vector<EKUtil::CounterStyle::Symbol>& symbols,
                    uint64_t n) {
  if (symbols.size() < 20 || n == 0)
    return false;
  if (n == 1)
    return appendSymbol(text, symbols[0], 1);
  unsigned groups[10];
  int count = 0;
  for (uint64_t rest = n; rest > 0; rest /= 100)
    groups[count++] = static_cast<unsigned>(rest % 100);
  for (int index = count - 1; index >= 0; --index) {
    const unsigned value = groups[index];
    const bool odd = index % 2 == 1;
    const bool markOnly = value == 0 || (value == 1 && (index == count - 1 || odd));
    if (!markOnly) {
      if (value / 10 > 0)
        appendSymbol(text, symbols[9 + value / 10 - 1], 1);
      if (value % 10 > 0)
        appendSymbol(text, symbols[value % 10 - 1], 1);
    }
    if (odd && value != 0)
      appendSymbol(text, symbols[18], 1);
    else if (!odd && index > 0)
      appendSymbol(text, symbols[19], 1);
  }
  return true;
}

bool appendKansuji(UnicodeString& text, const std::vector<EKUtil::CounterStyle::Symbol>& symbols,
                   uint64_t n) {
  if (symbols.size() < 10)
    return false;
  const kansuji::Variant variant = symbols.size() == 22   ? kansuji::Variant::GROUPING
                                   : symbols.size() == 25 ? kansuji::Variant::READABLE
                                                          : kansuji::Variant::SIMPLE;
  UnicodeString strings[25];
  for (size_t i = 0; i < symbols.size() && i < 25; ++i) {
    UnicodeString scratch;
    strings[i] = textOf(symbols[i], scratch);
  }
  const std::string decimal = std::to_string(n);
  const std::u16string decimal16(decimal.begin(), decimal.end());
  const size_t unitCount = variant == kansuji::Variant::SIMPLE ? 0 : symbols.size() - 10;
  const UnicodeString result = kansuji::convert(decimal16.data(), static_cast<int32_t>(decimal16.size()),
                                                variant, strings, strings + 10, unitCount);
  if (text.length() + result.length() >= MAX_REPRESENTATION)
    return false;
  text.append(result);
  return true;
}

} // namespace

EKUtil::CounterStyle::CounterStyle(EKName system) : m_system(system), m_fallback(EKN_decimal) {}

bool EKUtil::CounterStyle::operator<(const CounterStyle& other) const {
  return std::tie(m_system, m_first, m_symbols, m_additiveSymbols, m_hasNegative, m_negative,
                  m_prefix, m_suffix, m_pad, m_zero, m_hasRange, m_ranges, m_fallback, m_predefined) <
         std::tie(other.m_system, other.m_first, other.m_symbols, other.m_additiveSymbols,
                  other.m_hasNegative, other.m_negative, other.m_prefix, other.m_suffix, other.m_pad,
                  other.m_zero, other.m_hasRange, other.m_ranges, other.m_fallback, other.m_predefined);
}

void EKUtil::CounterStyle::addSymbols(std::initializer_list<int> codePoints) {
  for (int c : codePoints)
    m_symbols.emplace_back(c);
}

void EKUtil::CounterStyle::addSymbols(const char* utf8) {
  const UnicodeString text = UnicodeString::fromUTF8(utf8 ? utf8 : "");
  addSymbols(text.getBuffer(), text.length());
}

void EKUtil::CounterStyle::addSymbols(const char16_t* text, int32_t count) {
  for (int32_t i = 0; text && i < count;) {
    UChar32 c;
    U16_NEXT(text, i, count, c);
    m_symbols.emplace_back(c);
  }
}

void EKUtil::CounterStyle::addRange(int64_t low, int64_t high) {
  m_ranges.emplace_back(low, high);
  m_hasRange = true;
}

void EKUtil::CounterStyle::setNegative(const Symbol& prefix, const Symbol& suffix) {
  m_negative = {prefix, suffix};
  m_hasNegative = true;
}

bool EKUtil::CounterStyle::isInUse() const {
  for (const InUseFrame* frame = t_inUse; frame; frame = frame->outer) {
    if (frame->style == this)
      return true;
  }
  return false;
}

bool EKUtil::CounterStyle::checkRange(int64_t value) const {
  if (m_hasRange) {
    for (const Range& range : m_ranges) {
      if (value >= range.first && value <= range.second)
        return true;
    }
    return false;
  }
  if (m_system == EKN_alphabetic || m_system == EKN_symbolic)
    return value >= 1;
  if (m_system == EKN_additive)
    return value >= 0;
  return true;
}

bool EKUtil::CounterStyle::represent(int64_t value, UnicodeString& text, bool& negative) const {
  const size_t count = m_symbols.size();
  negative = false;
  if (m_system == EKN_cyclic) {
    if (count == 0)
      return false;
    const int64_t n = static_cast<int64_t>(count);
    return appendSymbol(text, m_symbols[static_cast<size_t>((value % n + n - 1) % n)], 1);
  }
  if (m_system == EKN_fixed) {
    if (value < m_first)
      return false;
    const uint64_t index = static_cast<uint64_t>(value) - static_cast<uint64_t>(static_cast<int64_t>(m_first));
    return index < count && appendSymbol(text, m_symbols[static_cast<size_t>(index)], 1);
  }
  if (m_system == EKN_symbolic) {
    if (count == 0 || value < 1)
      return false;
    const uint64_t n = static_cast<uint64_t>(value) - 1;
    return appendSymbol(text, m_symbols[n % count], n / count + 1);
  }
  if (m_system == EKN_alphabetic)
    return count >= 2 && value >= 1 && appendDigits(text, m_symbols, static_cast<uint64_t>(value), true);

  // The remaining systems write the magnitude and leave the sign to finishString.
  negative = value < 0;
  const uint64_t n = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  if (m_system == EKN_numeric)
    return count >= 2 && appendDigits(text, m_symbols, n, false);
  if (m_system == EKN_additive) {
    if (m_additiveSymbols.empty())
      return false;
    if (n == 0) {
      const IntSymbol& last = m_additiveSymbols.back();
      return last.first == 0 && appendSymbol(text, last.second, 1);
    }
    uint64_t rest = n;
    for (const IntSymbol& symbol : m_additiveSymbols) {
      if (symbol.first <= 0 || rest < static_cast<uint64_t>(symbol.first))
        continue;
      const uint64_t times = rest / static_cast<uint64_t>(symbol.first);
      if (!appendSymbol(text, symbol.second, times))
        return false;
      rest -= times * static_cast<uint64_t>(symbol.first);
    }
    return rest == 0;
  }
  if (m_system == EKN_trad_chinese_informal || m_system == EKN_simp_chinese_informal)
    return appendChinese(text, m_symbols, n, true);
  if (m_system == EKN_trad_chinese_formal || m_system == EKN_simp_chinese_formal)
    return appendChinese(text, m_symbols, n, false);
  if (m_system == EKN_ethiopic_numeric)
    return appendEthiopic(text, m_symbols, n);
  if (m_system == EKN_kansuji)
    return appendKansuji(text, m_symbols, n);
  return false;
}

UnicodeString EKUtil::CounterStyle::formatNumber(int64_t value, Resolver resolve, void* context,
                                                 bool bare) const {
  if (value == 0 && !m_zero.isEmpty()) {
    UnicodeString scratch;
    return finishString(textOf(m_zero, scratch), false, bare);
  }
  if (checkRange(value)) {
    UnicodeString text;
    bool negative = false;
    if (represent(value, text, negative))
      return finishString(text, negative, bare);
  }
  return formatFallback(value, resolve, context, bare);
}

UnicodeString EKUtil::CounterStyle::formatFallback(int64_t value, Resolver resolve, void* context,
                                                   bool bare) const {
  const InUseMark mark(this);
  const CounterStyle* fallback = resolve ? resolve(m_fallback, context) : nullptr;
  if (!fallback || fallback->isInUse() || mark.depth() > MAX_FALLBACK_DEPTH)
    fallback = getPredefinedCounterStyle(EKName(EKN_decimal), nullptr);
  UnicodeString text = fallback->formatNumber(value, resolve, context, true);
  if (bare)
    return text;
  UnicodeString prefix, suffix;
  return UnicodeString(textOf(m_prefix, prefix)).append(text).append(textOf(m_suffix, suffix));
}

UnicodeString EKUtil::CounterStyle::finishString(const UnicodeString& text, bool negative,
                                                 bool bare) const {
  UnicodeString result;
  UnicodeString scratch;
  const UnicodeString& pad = textOf(m_pad.second, scratch);
  const int32_t length = text.countChar32();
  const int32_t padLength = pad.countChar32();
  // A pad beyond the representation limit is cut there, like any representation.
  const int32_t wanted = std::min(m_pad.first, MAX_REPRESENTATION);
  if (wanted > length && padLength > 0) {
    for (int32_t times = (wanted - length + padLength - 1) / padLength; times > 0; --times)
      result.append(pad);
  }
  result.append(text);
  if (negative) {
    if (m_hasNegative) {
      UnicodeString before, after;
      result = UnicodeString(textOf(m_negative.first, before)).append(result).append(textOf(m_negative.second, after));
    } else {
      result.insert(0, u'-');
    }
  }
  if (!bare) {
    UnicodeString before, after;
    result = UnicodeString(textOf(m_prefix, before)).append(result).append(textOf(m_suffix, after));
  }
  return result;
}

} // namespace EKCommonNS
