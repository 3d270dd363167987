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

using Symbols = std::vector<EKUtil::CounterStyle::Symbol>;

// A representation being written, kept on the stack up to the length limit so that formatting
// allocates nothing before the result string.
class Representation {
public:
  // Appends `symbol` `count` times; false, leaving the text as it was, when the text would
  // reach the limit.
  bool append(const EKUtil::CounterStyle::Symbol& symbol, uint64_t count = 1) {
    if (symbol.isUrl()) {
      UnicodeString scratch;
      return append(textOf(symbol, scratch), count);
    }
    return append(symbol.getText(), count);
  }
  bool append(const UnicodeString& s, uint64_t count = 1) {
    const int32_t length = s.length();
    if (count == 0 || length == 0)
      return true;
    if (count >= static_cast<uint64_t>(MAX_REPRESENTATION) ||
        m_length + static_cast<int64_t>(count) * length >= MAX_REPRESENTATION)
      return false;
    const char16_t* units = s.getBuffer();
    for (uint64_t i = 0; i < count; ++i) {
      std::copy(units, units + length, m_text + m_length);
      m_length += length;
    }
    return true;
  }
  UnicodeString toString() const { return UnicodeString(m_text, m_length); }

private:
  char16_t m_text[MAX_REPRESENTATION];
  int32_t m_length = 0;
};

// The digits of `n` in base `base`, most significant first, as symbol indexes; `bijective`
// numbers without a zero digit (alphabetic). Returns the digit count.
template <typename Unsigned> int toDigits(Unsigned n, Unsigned base, bool bijective, size_t (&digits)[64]) {
  int count = 0;
  if (n == 0 && !bijective)
    digits[count++] = 0;
  while (n > 0) {
    if (bijective)
      --n;
    digits[count++] = static_cast<size_t>(n % base);
    n /= base;
  }
  for (int i = 0, j = count - 1; i < j; ++i, --j)
    std::swap(digits[i], digits[j]);
  return count;
}

bool appendDigits(Representation& text, const Symbols& symbols, uint64_t n, bool bijective) {
  size_t digits[64];
  // 32-bit division where it suffices: it is several times faster than 64-bit division.
  const int count = n <= UINT32_MAX && symbols.size() <= UINT32_MAX
                        ? toDigits<uint32_t>(static_cast<uint32_t>(n), static_cast<uint32_t>(symbols.size()), bijective, digits)
                        : toDigits<uint64_t>(n, symbols.size(), bijective, digits);
  for (int i = 0; i < count; ++i) {
    if (!text.append(symbols[digits[i]]))
      return false;
  }
  return true;
}

// The Chinese systems of CSS: digits with the marks of ten, hundred and thousand, zeros
// collapsed to one and trailing zeros dropped; the informal styles write 10 to 19 without the
// leading one. Symbols: digits 0 to 9, then the three marks. Up to 9999.
bool appendChinese(Representation& text, const Symbols& symbols, uint64_t n, bool informal) {
  if (symbols.size() < 13 || n > 9999)
    return false;
  if (n == 0)
    return text.append(symbols[0]);
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
      text.append(symbols[0]);
    pendingZero = false;
    started = true;
    const bool dropOne = informal && position == 1 && n >= 10 && n <= 19;
    if (!dropOne)
      text.append(symbols[digit[i]]);
    if (position > 0)
      text.append(symbols[static_cast<size_t>(9 + position)]);
  }
  return true;
}

// The Ethiopic numerals of CSS: groups of two digits from the least significant; odd groups
// carry the hundred mark, even groups (but the last) the myriad mark; a group of value one
// is written by its mark alone when it is the most significant group or an odd one.
// Symbols: units 1 to 9, tens 10 to 90, the hundred mark, the myriad mark.
bool appendEthiopic(Representation& text, const Symbols& symbols, uint64_t n) {
  if (symbols.size() < 20 || n == 0)
    return false;
  if (n == 1)
    return text.append(symbols[0]);
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
        text.append(symbols[9 + value / 10 - 1]);
      if (value % 10 > 0)
        text.append(symbols[value % 10 - 1]);
    }
    if (odd && value != 0)
      text.append(symbols[18]);
    else if (!odd && index > 0)
      text.append(symbols[19]);
  }
  return true;
}

bool appendKansuji(Representation& text, const Symbols& symbols, uint64_t n) {
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
  return text.append(result);
}

