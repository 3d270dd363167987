#include "ekcommon/css/internal/EKCssDeclarationApplier.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/css/EKCssParser.h"
#include "ekcommon/css/internal/EKCssMessages.h"
#include "ekcommon/css/internal/EKCssShorthands.h"
#include "ekcommon/dom/EKElement.h"
#include "ekcommon/values/EKTokenizer.h"
#include "ekcommon/values/EKNamedValueMap.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace EKCommonNS {

namespace {

// The functions whose argument counts are checked. With singleTerms every argument is one term
// (a name, number, string or nested call), so two terms in one argument mean a missing comma.
struct FunctionArity {
  const char16_t* name;
  int minArguments;
  int maxArguments;
  bool singleTerms;
};

const FunctionArity FUNCTION_ARITIES[] = {
    {u"attr", 1, 2, false},          {u"calc", 1, 1, false},           {u"clamp", 3, 3, false},
    {u"counter", 1, 2, true},        {u"counters", 2, 3, true},        {u"element", 1, 2, true},
    {u"env", 1, 2, false},           {u"leader", 1, 1, true},          {u"max", 1, INT_MAX, false},
    {u"min", 1, INT_MAX, false},     {u"running", 1, 1, true},         {u"string", 1, 2, true},
    {u"target-counter", 2, 3, true}, {u"target-counters", 3, 4, true}, {u"target-text", 1, 2, true},
};

const FunctionArity* findArity(EKName function) {
  const UnicodeString& name = function.toString();
  for (const FunctionArity& arity : FUNCTION_ARITIES)
    if (name == UnicodeString(arity.name))
      return &arity;
  return nullptr;
}

const EKName& varName() {
  static const EKName name(UnicodeString(u"var"));
  return name;
}

const EKName& urlName() {
  static const EKName name(UnicodeString(u"url"));
  return name;
}

// True when the token just read is a name directly followed by '(' (a function call).
bool isFunctionStart(const EKTokenizer& t, int type) {
  const UnicodeString& text = t.getStr();
  return type == EKTokenizer::TOKEN_NAME && t.getOffset() < text.length() && text[t.getOffset()] == u'(';
}

// Reads up to and including the ')' that closes a call whose '(' was just read. Returns the
// offset of that ')', or -1 when the text ends first.
int32_t skipToClose(EKTokenizer& t) {
  int depth = 1;
  for (;;) {
    const int type = t.nextToken();
    if (type == EKTokenizer::TOKEN_END)
      return -1;
    if (type == u'(')
      ++depth;
    else if (type == u')' && --depth == 0)
      return t.getOffset() - 1;
  }
}

UnicodeString valueText(const EKValue& value) {
  return value.isString() ? value.getStringValue() : value.toString();
}

// One text being scanned for var(): the declaration's value, a variable's value or a fallback.
struct Frame {
  Frame(const UnicodeString& text, EKName name) : tokenizer(text, EKTokenizer::CSS), variable(name) {}
  EKTokenizer tokenizer;
  // The custom property this text is the value of; empty for the declaration and fallbacks.
  EKName variable;
  // Text before this offset has been copied to the output already.
  int32_t copied = 0;
};

// What one var(...) holds.
struct VarCall {
  EKName name;
  bool hasFallback = false;
  UnicodeString fallback;
};

// Reads the arguments of var( up to its ')'; false when they are not a custom property name and
// an optional fallback, or the ')' is missing.
bool readVarCall(EKTokenizer& t, VarCall& call) {
  if (t.nextToken() != EKTokenizer::TOKEN_NAME || !t.getTokenString().startsWith(u"--"))
    return false;
  call.name = EKName(t.getTokenString());
  const int type = t.nextToken();
  if (type == u')')
    return true;
  if (type != u',')
    return false;
  const int32_t from = t.getOffset();
  const int32_t close = skipToClose(t);
  if (close < 0)
    return false;
  call.hasFallback = true;
  call.fallback = UnicodeString(t.getStr(), from, close - from).trim();
  return true;
}

} // namespace

const EKName& EKCssDeclarationApplier::customPropertyNamespace() {
  static const EKName name(UnicodeString(u"https://ns.ekcommon.org/names/CSS"));
  return name;
}

const EKName& EKCssDeclarationApplier::customPropertyPrefix() {
  static const EKName name(UnicodeString(u"_css_"));
  return name;
}

EKCssDeclarationApplier::EKCssDeclarationApplier(const EKCssRules* rules, EKElement* element,
                                                 EKCssPropertyCallback property, EKCssErrorCallback error)
    : m_rules(rules), m_element(element), m_property(property), m_error(error) {}

