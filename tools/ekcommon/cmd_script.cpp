// ekcommon script: the script that decides a text, and that script's layout classes.
#include "Tool.h"

#include <iostream>

namespace EKTool {

using namespace EKCommonNS;

namespace {

std::string classesOf(const EKScript& script) {
  const struct {
    bool (EKScript::*test)() const;
    const char* name;
  } classes[] = {{&EKScript::isCJK, "cjk"},           {&EKScript::isCJKJustify, "cjk-justify"},
                 {&EKScript::isHangingBaseline, "hanging"}, {&EKScript::isLatinGroup, "latin-group"},
                 {&EKScript::isKanaScript, "kana"},     {&EKScript::isJA, "ja"},
                 {&EKScript::isSC, "sc"},               {&EKScript::isTC, "tc"}};
  std::string out;
  for (const auto& c : classes) {
    if ((script.*c.test)())
      out += (out.empty() ? "" : ",") + std::string(c.name);
  }
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
