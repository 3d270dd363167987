// ekcommon counter: numbers in a counter style, through an XSL format token, or as kanji numerals.
#include "Tool.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <iostream>

namespace EKTool {

using namespace EKCommonNS;

namespace {

// A whole int64 in decimal with an optional sign; reports the bad operand otherwise.
bool parseNumber(const std::string& text, int64_t& value, int& status) {
  errno = 0;
  char* end = nullptr;
  const long long parsed = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || std::isspace(static_cast<unsigned char>(text[0]))) {
    std::cerr << "ekcommon counter: '" << text << "' is not a whole number in the 64-bit range\n";
    status = EXIT_INPUT_ERROR;
    return false;
  }
  value = parsed;
  return true;
}

void listStyles() {
  for (const UnicodeString& name : EKUtil::getPredefinedCounterStyleNames()) {
    const EKUtil::CounterStyle* style = EKUtil::getPredefinedCounterStyle(EKName(name), nullptr);
    std::cout << toUtf8(name) << '\t' << toUtf8(style->getSystem().toString()) << '\t';
    for (int n = 1; n <= 10; ++n)
      std::cout << (n > 1 ? " " : "")
                << toUtf8(style->formatNumber(n, EKUtil::getPredefinedCounterStyle, nullptr, true));
    std::cout << '\n';
  }
}

int formatInStyle(const std::string& styleName, const std::vector<std::string>& numbers) {
  const EKUtil::CounterStyle* style = EKUtil::getPredefinedCounterStyle(EKName(fromUtf8(styleName)), nullptr);
  if (!style) {
    std::cerr << "ekcommon counter: no predefined counter style '" << styleName
              << "' (ekcommon counter --list shows them)\n";
    return EXIT_INPUT_ERROR;
  }
  int status = EXIT_OK;
  for (const std::string& text : numbers) {
    int64_t value = 0;
    if (!parseNumber(text, value, status))
      continue;
    std::cout << value << '\t'
              << toUtf8(style->formatNumber(value, EKUtil::getPredefinedCounterStyle, nullptr, true))
              << "\t\"" << toUtf8(style->formatNumber(value, EKUtil::getPredefinedCounterStyle, nullptr, false))
              << "\"\n";
  }
  return status;
}

struct Options {
  bool hasFormat = false;
  std::string format;
  std::string kansuji;
  std::string digits = "kanji";
  std::string separator;
  int groupingSize = 0;
  std::string lang;
  std::string letterValue;
  bool list = false;
  std::vector<std::string> operands;
};

// Reads the options; false (after the usage message) on a bad one.
bool parseOptions(const std::vector<std::string>& args, Options& options) {
  bool optionsDone = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) {
        usageError("counter", arg + " needs a value");
        return false;
      }
      into = args[++i];
      return true;
    };
    if (optionsDone || arg.size() < 2 || arg[0] != '-' || (arg[1] >= '0' && arg[1] <= '9')) {
      options.operands.push_back(arg);
    } else if (arg == "--") {
      optionsDone = true;
    } else if (arg == "--list") {
      options.list = true;
    } else if (arg == "--format") {
      if (!value(options.format))
        return false;
      options.hasFormat = true;
    } else if (arg == "--kansuji") {
      if (!value(options.kansuji))
        return false;
    } else if (arg == "--digits") {
      if (!value(options.digits))
        return false;
    } else if (arg == "--lang") {
      if (!value(options.lang))
        return false;
    } else if (arg == "--letter-value") {
      if (!value(options.letterValue))
        return false;
      if (options.letterValue != "alphabetic" && options.letterValue != "traditional") {
        usageError("counter", "--letter-value is alphabetic or traditional");
        return false;
      }
    } else if (arg == "--grouping") {
      std::string size;
      if (!value(options.separator) || !value(size))
        return false;
      char* end = nullptr;
      const long parsed = std::strtol(size.c_str(), &end, 10);
      if (size.empty() || *end || parsed < 1 || parsed > 100) {
        usageError("counter", "the grouping size is a number from 1 to 100");
        return false;
      }
      options.groupingSize = static_cast<int>(parsed);
    } else {
      usageError("counter", "unknown option '" + arg + "'");
      return false;
    }
  }
  return true;
}

} // namespace

int runCounter(const std::vector<std::string>& args) {
  Options options;
  if (!parseOptions(args, options))
    return EXIT_USAGE;
  if (options.list) {
    if (!options.operands.empty())
      return usageError("counter", "--list takes no operands");
    listStyles();
    return EXIT_OK;
  }
  if (options.hasFormat && !options.kansuji.empty())
    return usageError("counter", "--format and --kansuji do not go together");
  int status = EXIT_OK;
  if (!options.kansuji.empty()) {
    if (options.kansuji != "simple" && options.kansuji != "grouping" && options.kansuji != "readable")
      return usageError("counter", "the kansuji variant is simple, grouping or readable");
    if (options.operands.empty())
      return usageError("counter", "no number given");
    const EKName type(fromUtf8(options.kansuji));
    const EKName digits(fromUtf8(options.digits));
    for (const std::string& text : options.operands) {
      const UnicodeString decimal = fromUtf8(text);
      const UnicodeString kanji = EKUtil::convertKansuji(decimal, type, digits, UnicodeString(), UnicodeString());
      if (kanji == decimal) {
        std::cerr << "ekcommon counter: '" << text << "' is not a decimal number\n";
        status = EXIT_INPUT_ERROR;
        continue;
      }
      std::cout << text << '\t' << toUtf8(kanji) << '\n';
    }
    return status;
  }
  if (options.hasFormat) {
    if (options.operands.empty())
      return usageError("counter", "no number given");
    const EKLang lang(fromUtf8(options.lang));
    const EKNameEnum letterValue = options.letterValue.empty() ? EKN_EMPTY
                                   : options.letterValue == "alphabetic" ? EKN_alphabetic
                                                                        : EKN_traditional;
    for (const std::string& text : options.operands) {
      int64_t value = 0;
      if (parseNumber(text, value, status))
        std::cout << value << '\t'
                  << toUtf8(EKUtil::formatNumber(value, fromUtf8(options.format), fromUtf8(options.separator),
                                                 options.groupingSize, lang, letterValue))
                  << '\n';
    }
    return status;
  }
  if (options.operands.size() < 2)
    return usageError("counter", options.operands.empty() ? "no style given" : "no number given");
  return formatInStyle(options.operands[0],
                       std::vector<std::string>(options.operands.begin() + 1, options.operands.end()));
}

} // namespace EKTool
