// Shared pieces of the ekcommon tool: the subcommand table and small input/output helpers.
#pragma once

#include <ekcommon/ekcommon.h>

#include <iosfwd>
#include <string>
#include <vector>

namespace EKTool {

// Exit codes shared by every subcommand.
constexpr int EXIT_OK = 0;
constexpr int EXIT_INPUT_ERROR = 1;
constexpr int EXIT_USAGE = 2;

struct Command {
  const char* name;
  const char* summary;
  const char* usage; // full --help text
  int (*run)(const std::vector<std::string>& args);
};

// Every subcommand, in the order the overall help lists them.
const std::vector<Command>& commands();

// Prints "ekcommon NAME: message" on standard error and returns EXIT_USAGE.
int usageError(const char* command, const std::string& message);
// True when args ask for help; prints the command's usage in that case.
bool handleHelp(const Command& command, const std::vector<std::string>& args);
// Collects the operands of a command that has no options of its own ("--" ends options, "-"
// is an operand). On an unknown option prints the usage error and returns false.
bool splitOperands(const char* command, const std::vector<std::string>& args,
                   std::vector<std::string>& operands);

// A text operand in UTF-8, or all of standard input for "-". Bad UTF-8 is reported on standard
// error, read with U+FFFD, and sets `status` to EXIT_INPUT_ERROR.
EKCommonNS::UnicodeString readTextOperand(const char* command, const std::string& operand,
                                          int& status);

// "FILE:LINE:COLUMN: error|warning CODE: message" for a parser's or catalog's error; the
// position is left out when line is not positive (an input that cannot be opened), and a
// position description the parser appended to the message is cut.
void printDiagnostic(std::ostream& out, const std::string& file, const EKCommonNS::EKError& error, int line,
                     int column);

// What an error callback that prints diagnostics reports to: where, the input as named, and
// whether a fatal error ended the reading (the parser then unwinds with an empty error 128).
struct DiagnosticReport {
  std::ostream* out;
  const std::string* file;
  bool fatal;
};
// An error callback (user data: a DiagnosticReport) that prints each report with printDiagnostic.
void reportDiagnostic(const EKCommonNS::EKError& error, void* userData);

std::string toUtf8(const EKCommonNS::UnicodeString& text);
EKCommonNS::UnicodeString fromUtf8(const std::string& text);

int runName(const std::vector<std::string>& args);
int runDigest(const std::vector<std::string>& args);
int runUuid(const std::vector<std::string>& args);
int runUri(const std::vector<std::string>& args);
int runEncoding(const std::vector<std::string>& args);
int runChar(const std::vector<std::string>& args);
int runValue(const std::vector<std::string>& args);
int runZip(const std::vector<std::string>& args);
int runGzip(const std::vector<std::string>& args);
int runFetch(const std::vector<std::string>& args);
int runCounter(const std::vector<std::string>& args);
int runLang(const std::vector<std::string>& args);
int runScript(const std::vector<std::string>& args);
int runXml(const std::vector<std::string>& args);
int runCss(const std::vector<std::string>& args);
// "css cascade", with the arguments after the subcommand.
int runCssCascade(const std::vector<std::string>& args);
int runCatalog(const std::vector<std::string>& args);
int runDemo(const std::vector<std::string>& args);

} // namespace EKTool
