// ekcommon css: the library's style-sheet grammar on the command line. "media" reads media query
// lists as they follow @media and prints each as the library writes it back, to see what a query
// was read as and which errors it raised.
#include "Tool.h"

#include "ekcommon/css/internal/EKCssMediaQueryParser.h"

#include <iostream>

namespace EKTool {

using namespace EKCommonNS;

namespace {

const char* const COMMAND = "css";

int runMedia(const std::vector<std::string>& operands) {
  if (operands.empty())
    return usageError(COMMAND, "media: no query given");
  for (const std::string& operand : operands) {
    std::u16string buffer(reinterpret_cast<const char16_t*>(fromUtf8(operand).getTerminatedBuffer()));
    const std::vector<uint32_t> lineStarts = cssLineStarts(buffer.c_str(), static_cast<int32_t>(buffer.size()));
    EKCssReader reader(buffer.data(), &lineStarts, 0, 0, UnicodeString());
    unsigned short error = 0;
    const EKPtr<EKCssMediaQueryList> list = EKCssMediaQueryParser(reader).parseList(error);
    std::cout << toUtf8(list->toString()) << '\n' << std::flush; // before its errors
    for (const EKError& reported : reader.getErrors())
      std::cerr << reported.getLineNumber() << ':' << reported.getColumnNumber() << ": " << reported.getErrorCode()
                << ' ' << toUtf8(reported.getRawMessage()) << '\n';
  }
  return EXIT_OK;
}

} // namespace

int runCss(const std::vector<std::string>& args) {
  if (args.empty())
    return usageError(COMMAND, "no subcommand given");
  std::vector<std::string> operands;
  if (!splitOperands(COMMAND, std::vector<std::string>(args.begin() + 1, args.end()), operands))
    return EXIT_USAGE;
  if (args[0] == "media")
    return runMedia(operands);
  return usageError(COMMAND, "unknown subcommand '" + args[0] + "'");
}

} // namespace EKTool