EKValue EKCssDeclarationApplier::lookupCustomProperty(EKElement* element, EKName name) {
  for (EKNode* node = element; node != nullptr && node->isElementNode(); node = node->getParentNode()) {
    EKValue value = static_cast<EKElement*>(node)->getAttributeNS(customPropertyNamespace(), name);
    if (!value.isNull())
      return value;
  }
  return EKValue();
}

unsigned short EKCssDeclarationApplier::apply(const EKCssDeclaration& declaration, int sourceId) {
  return apply(declaration, sourceId, nullptr);
}

unsigned short EKCssDeclarationApplier::apply(const EKCssDeclaration& declaration, int sourceId,
                                              PreparedSlot* slot) {
  if (slot && m_property) {
    const Prepared* prepared = slot->load(std::memory_order_acquire);
    if (prepared && prepared->property == declaration.getProperty() &&
        prepared->valueText == declaration.getValueText()) {
      for (const Prepared::Call& call : prepared->calls) {
        if (m_property(m_element, call.property, call.value, call.fromDeclaration ? sourceId : -1,
                       call.fromDeclaration ? &declaration : nullptr) != 0 &&
            call.fromDeclaration)
          declaration.setDeclError();
      }
      return 0;
    }
  }
  m_declaration = &declaration;
  m_sourceId = sourceId;
  m_wasMarked = declaration.hasDeclError();
  m_firstError = 0;
  m_unpreparable = false;
  if (declaration.getProperty().toString().startsWith(u"--"))
    return 0;
  std::unique_ptr<Prepared> recording(slot && m_property ? new Prepared() : nullptr);
  if (recording) {
    recording->property = declaration.getProperty();
    recording->valueText = declaration.getValueText();
  }
  m_recording = recording.get();
  UnicodeString text;
  // Only a function call can need substitution or an argument check.
  if (declaration.getValueText().indexOf(u'(') < 0) {
    text = declaration.getValueText();
  } else {
    if (substitute(declaration.getValueText(), text) != 0 || checkArguments(text) != 0) {
      m_recording = nullptr;
      return m_firstError;
    }
    text.trim();
  }
  deliver(text);
  m_recording = nullptr;
  if (recording && !m_unpreparable && m_firstError == 0) {
    const Prepared* expected = nullptr;
    if (slot->compare_exchange_strong(expected, recording.get(), std::memory_order_acq_rel))
      recording.release();
  }
  return m_firstError;
}

void EKCssDeclarationApplier::emit(EKName property, const EKValue& value, bool fromDeclaration) {
  if (m_recording)
    m_recording->calls.push_back({property, value, fromDeclaration});
  const EKCssDeclaration* declaration = fromDeclaration ? m_declaration : nullptr;
  if (m_property(m_element, property, value, fromDeclaration ? m_sourceId : -1, declaration) != 0 && declaration)
    declaration->setDeclError();
}

unsigned short EKCssDeclarationApplier::report(unsigned short code, const UnicodeString& message) {
  m_unpreparable = true;
  if (m_firstError == 0)
    m_firstError = code;
  if (!m_wasMarked && m_error) {
    std::pair<int32_t, int32_t> position(-1, -1);
    if (m_rules && m_declaration->getSourceOffset() >= 0)
      position = m_rules->getLineColumn(m_sourceId, m_declaration->getSourceOffset());
    m_error(m_element, EKError(code, message, UnicodeString(), position.first, position.second, UnicodeString()));
  }
  if (code < 984)
    m_declaration->setDeclError();
  return code;
}

unsigned short EKCssDeclarationApplier::reportCode(unsigned short code, const UnicodeString& arg1,
                                                   const UnicodeString& arg2) {
  UnicodeString path;
  if (m_rules) {
    const EKUri uri = m_rules->getSourceUri(m_sourceId);
    if (!uri.isEmpty())
      path = uri.getLocalPath(true);
  }
  return report(code, cssErrorMessage(code, path, arg1, arg2));
}

