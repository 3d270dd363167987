// The predefined styles against the @counter-style rules they are generated from: a reader of
// its own here applies the counter-style algorithm to the rules and every style must agree.
// The complex styles, whose algorithms are not rules, are checked against published tables.
#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace EKCommonNS;

namespace {

using Text = std::u32string;

Text toText(const UnicodeString& s) {
  Text out;
  for (int32_t i = 0; i < s.length(); i = s.moveIndex32(i, 1))
    out += static_cast<char32_t>(s.char32At(i));
  return out;
}

UnicodeString fromText(const Text& t) {
  UnicodeString out;
  for (char32_t c : t)
    out.append(static_cast<UChar32>(c));
  return out;
}

bool isSpace(char32_t c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

int hexValue(char32_t c) {
  if (c >= '0' && c <= '9')
    return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f')
    return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F')
    return static_cast<int>(c - 'A' + 10);
  return -1;
}

// One descriptor value as a list of words: quoted strings and bare words with their escapes
// resolved, numbers, and "," for commas. A space after a hexadecimal escape belongs to the
// escape; outside quotes it also ends the word, as the rules write symbol lists that way.
std::vector<Text> words(const Text& value) {
  std::vector<Text> out;
  size_t i = 0;
  auto escape = [&](Text& into) -> bool {
    ++i; // the backslash
    if (i < value.size() && hexValue(value[i]) >= 0) {
      char32_t c = 0;
      for (int n = 0; n < 6 && i < value.size() && hexValue(value[i]) >= 0; ++n, ++i)
        c = c * 16 + static_cast<char32_t>(hexValue(value[i]));
      into += c;
      if (i < value.size() && isSpace(value[i])) {
        ++i;
        return true;
      }
      return false;
    }
    if (i < value.size())
      into += value[i++];
    return false;
  };
  while (i < value.size()) {
    const char32_t c = value[i];
    if (isSpace(c)) {
      ++i;
    } else if (c == ',') {
      out.push_back(U",");
      ++i;
    } else if (c == '\'' || c == '"') {
      Text word;
      for (++i; i < value.size() && value[i] != c;) {
        if (value[i] == '\\')
          escape(word);
        else
          word += value[i++];
      }
      ++i;
      out.push_back(word);
    } else {
      Text word;
      while (i < value.size() && !isSpace(value[i]) && value[i] != ',' && value[i] != '\'' && value[i] != '"') {
        if (value[i] == '\\') {
          if (escape(word))
            break;
        } else {
          word += value[i++];
        }
      }
      out.push_back(word);
    }
  }
  return out;
}

long long toNumber(const Text& word) {
  if (word == U"infinite")
    return LLONG_MAX;
  return std::stoll(std::string(word.begin(), word.end()));
}

struct Rule {
  std::string system;
  std::string extends;
  long long first = 1;
  std::vector<Text> symbols;
  std::vector<std::pair<long long, Text>> additive;
  Text negativePrefix = U"-", negativeSuffix, prefix, suffix = U". ";
  std::vector<std::pair<long long, long long>> ranges;
  std::string fallback = "decimal";
  std::map<std::string, Text> descriptors;
};

std::string narrow(const Text& t) {
  return utf8(fromText(t));
}

class RuleBook {
public:
  void read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    Text all = toText(UnicodeString::fromUTF8(buffer.str()));
    // Comments out.
    for (size_t open = all.find(U"/*"); open != Text::npos; open = all.find(U"/*"))
      all.erase(open, all.find(U"*/", open) + 2 - open);
    for (size_t at = all.find(U"@counter-style"); at != Text::npos; at = all.find(U"@counter-style", at)) {
      const size_t open = all.find(U'{', at), close = all.find(U'}', open);
      Text name = all.substr(at + 14, open - at - 14);
      name.erase(0, name.find_first_not_of(U" \t\r\n"));
      name.erase(name.find_last_not_of(U" \t\r\n") + 1);
      Rule& rule = m_raw[narrow(name)];
      const Text body = all.substr(open + 1, close - open - 1);
      // Descriptors end at a ';' outside quotes.
      size_t start = 0;
      char32_t quote = 0;
      for (size_t i = 0; i <= body.size(); ++i) {
        const char32_t c = i < body.size() ? body[i] : U';';
        if (quote) {
          quote = c == quote ? 0 : quote;
        } else if (c == '\'' || c == '"') {
          quote = c;
        } else if (c == ';') {
          const Text declaration = body.substr(start, i - start);
          const size_t colon = declaration.find(U':');
          if (colon != Text::npos) {
            Text key = declaration.substr(0, colon);
            key.erase(0, key.find_first_not_of(U" \t\r\n"));
            key.erase(key.find_last_not_of(U" \t\r\n") + 1);
            rule.descriptors[narrow(key)] = declaration.substr(colon + 1);
          }
          start = i + 1;
        }
      }
      at = close;
    }
  }

  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& entry : m_raw)
      out.push_back(entry.first);
    return out;
  }

  // The rule with "extends" resolved and every descriptor read.
  const Rule& rule(const std::string& name) const {
    auto cached = m_read.find(name);
    if (cached == m_read.end())
      cached = m_read.emplace(name, readRule(name)).first;
    return cached->second;
  }

  Rule readRule(const std::string& name) const {
    const Rule& raw = m_raw.at(name);
    const std::vector<Text> system = words(raw.descriptors.at("system"));
    Rule rule;
    if (system[0] == U"extends") {
      rule = this->rule(narrow(system[1]));
    } else {
      rule.system = narrow(system[0]);
      if (system.size() > 1)
        rule.first = toNumber(system[1]);
    }
    for (const auto& descriptor : raw.descriptors) {
      const std::vector<Text> value = words(descriptor.second);
      const std::string& key = descriptor.first;
      if (key == "symbols") {
        rule.symbols = value;
      } else if (key == "additive-symbols") {
        rule.additive.clear();
        for (size_t i = 0; i + 1 < value.size(); i += 3)
          rule.additive.emplace_back(toNumber(value[i]), value[i + 1]);
      } else if (key == "range") {
        rule.ranges.clear();
        for (size_t i = 0; i + 1 < value.size(); i += 3)
          rule.ranges.emplace_back(value[i] == U"infinite" ? LLONG_MIN : toNumber(value[i]), toNumber(value[i + 1]));
      } else if (key == "negative") {
        rule.negativePrefix = value.at(0);
        rule.negativeSuffix = value.size() > 1 ? value[1] : Text();
      } else if (key == "prefix") {
        rule.prefix = value.at(0);
      } else if (key == "suffix") {
        rule.suffix = value.at(0);
      } else if (key == "fallback") {
        rule.fallback = narrow(value.at(0));
      }
    }
    return rule;
  }

  bool isSimple(const std::string& name) const {
    static const std::set<std::string> simple = {"cyclic", "numeric", "alphabetic", "symbolic", "additive", "fixed"};
    return simple.count(rule(name).system) > 0;
  }

  // The representation without prefix and suffix, falling back as the rules say; `active` holds
  // the styles whose fallback is being followed.
  Text represent(const std::string& name, long long value, std::set<std::string>& active) const {
    const Rule& r = rule(name);
    Text out;
    bool ok = inRange(r, value);
    const bool signed_ = value < 0 && (r.system == "numeric" || r.system == "additive" ||
                                       r.system == "alphabetic" || r.system == "symbolic");
    const unsigned long long n = signed_ ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    const size_t count = r.symbols.size();
    if (ok && r.system == "cyclic") {
      const long long m = static_cast<long long>(count);
      out = r.symbols[static_cast<size_t>(((value - 1) % m + m) % m)];
    } else if (ok && r.system == "fixed") {
      const unsigned long long index = static_cast<unsigned long long>(value) - static_cast<unsigned long long>(r.first);
      ok = value >= r.first && index < count;
      if (ok)
        out = r.symbols[index];
    } else if (ok && r.system == "symbolic") {
      for (unsigned long long k = 0; k < (n - 1) / count + 1; ++k)
        out += r.symbols[(n - 1) % count];
    } else if (ok && r.system == "alphabetic") {
      for (unsigned long long rest = n; rest > 0; rest = (rest - 1) / count)
        out = r.symbols[(rest - 1) % count] + out;
    } else if (ok && r.system == "numeric") {
      if (n == 0)
        out = r.symbols[0];
      for (unsigned long long rest = n; rest > 0; rest /= count)
        out = r.symbols[rest % count] + out;
    } else if (ok && r.system == "additive") {
      if (n == 0) {
        ok = !r.additive.empty() && r.additive.back().first == 0;
        if (ok)
          out = r.additive.back().second;
      } else {
        unsigned long long rest = n;
        for (const auto& tuple : r.additive) {
          for (; tuple.first > 0 && rest >= static_cast<unsigned long long>(tuple.first); rest -= static_cast<unsigned long long>(tuple.first))
            out += tuple.second;
        }
        ok = rest == 0;
      }
    }
    if (!ok) {
      active.insert(name);
      const std::string next = active.count(r.fallback) || !m_raw.count(r.fallback) ? "decimal" : r.fallback;
      return represent(next, value, active);
    }
    return signed_ ? r.negativePrefix + out + r.negativeSuffix : out;
  }

  Text marker(const std::string& name, long long value) const {
    std::set<std::string> active;
    const Rule r = rule(name);
    return r.prefix + represent(name, value, active) + r.suffix;
  }

