// ekcommon script: the script that decides a text, and that script's layout classes.
#include "Tool.h"

#include <iostream>

namespace EKTool {

using namespace EKCommonNS;

namespace {

std::string classesOf(const EKScript& script) {
  std::string out;
  const auto add = [&out](bool member, const char* name) {
    if (member)
      out += (out.empty() ? "" : ",") + std::string(name);
  };
  add(script.isCJK(), "cjk");
  add(script.isCJKJustify(), "cjk-justify");
  add(script.isHangingBaseline(), "hanging");
  add(script.isLatinGroup(), "latin-group");
  add(script.isKanaScript(), "kana");
  add(script.isJA(), "ja");
  add(script.isSC(), "sc");
  add(script.isTC(), "tc");
  return out.empty() ? "-" : out;
}

std::string describe(const EKScript& script) {
  return toUtf8(script.toString()) + " (" + toUtf8(script.getScriptName()) + ")";
}

} // namespace

int runScript(const std::vector<std::string>& args) {
  std::vector<std::string> texts;
  if (!splitOperands("script", args, texts))
    return EXIT_USAGE;
  if (texts.empty())
    return usageError("script", "no text given");
  int status = EXIT_OK;
  for (const std::string& text : texts) {
    const UnicodeString unicode = readTextOperand("script", text, status);
    const EKScript script = EKScript::getScriptFromText(unicode, false);
    std::cout << "script=" << describe(script) << "\tfirst=" << describe(EKScript::getScriptFromText(unicode, true))
              << "\tclasses=" << classesOf(script) << '\n';
  }
  return status;
}

} // namespace EKTool
