// Fuzzes applying one declaration: the first byte picks the property (shorthands and properties
// whose values use var() and counted functions); the rest, as UTF-8, is split at line feeds into
// up to four custom properties (--a to --d, alternately on a root and its child) and the value
// text. The callbacks check what they are handed; application must end with a known code.
#include <ekcommon/css/internal/EKCssDeclarationApplier.h>
#include <ekcommon/ekcommon.h>

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace EKCommonNS;

namespace {

void check(bool condition) {
  if (!condition)
    std::abort();
}

const char* const PROPERTIES[] = {
    "width",        "content",        "margin",      "padding",        "border-width", "border-style",
    "border-color", "border",         "border-top",  "outline",        "column-rule",  "columns",
    "font",         "background",     "background-position", "border-radius", "writing-mode", "vertical-align",
    "white-space",  "position",       "float",       "lang",           "size",         "cue",
    "list-style",   "text-decoration", "text-emphasis", "border-spacing", "-ek-margin", "_x-border-top",
};

EKElement* g_child = nullptr;

unsigned short onProperty(EKElement* element, EKName property, EKValue value, int sourceId,
                          const EKCssDeclaration* declaration) {
  check(element != nullptr && element == g_child);
  check(!property.isEmpty());
  // Resets and only resets come without a declaration, with source id -1 and the null value.
  check((sourceId == -1) == (declaration == nullptr));
  check(declaration != nullptr || value.isNull());
  check(declaration == nullptr || !value.isNull());
  return 0;
}

void onError(EKElement* element, const EKError& error) {
  check(element != nullptr && element == g_child);
  const int code = error.getErrorCode();
  check(code == 963 || (code >= 977 && code <= 980) || code == 985 || code == 986);
  check(!error.getRawMessage().isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0)
    return 0;
  const char* property = PROPERTIES[data[0] % (sizeof(PROPERTIES) / sizeof(PROPERTIES[0]))];
  const UnicodeString text = UnicodeString::fromUTF8(std::string(reinterpret_cast<const char*>(data + 1), size - 1));

  EKPtr<EKDocument> doc = new EKDocument();
  EKPtr<EKElement> root = doc->createElement(EKName(UnicodeString(u"root")));
  EKPtr<EKElement> child = doc->createElement(EKName(UnicodeString(u"child")));
  doc->appendChild(root);
  root->appendChild(child);
  g_child = child.get();

  int32_t from = 0;
  for (int var = 0; var < 4; ++var) {
    const int32_t newline = text.indexOf(u'\n', from);
    if (newline < 0)
      break;
    const UnicodeString name = UnicodeString(u"--") + static_cast<char16_t>(u'a' + var);
    EKElement* owner = var % 2 == 0 ? root.get() : child.get();
    owner->setAttributeNS(EKCssDeclarationApplier::customPropertyNamespace(),
                          EKCssDeclarationApplier::customPropertyPrefix(), EKName(name),
                          EKValue(UnicodeString(text, from, newline - from), UNIT_NONE));
    from = newline + 1;
  }
  const EKCssDeclaration declaration(EKName(UnicodeString::fromUTF8(property)), UnicodeString(text, from), false, 0);
  EKPtr<EKCssRules> rules = EKCssRules::createRuleMap(UnicodeString());
  EKCssDeclarationApplier applier(rules.get(), child.get(), onProperty, onError);
  const unsigned short code = applier.apply(declaration, 0);
  check(code == 0 || code == 963 || (code >= 977 && code <= 980) || code == 985 || code == 986);
  check(code == 0 || code >= 984 || declaration.hasDeclError());
  // A second application meets the same first error (reported no more once marked).
  check(applier.apply(declaration, 0) == code);
  g_child = nullptr;
  return 0;
}