private:
  static bool inRange(const Rule& r, long long value) {
    if (r.ranges.empty()) {
      if (r.system == "alphabetic" || r.system == "symbolic")
        return value >= 1;
      if (r.system == "additive")
        return value >= 0;
      return true;
    }
    for (const auto& range : r.ranges) {
      if (value >= range.first && value <= range.second)
        return true;
    }
    return false;
  }

  std::map<std::string, Rule> m_raw;
  mutable std::map<std::string, Rule> m_read;
};

const RuleBook& rules() {
  static const RuleBook book = [] {
    RuleBook b;
    b.read(EKCOMMON_SOURCE_DIR "/ekcommon/text/data/ready-made.css");
    b.read(EKCOMMON_SOURCE_DIR "/ekcommon/text/data/counter-styles.css");
    return b;
  }();
  return book;
}

TEST(CounterStyleRules, EveryRuleIsAPredefinedStyle) {
  std::vector<std::string> library;
  for (const UnicodeString& name : EKUtil::getPredefinedCounterStyleNames())
    library.push_back(utf8(name));
  EXPECT_EQ(library, rules().names());
  EXPECT_GE(library.size(), 194u + 20u);
}

TEST(CounterStyleRules, EverySimpleStyleFormatsAsItsRuleSays) {
  int checked = 0;
  for (const std::string& name : rules().names()) {
    if (!rules().isSimple(name))
      continue;
    const Rule& rule = rules().rule(name);
    std::vector<long long> values = {0, -1, -2, -200, LLONG_MAX, LLONG_MIN + 1};
    for (long long v = 1; v <= 200; ++v)
      values.push_back(v);
    for (const auto& range : rule.ranges) {
      for (long long edge : {range.first, range.second}) {
        if (edge != LLONG_MIN && edge != LLONG_MAX) {
          values.push_back(edge - 1);
          values.push_back(edge);
          values.push_back(edge + 1);
        }
      }
    }
    if (rule.system == "fixed") {
      const long long last = rule.first + static_cast<long long>(rule.symbols.size()) - 1;
      values.insert(values.end(), {rule.first - 1, rule.first, last, last + 1});
    }
    const EKUtil::CounterStyle* style = EKUtil::getPredefinedCounterStyle(EKName(u(name.c_str())), nullptr);
    ASSERT_NE(style, nullptr) << name;
    for (long long value : values) {
      // The library gives up texts of 1,000 units (tested elsewhere); the rule reader would not.
      if ((rule.system == "symbolic" || rule.system == "additive") && (value > 100000 || value < -100000))
        continue;
      EXPECT_EQ(utf8(style->formatNumber(value, EKUtil::getPredefinedCounterStyle, nullptr, false)),
                utf8(fromText(rules().marker(name, value))))
          << name << " " << value;
      ++checked;
    }
  }
  EXPECT_GT(checked, 190 * 200);
}

