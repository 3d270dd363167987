// ekcommon lang: the codes, LCID, name and script of language tags.
#include "Tool.h"

#include <iostream>

namespace EKTool {

using namespace EKCommonNS;

int runLang(const std::vector<std::string>& tags) {
  std::vector<std::string> operands;
  if (!splitOperands("lang", tags, operands))
    return EXIT_USAGE;
  if (operands.empty())
    return usageError("lang", "no language tag given");
  int status = EXIT_OK;
  for (const std::string& tag : operands) {
    const EKLang lang(fromUtf8(tag));
    if (lang.isNullLang()) {
      std::cout << tag << "\tnull language\n";
      continue;
    }
    if (lang.isInvalid()) {
      std::cerr << "ekcommon lang: '" << tag << "' is no known language\n";
      status = EXIT_INPUT_ERROR;
      continue;
    }
    const EKScript script = lang.toScript();
    std::cout << tag << "\ttag=" << toUtf8(lang.toString()) << "\tfull=" << toUtf8(lang.toFullString())
              << "\tiso3=" << toUtf8(lang.toISO3String()) << "\tlcid=" << lang.getLCID()
              << "\tname=" << static_cast<EKNameEnum>(lang.getLanguageName())
              << "\tscript=" << toUtf8(script.toString()) << " (" << toUtf8(script.getScriptName())
              << ")\n";
  }
  return status;
}

} // namespace EKTool
