// ekcommon catalog: what a set of OASIS XML catalogs makes of URIs, as a document loaded with those
// catalogs would see them, to check a catalog before a host relies on it.
#include "Tool.h"

#include <iostream>

namespace EKTool {

using namespace EKCommonNS;

namespace {

const char* const COMMAND = "catalog";

// False, with the reason on standard error, when the file cannot be read or is no catalog.
bool load(EKXmlCatalogs& catalogs, const std::string& file) {
  DiagnosticReport report{&std::cerr, &file, false};
  catalogs.setCallbackError(reportDiagnostic, &report);
  try {
    catalogs.loadCatalog(EKUri(fromUtf8(file)));
  } catch (const EKError& error) {
    // After a fatal error the callback has printed, the parser unwinds with an empty error.
    if (!report.fatal)
      printDiagnostic(std::cerr, file, error, error.getLineNumber(), error.getColumnNumber());
    return false;
  }
  return true;
}

} // namespace

int runCatalog(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  std::vector<std::string> uris;
  bool optionsDone = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsDone && arg == "--catalog") {
      if (i + 1 == args.size())
        return usageError(COMMAND, "--catalog needs a file");
      files.push_back(args[++i]);
    } else if (!optionsDone && arg == "--") {
      optionsDone = true;
    } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
      return usageError(COMMAND, "unknown option '" + arg + "'");
    } else {
      uris.push_back(arg);
    }
  }
  if (files.empty())
    return usageError(COMMAND, "no --catalog given");
  if (uris.empty())
    return usageError(COMMAND, "no URI given");

  EKPtr<EKXmlCatalogs> catalogs = EKXmlUtil::createXmlCatalogs();
  for (const std::string& file : files)
    if (!load(*catalogs, file))
      return EXIT_INPUT_ERROR;
  for (const std::string& uri : uris)
    std::cout << toUtf8(catalogs->resolveURI(fromUtf8(uri))) << '\n';
  return EXIT_OK;
}

} // namespace EKTool