// The style's representation of `value` by its system, without padding, sign and affixes;
// false when the system cannot represent it.
bool represent(const EKUtil::CounterStyle& style, int64_t value, Representation& text, bool& negative) {
  const EKName system = style.getSystem();
  const Symbols& symbols = style.getSymbols();
  const size_t count = symbols.size();
  negative = false;
  if (system == EKN_cyclic) {
    if (count == 0)
      return false;
    const int64_t n = static_cast<int64_t>(count);
    return text.append(symbols[static_cast<size_t>((value % n + n - 1) % n)]);
  }
  if (system == EKN_fixed) {
    if (value < style.getFirst())
      return false;
    const uint64_t index = static_cast<uint64_t>(value) - static_cast<uint64_t>(static_cast<int64_t>(style.getFirst()));
    return index < count && text.append(symbols[static_cast<size_t>(index)]);
  }
  if (system == EKN_symbolic) {
    if (count == 0 || value < 1)
      return false;
    const uint64_t n = static_cast<uint64_t>(value) - 1;
    return text.append(symbols[n % count], n / count + 1);
  }
  if (system == EKN_alphabetic)
    return count >= 2 && value >= 1 && appendDigits(text, symbols, static_cast<uint64_t>(value), true);

  // The remaining systems write the magnitude and leave the sign to finishString.
  negative = value < 0;
  const uint64_t n = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  if (system == EKN_numeric)
    return count >= 2 && appendDigits(text, symbols, n, false);
  if (system == EKN_additive) {
    if (style.getAdditiveSymbols().empty())
      return false;
    if (n == 0) {
      const EKUtil::CounterStyle::IntSymbol& last = style.getAdditiveSymbols().back();
      return last.first == 0 && text.append(last.second);
    }
    uint64_t rest = n;
    for (const EKUtil::CounterStyle::IntSymbol& symbol : style.getAdditiveSymbols()) {
      if (symbol.first <= 0 || rest < static_cast<uint64_t>(symbol.first))
        continue;
      // Subtracting is much cheaper than dividing for the few repeats of real numbers; a huge
      // quotient (which will be over the length limit) is divided out.
      const uint64_t weight = static_cast<uint64_t>(symbol.first);
      uint64_t times = 0;
      for (; rest >= weight && times < MAX_REPRESENTATION; ++times)
        rest -= weight;
      if (rest >= weight) {
        times += rest / weight;
        rest %= weight;
      }
      if (!text.append(symbol.second, times))
        return false;
    }
    return rest == 0;
  }
  if (system == EKN_trad_chinese_informal || system == EKN_simp_chinese_informal)
    return appendChinese(text, symbols, n, true);
  if (system == EKN_trad_chinese_formal || system == EKN_simp_chinese_formal)
    return appendChinese(text, symbols, n, false);
  if (system == EKN_ethiopic_numeric)
    return appendEthiopic(text, symbols, n);
  if (system == EKN_kansuji)
    return appendKansuji(text, symbols, n);
  return false;
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

void EKUtil::CounterStyle::prepareDecimalDigits() {
  m_decimalDigits.clear();
  if (m_system != EKN_additive)
    return;
  std::vector<UnicodeString> table(40);
  for (int k = 0, power = 1; k < 4; ++k, power *= 10) {
    for (int d = 1; d <= 9; ++d) {
      Representation text;
      bool negative = false;
      if (!represent(*this, d * power, text, negative))
        return;
      table[static_cast<size_t>(10 * k + d)] = text.toString();
    }
  }
  for (int n = 1; n <= 9999; ++n) {
    Representation text;
    bool negative = false;
    if (!represent(*this, n, text, negative) ||
        text.toString() != UnicodeString(table[static_cast<size_t>(30 + n / 1000)])
                                .append(table[static_cast<size_t>(20 + n / 100 % 10)])
                                .append(table[static_cast<size_t>(10 + n / 10 % 10)])
                                .append(table[static_cast<size_t>(n % 10)]))
      return;
  }
  m_decimalDigits.swap(table);
}

UnicodeString EKUtil::CounterStyle::formatNumber(int64_t value, Resolver resolve, void* context,
                                                 bool bare) const {
  if (!m_decimalDigits.empty() && value != 0 && value >= -9999 && value <= 9999 && checkRange(value)) {
    const bool negative = value < 0;
    const unsigned n = static_cast<unsigned>(negative ? -value : value);
    Representation text;
    text.append(m_decimalDigits[30 + n / 1000]);
    text.append(m_decimalDigits[20 + n / 100 % 10]);
    text.append(m_decimalDigits[10 + n / 10 % 10]);
    text.append(m_decimalDigits[n % 10]);
    if (bare && !negative && m_pad.first <= 0)
      return text.toString();
    return finishString(text.toString(), negative, bare);
  }
  if (value == 0 && !m_zero.isEmpty()) {
    UnicodeString scratch;
    return finishString(textOf(m_zero, scratch), false, bare);
  }
  if (checkRange(value)) {
    Representation text;
    bool negative = false;
    if (represent(*this, value, text, negative)) {
      if (bare && !negative && m_pad.first <= 0)
        return text.toString();
      return finishString(text.toString(), negative, bare);
    }
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