// Tables from the W3C texts: the CSS Counter Styles examples for the algorithmic styles, and
// the usual readings of the additive ones.
TEST(CounterStyleRules, ComplexStylesAgreeWithPublishedTables) {
  const struct {
    const char* style;
    long long value;
    const char* expected; // without prefix and suffix
  } rows[] = {
      // Chinese: marks of ten, hundred and thousand; zeros collapse; informal drops "one" before ten.
      {"trad-chinese-informal", 0, "零"},    {"trad-chinese-informal", 9, "九"},
      {"trad-chinese-informal", 10, "十"},   {"trad-chinese-informal", 11, "十一"},
      {"trad-chinese-informal", 20, "二十"}, {"trad-chinese-informal", 100, "一百"},
      {"trad-chinese-informal", 101, "一百零一"}, {"trad-chinese-informal", 110, "一百一十"},
      {"trad-chinese-informal", 1001, "一千零一"}, {"trad-chinese-informal", 1010, "一千零一十"},
      {"trad-chinese-informal", 9999, "九千九百九十九"}, {"trad-chinese-informal", -12, "負十二"},
      {"trad-chinese-informal", 10000, "一〇〇〇〇"}, // cjk-decimal beyond the range
      {"cjk-ideographic", 215, "二百一十五"},
      {"simp-chinese-informal", 12, "十二"},  {"simp-chinese-informal", -3, "负三"},
      {"simp-chinese-formal", 10, "壹拾"},    {"simp-chinese-formal", 105, "壹佰零伍"},
      {"simp-chinese-formal", 2000, "贰仟"},  {"simp-chinese-formal", 3036, "叁仟零叁拾陆"},
      {"trad-chinese-formal", 12, "壹拾貳"},  {"trad-chinese-formal", 3036, "參仟零參拾陸"},
      // Ethiopic: groups of two digits with the hundred and myriad marks.
      {"ethiopic-numeric", 1, "፩"},         {"ethiopic-numeric", 10, "፲"},
      {"ethiopic-numeric", 12, "፲፪"},       {"ethiopic-numeric", 100, "፻"},
      {"ethiopic-numeric", 101, "፻፩"},      {"ethiopic-numeric", 200, "፪፻"},
      {"ethiopic-numeric", 1000, "፲፻"},     {"ethiopic-numeric", 10000, "፼"},
      {"ethiopic-numeric", 12345, "፼፳፫፻፵፭"}, {"ethiopic-numeric", 78010092, "፸፰፻፩፼፺፪"},
      {"ethiopic-numeric", 1000100, "፻፼፻"},  {"ethiopic-numeric", 0, "0"},
      // Japanese and Korean.
      {"japanese-informal", 0, "〇"},       {"japanese-informal", 10, "十"},
      {"japanese-informal", 1234, "千二百三十四"}, {"japanese-informal", 9999, "九千九百九十九"},
      {"japanese-informal", -7, "マイナス七"},
      {"japanese-formal", 0, "零"},         {"japanese-formal", 20, "弐拾"},
      {"japanese-formal", 3456, "参阡四百伍拾六"},
      {"korean-hangul-formal", 11, "일십일"}, {"korean-hangul-formal", 111, "일백일십일"},
      {"korean-hangul-formal", 0, "영"},
      {"korean-hanja-informal", 11, "十一"}, {"korean-hanja-informal", 2021, "二千二十一"},
      {"korean-hanja-formal", 11, "壹拾壹"},
      // Hebrew: 15 and 16 avoid spelling the divine name; thousands carry a geresh.
      {"hebrew", 15, "טו"},    {"hebrew", 16, "טז"},  {"hebrew", 19, "יט"},
      {"hebrew", 115, "קטו"},  {"hebrew", 1000, "א׳"}, {"hebrew", 5784, "ה׳תשפד"},
      {"hebrew", 11000, "11000"},
      // Armenian and Georgian.
      {"upper-armenian", 1, "Ա"}, {"upper-armenian", 1999, "ՌՋՂԹ"}, {"lower-armenian", 38, "լը"},
      {"georgian", 10, "ი"}, {"georgian", 19, "ით"}, {"georgian", 2024, "ცკდ"}, {"georgian", 10000, "ჵ"},
      // Roman.
      {"upper-roman", 4, "IV"}, {"upper-roman", 9, "IX"}, {"upper-roman", 40, "XL"},
      {"upper-roman", 90, "XC"}, {"upper-roman", 400, "CD"}, {"upper-roman", 1999, "MCMXCIX"},
      {"upper-roman", 3999, "MMMCMXCIX"}, {"upper-roman", 4000, "4000"}, {"lower-roman", 2024, "mmxxiv"},
  };
  for (const auto& row : rows) {
    const EKUtil::CounterStyle* style = EKUtil::getPredefinedCounterStyle(EKName(u(row.style)), nullptr);
    ASSERT_NE(style, nullptr) << row.style;
    EXPECT_EQ(style->formatNumber(row.value, EKUtil::getPredefinedCounterStyle, nullptr, true), u(row.expected))
        << row.style << " " << row.value;
  }
}

} // namespace
