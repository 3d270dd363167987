// ekcommon uuid: new random UUIDs in the library's text form.
#include "Tool.h"

#include <cerrno>
#include <cstdlib>
#include <iostream>

namespace EKTool {

using namespace EKCommonNS;

int runUuid(const std::vector<std::string>& args) {
  bool hyphens = true;
  long count = 1;
  bool countGiven = false;
  for (const std::string& arg : args) {
    if (arg == "--no-hyphens") {
      hyphens = false;
      continue;
    }
    if (countGiven)
      return usageError("uuid", "give at most one count");
    char* end = nullptr;
    errno = 0;
    count = std::strtol(arg.c_str(), &end, 10);
    if (arg.empty() || *end != '\0' || errno != 0 || count < 0 || arg[0] == '-' || arg[0] == '+')
      return usageError("uuid", "'" + arg + "' is not a count");
    countGiven = true;
  }
  for (long i = 0; i < count; ++i)
    std::cout << toUtf8(EKUUID().toString(hyphens)) << '\n';
  return EXIT_OK;
}

} // namespace EKTool
