// ekcommon name: what the name table makes of strings and numbers.
#include "Tool.h"

#include <cerrno>
#include <cstdlib>
#include <iostream>

namespace EKTool {

using namespace EKCommonNS;

namespace {

bool parseNumber(const std::string& text, long& number) {
  if (text.empty())
    return false;
  char* end = nullptr;
  errno = 0;
  number = std::strtol(text.c_str(), &end, 10);
  return errno == 0 && *end == '\0';
}

} // namespace

int runName(const std::vector<std::string>& args) {
  bool byNumber = false;
  std::vector<std::string> operands;
  bool optionsDone = false;
  for (const std::string& arg : args) {
    if (!optionsDone && arg == "--")
      optionsDone = true;
    else if (!optionsDone && arg == "--number")
      byNumber = true;
    else if (!optionsDone && arg.size() > 1 && arg[0] == '-' && arg != "-")
      return usageError("name", "unknown option '" + arg + "'");
    else
      operands.push_back(arg);
  }
  if (operands.empty())
    return usageError("name", byNumber ? "no number given" : "no string given");

  int status = EXIT_OK;
  for (const std::string& operand : operands) {
    if (!byNumber) {
      const EKName name(fromUtf8(operand));
      std::cout << static_cast<EKNameEnum>(name) << '\t' << (name.isBuiltin() ? "built-in" : "run-time")
                << '\t' << toUtf8(name.toString()) << '\n';
      continue;
    }
    long number = 0;
    if (!parseNumber(operand, number) || number < INT32_MIN || number > INT32_MAX) {
      std::cerr << "ekcommon name: '" << operand << "' is not a number\n";
      status = EXIT_INPUT_ERROR;
      continue;
    }
    const EKName name(static_cast<EKNameEnum>(number));
    if (number != 0 && name.toString().isEmpty()) {
      std::cerr << "ekcommon name: no name has number " << number << "\n";
      status = EXIT_INPUT_ERROR;
      continue;
    }
    std::cout << number << '\t' << toUtf8(name.toString()) << '\n';
  }
  return status;
}

} // namespace EKTool