unsigned short EKCssDeclarationApplier::substitute(const UnicodeString& text, UnicodeString& out) {
  std::vector<Frame> stack;
  stack.emplace_back(text, EKName());
  int substitutions = 0;
  int32_t budget = MAX_SUBSTITUTED_UNITS;
  while (!stack.empty()) {
    Frame& frame = stack.back();
    EKTokenizer& t = frame.tokenizer;
    t.skipWhitespace();
    const int32_t start = t.getOffset();
    const int type = t.nextToken();
    if (type == EKTokenizer::TOKEN_END) {
      out.append(t.getStr(), frame.copied, t.getOffset() - frame.copied);
      stack.pop_back();
      continue;
    }
    if (!isFunctionStart(t, type))
      continue;
    const EKName function = EKCssParser::normailzieFunctionName(EKName(t.getTokenString()));
    t.nextToken(); // '('
    if (function == urlName()) {
      skipToClose(t); // copied unchanged with the text around it
      continue;
    }
    if (function != varName())
      continue;
    out.append(t.getStr(), frame.copied, start - frame.copied);
    m_unpreparable = true;
    VarCall call;
    const bool wellFormed = readVarCall(t, call);
    frame.copied = t.getOffset();
    if (!wellFormed)
      return reportCode(EKERR_CSS_INVALID_VAR_ARGUMENT, UnicodeString(t.getStr(), start, t.getOffset() - start));
    const UnicodeString& name = call.name.toString();
    const bool looped =
        std::any_of(stack.begin(), stack.end(), [&](const Frame& f) { return f.variable == call.name; });
    if (looped || ++substitutions > MAX_SUBSTITUTIONS)
      return reportCode(EKERR_CSS_LOOPED_VARIABLE, name);
    const EKValue value = lookupCustomProperty(m_element, call.name);
    if (value.isNull()) {
      reportCode(EKERR_CSS_UNDEFINED_VARIABLE, name);
      if (!call.hasFallback)
        continue;
    }
    const UnicodeString replacement = value.isNull() ? call.fallback : valueText(value);
    budget -= replacement.length();
    if (budget < 0)
      return reportCode(EKERR_CSS_LOOPED_VARIABLE, name);
    stack.emplace_back(replacement, value.isNull() ? EKName() : call.name);
  }
  return 0;
}

unsigned short EKCssDeclarationApplier::checkArguments(const UnicodeString& text) {
  // One entry per open call or parenthesised group; only calls with an arity are checked.
  struct Call {
    const FunctionArity* arity;
    UnicodeString name;
    int commas = 0;
    int termsInArgument = 0;
    bool anyTerm = false;
    bool commaReported = false;
  };
  std::vector<Call> calls;
  // Reports a missing comma once per call when the current argument holds several terms.
  const auto checkComma = [this](Call& call) {
    if (call.arity && call.arity->singleTerms && call.termsInArgument > 1 && !call.commaReported) {
      call.commaReported = true;
      reportCode(EKERR_CSS_MISSING_ARGUMENT_COMMA, call.name);
    }
  };
  EKTokenizer t(text, EKTokenizer::CSS);
  for (int type = t.nextToken(); type != EKTokenizer::TOKEN_END; type = t.nextToken()) {
    if (type == u',' && !calls.empty()) {
      checkComma(calls.back());
      ++calls.back().commas;
      calls.back().termsInArgument = 0;
      continue;
    }
    if (type == u')' && !calls.empty()) {
      Call call = calls.back();
      calls.pop_back();
      checkComma(call);
      if (!call.arity)
        continue;
      const int arguments = call.commas + (call.commas > 0 || call.anyTerm ? 1 : 0);
      if (arguments < call.arity->minArguments)
        return reportCode(EKERR_CSS_TOO_FEW_ARGUMENTS, call.name);
      if (arguments > call.arity->maxArguments)
        return reportCode(EKERR_CSS_TOO_MANY_ARGUMENTS, call.name);
      continue;
    }
    if (!calls.empty()) {
      ++calls.back().termsInArgument;
      calls.back().anyTerm = true;
    }
    if (type == u'(') {
      calls.push_back(Call{nullptr, UnicodeString()});
    } else if (isFunctionStart(t, type)) {
      const UnicodeString name = t.getTokenString();
      const EKName function = EKCssParser::normailzieFunctionName(EKName(name));
      t.nextToken(); // '('
      if (function == urlName())
        skipToClose(t);
      else
        calls.push_back(Call{findArity(function), name});
    }
  }
  return 0;
}

unsigned short EKCssDeclarationApplier::deliver(const UnicodeString& text) {
  if (!m_property)
    return 0;
  const EKName property = m_declaration->getProperty();
  const std::pair<EKName, EKName> split = EKCssParser::separatePrefixPropertyName(property, false);
  const std::vector<EKName>* longhands = EKCssShorthands::longhands(split.second);
  if (!longhands) {
    emit(property, EKValue(text, UNIT_NONE), true);
    return 0;
  }
  const EKCssShorthands::Expansion expansion = EKCssShorthands::expand(split.second, text);
  if (expansion.error != 0)
    return reportCode(expansion.error, property.toString(), text);
  if (longhands->size() >= 2)
    for (EKName longhand : *longhands)
      emit(EKCssParser::concatPrefixPropertyName(split.first, longhand), EKValue::NULL_VALUE, false);
  if (!expansion.map) {
    emit(property, EKValue(text, UNIT_NONE), true);
    return 0;
  }
  emit(property, EKValue::NULL_VALUE, false);
  EKNamedValueMapIterator items(expansion.map.get());
  while (items.hasNext()) {
    const EKNamedValue& item = items.next();
    emit(EKCssParser::concatPrefixPropertyName(split.first, item.getName()), item.getValue(), true);
  }
  return 0;
}

} // namespace EKCommonNS
