// Applying stored declarations to an element: what the property callback receives (var()
// substitution, shorthand expansion with its resets, vendor prefixes), the value errors with
// their positions, and the name and term helpers of the parser.
#include "ekcommon/css/internal/EKCssDeclarationApplier.h"
#include "ekcommon/css/internal/EKCssRulesImpl.h"
#include "support/TestStrings.h"

#include <ekcommon/ekcommon.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace EKCommonNS;

namespace {

EKName nm(const char* s) { return EKName(u(s)); }

// What the callbacks saw, in order: "property=value/sourceId" for properties (value "null" for
// the null value), "[code line:col]" for errors.
std::string g_log;
unsigned short g_propertyResult = 0;

unsigned short recordProperty(EKElement* element, EKName property, EKValue value, int sourceId,
                              const EKCssDeclaration* declaration) {
  EXPECT_NE(element, nullptr);
  EXPECT_EQ(sourceId < 0, declaration == nullptr) << utf8(property.toString());
  g_log += (g_log.empty() ? "" : " ") + utf8(property.toString()) + "=" +
           (value.isNull() ? std::string("null") : utf8(value.toString())) + "/" + std::to_string(sourceId);
  return g_propertyResult;
}

std::string g_lastMessage;

void recordError(EKElement* element, const EKError& error) {
  EXPECT_NE(element, nullptr);
  g_lastMessage = utf8(error.getRawMessage());
  g_log += (g_log.empty() ? "" : " ") + std::string("[") + std::to_string(error.getErrorCode()) + " " +
           std::to_string(error.getLineNumber()) + ":" + std::to_string(error.getColumnNumber()) + "]";
}

using Vars = std::map<std::string, std::string>;

void setVars(EKElement* element, const Vars& vars) {
  for (const auto& var : vars)
    element->setAttributeNS(EKCssDeclarationApplier::customPropertyNamespace(),
                            EKCssDeclarationApplier::customPropertyPrefix(), nm(var.first.c_str()),
                            EKValue(u(var.second.c_str()), UNIT_NONE));
}

// A root element with one child; the declarations are applied to the child.
struct Tree {
  EKPtr<EKDocument> doc = new EKDocument();
  EKPtr<EKElement> root = doc->createElement(nm("root"));
  EKPtr<EKElement> child = doc->createElement(nm("child"));
  Tree(const Vars& rootVars, const Vars& childVars) {
    doc->appendChild(root);
    root->appendChild(child);
    setVars(root, rootVars);
    setVars(child, childVars);
  }
};

// A sheet whose only rule holds the declarations, written on its second line from column 3.
struct Sheet {
  explicit Sheet(const std::string& declarations) {
    EKPtr<EKCssParser> parser = EKCssParser::createCssParser(nullptr, nullptr);
    parser->setText(u(("e {\n  " + declarations + "\n}").c_str()), EKName(), EKUri());
    rules = EKCssRules::createCssRules(EK_ORIGIN_AUTHOR, UnicodeString(), false, nullptr, nullptr);
    parser->parseInto(rules.get());
  }
  // The declarations of the only rule; none when the parser dropped the rule.
  const EKCssDeclarations& declarations() const {
    static const EKCssDeclarations none;
    const EKCssRuleList& list = static_cast<const EKCssRulesImpl*>(rules.get())->getStyleRules();
    return list.size() ? list.at(0)->getDeclarations() : none;
  }
  EKPtr<EKCssRules> rules;
};

// Applies every declaration of the sheet to the child; the log, with " => code" when one of them
// returned an error code.
std::string applyAll(const std::string& declarations, const Vars& rootVars = {}, const Vars& childVars = {},
                     EKCssPropertyCallback property = recordProperty, EKCssErrorCallback error = recordError) {
  g_log.clear();
  Tree tree(rootVars, childVars);
  Sheet sheet(declarations);
  unsigned short first = 0;
  if (static_cast<const EKCssRulesImpl*>(sheet.rules.get())->getStyleRules().size() == 0) {
    // Values that the parser refuses (an unclosed call) are applied as a host could store
    // them, without rules: their positions are unknown.
    const size_t colon = declarations.find(':');
    const EKCssDeclaration d(nm(declarations.substr(0, colon).c_str()),
                             u(declarations.substr(colon + 1).c_str()).trim());
    first = EKCssDeclarationApplier(nullptr, tree.child.get(), property, error).apply(d, 0);
  }
  EKCssDeclarationApplier applier(sheet.rules.get(), tree.child.get(), property, error);
  for (const EKCssDeclaration& d : sheet.declarations()) {
    const unsigned short code = applier.apply(d, sheet.declarations().getSourceId());
    first = first ? first : code;
  }
  return g_log + (first ? " => " + std::to_string(first) : "");
}

struct Case {
  const char* declarations;
  const char* expected;
};

void runTable(const Case* begin, const Case* end, const Vars& rootVars = {}, const Vars& childVars = {}) {
  for (const Case* c = begin; c != end; ++c)
    EXPECT_EQ(applyAll(c->declarations, rootVars, childVars), c->expected) << c->declarations;
}

#define RUN_TABLE(cases, ...) runTable(std::begin(cases), std::end(cases), ##__VA_ARGS__)

const char* const MARGIN_RESETS = "margin-top=null/-1 margin-right=null/-1 margin-bottom=null/-1 "
                                  "margin-left=null/-1 margin=null/-1";

} // namespace

TEST(CssDeclarationApply, PlainPropertiesCustomPropertiesAndPrefixes) {
  const Case cases[] = {
      {"color: red", "color=red/0"},
      {"color:; width: 1px", "width=1px/0"},
      {"Color: Red", "color=Red/0"},
      {"width: 1px !important", "width=1px/0"},
      {"a: b c /* x */ d", "a=b c         d/0"},
      {"--Main: 1px", ""},
      {"-webkit-column-count: 2", "-webkit-column-count=2/0"},
      // A vendor-prefixed shorthand is expanded and its longhands keep the prefix.
      {"-ek-cue: a b", "-ek-cue-before=null/-1 -ek-cue-after=null/-1 -ek-cue=null/-1 -ek-cue-before=a/0 "
                       "-ek-cue-after=b/0"},
      {"_x-pause: 1s", "-x-pause-before=null/-1 -x-pause-after=null/-1 _x-pause=null/-1 -x-pause-before=1s/0 "
                       "-x-pause-after=1s/0"},
  };
  RUN_TABLE(cases);
}

TEST(CssDeclarationApply, BoxShorthandsEveryForm) {
  const std::string resets = MARGIN_RESETS;
  const Case cases[] = {
      {"margin: 1px", "margin-top=1px/0 margin-right=1px/0 margin-bottom=1px/0 margin-left=1px/0"},
      {"margin: 1px 2px", "margin-top=1px/0 margin-right=2px/0 margin-bottom=1px/0 margin-left=2px/0"},
      {"margin: 1px 2px 3px", "margin-top=1px/0 margin-right=2px/0 margin-bottom=3px/0 margin-left=2px/0"},
      {"margin: 1px 2px 3px 4px", "margin-top=1px/0 margin-right=2px/0 margin-bottom=3px/0 margin-left=4px/0"},
      {"margin: -1px auto", "margin-top=-1px/0 margin-right=auto/0 margin-bottom=-1px/0 margin-left=auto/0"},
      {"margin: inherit", "margin-top=inherit/0 margin-right=inherit/0 margin-bottom=inherit/0 margin-left=inherit/0"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(applyAll(c.declarations), resets + " " + c.expected) << c.declarations;

  const Case errors[] = {
      {"margin: 1px 2px 3px 4px 5px", "[963 2:3] => 963"},
      {"margin: var(--empty)", "[963 2:3] => 963"},
      {"padding: 1px -2px", "[963 2:3] => 963"},
      {"border-width: -1px", "[963 2:3] => 963"},
  };
  RUN_TABLE(errors, Vars{{"--empty", ""}});
  applyAll("padding: 1px -2px");
  EXPECT_EQ(g_lastMessage, "Invalid property value: padding: 1px -2px.");

  const Case others[] = {
      {"padding: 0 1em", "padding-top=null/-1 padding-right=null/-1 padding-bottom=null/-1 padding-left=null/-1 "
                         "padding=null/-1 padding-top=0/0 padding-right=1em/0 padding-bottom=0/0 padding-left=1em/0"},
      {"border-style: solid none", "border-top-style=null/-1 border-right-style=null/-1 border-bottom-style=null/-1 "
                                   "border-left-style=null/-1 border-style=null/-1 border-top-style=solid/0 "
                                   "border-right-style=none/0 border-bottom-style=solid/0 border-left-style=none/0"},
      {"border-color: red green blue", "border-top-color=null/-1 border-right-color=null/-1 "
                                       "border-bottom-color=null/-1 border-left-color=null/-1 border-color=null/-1 "
                                       "border-top-color=red/0 border-right-color=green/0 border-bottom-color=blue/0 "
                                       "border-left-color=green/0"},
      {"border-width: thin 0 2px 3pt", "border-top-width=null/-1 border-right-width=null/-1 "
                                       "border-bottom-width=null/-1 border-left-width=null/-1 border-width=null/-1 "
                                       "border-top-width=thin/0 border-right-width=0/0 border-bottom-width=2px/0 "
                                       "border-left-width=3pt/0"},
  };
  RUN_TABLE(others);
}

TEST(CssDeclarationApply, WritingModeHasNoResets) {
  const Case cases[] = {
      {"writing-mode: tb-rl", "writing-mode=null/-1 block-progression=rl/0 direction=ltr/0"},
      {"writing-mode: bt-lr", "writing-mode=null/-1 block-progression=lr/0 direction=rtl/0"},
      {"writing-mode: LR-TB", "writing-mode=null/-1 block-progression=tb/0 direction=ltr/0"},
      {"writing-mode: vertical-lr", "writing-mode=null/-1 block-progression=lr/0"},
      {"writing-mode: horizontal-tb", "writing-mode=null/-1 block-progression=tb/0"},
      {"writing-mode: inherit", "writing-mode=null/-1 block-progression=inherit/0"},
      {"writing-mode: sideways", "[963 2:3] => 963"},
      {"writing-mode: tb-rl lr-tb", "[963 2:3] => 963"},
  };
  RUN_TABLE(cases);
}

TEST(CssDeclarationApply, OtherShorthandGrammars) {
  const Case cases[] = {
      {"border-top: solid 1px red", "border-top-width=null/-1 border-top-style=null/-1 border-top-color=null/-1 "
                                    "border-top=null/-1 border-top-width=1px/0 border-top-style=solid/0 "
                                    "border-top-color=red/0"},
      {"border-top: solid dashed", "[963 2:3] => 963"},
      {"border: 1px solid",
       "border-before-width=null/-1 border-before-style=null/-1 border-before-color=null/-1 "
       "border-after-width=null/-1 border-after-style=null/-1 border-after-color=null/-1 "
       "border-start-width=null/-1 border-start-style=null/-1 border-start-color=null/-1 "
       "border-end-width=null/-1 border-end-style=null/-1 border-end-color=null/-1 border=null/-1 "
       "border-before-width=1px/0 border-before-style=solid/0 border-after-width=1px/0 border-after-style=solid/0 "
       "border-start-width=1px/0 border-start-style=solid/0 border-end-width=1px/0 border-end-style=solid/0"},
      {"background: url(a.png) red 0 top no-repeat",
       "background-color=null/-1 background-image=null/-1 background-repeat=null/-1 "
       "background-attachment=null/-1 background-position-horizontal=null/-1 background-position-vertical=null/-1 "
       "background=null/-1 background-color=red/0 background-image=a.png/0 background-repeat=no-repeat/0 "
       "background-position-horizontal=0/0 background-position-vertical=top/0"},
      {"white-space: pre", "linefeed-treatment=null/-1 white-space-collapse=null/-1 white-space-treatment=null/-1 "
                           "wrap-option=null/-1 white-space=null/-1 linefeed-treatment=preserve/0 "
                           "white-space-collapse=false/0 white-space-treatment=preserve/0 wrap-option=no-wrap/0"},
      {"outline: thick", "outline-width=null/-1 outline-style=null/-1 outline-color=null/-1 outline=null/-1 "
                         "outline-width=thick/0"},
      {"columns: 3 auto", "column-width=null/-1 column-count=null/-1 columns=null/-1 column-width=auto/0 "
                          "column-count=3/0"},
      {"text-decoration: underline overline red",
       "text-decoration-line=null/-1 text-decoration-color=null/-1 text-decoration-style=null/-1 "
       "text-decoration=null/-1 text-decoration-line=underline overline/0 text-decoration-color=red/0"},
      {"list-style: inside square", "list-style-type=null/-1 list-style-position=null/-1 list-style-image=null/-1 "
                                    "list-style=null/-1 list-style-type=square/0 list-style-position=inside/0"},
      {"background-position: top", "background-position-horizontal=null/-1 background-position-vertical=null/-1 "
                                   "background-position=null/-1 background-position-horizontal=center/0 "
                                   "background-position-vertical=top/0"},
      {"background-position: 10% left", "[963 2:3] => 963"},
      {"border-radius: 1px 2px / 3px", "border-top-left-radius=null/-1 border-top-right-radius=null/-1 "
                                       "border-bottom-left-radius=null/-1 border-bottom-right-radius=null/-1 "
                                       "border-radius=null/-1 border-top-left-radius=1px 3px/0 "
                                       "border-top-right-radius=2px 3px/0 border-bottom-left-radius=2px 3px/0 "
                                       "border-bottom-right-radius=1px 3px/0"},
      {"font: italic bold 12pt/1.5 \"A B\", serif",
       "font-style=null/-1 font-variant=null/-1 font-weight=null/-1 font-size=null/-1 line-height=null/-1 "
       "font-size-adjust=null/-1 font-stretch=null/-1 font-family=null/-1 font=null/-1 font-style=italic/0 "
       "font-weight=bold/0 font-size=12pt/0 line-height=1.5/0 font-family=\"A B\" serif/0"},
      {"font: bold serif", "[963 2:3] => 963"},
      {"font: system-font(caption)",
       "font-style=null/-1 font-variant=null/-1 font-weight=null/-1 font-size=null/-1 line-height=null/-1 "
       "font-size-adjust=null/-1 font-stretch=null/-1 font-family=null/-1 font=null/-1 "
       "font-style=system-font(caption)/0 font-variant=system-font(caption)/0 font-weight=system-font(caption)/0 "
       "font-size=system-font(caption)/0 line-height=system-font(caption)/0 "
       "font-size-adjust=system-font(caption)/0 font-stretch=system-font(caption)/0 "
       "font-family=system-font(caption)/0"},
      {"font: 12pt Times New Roman 1px", "[963 2:3] => 963"},
      {"lang: fr", "language=null/-1 country=null/-1 lang=null/-1 language=fr/0"},
      {"lang: en-US", "language=null/-1 country=null/-1 lang=null/-1 language=en/0 country=US/0"},
      {"position: absolute", "relative-position=null/-1 absolute-position=null/-1 position=null/-1 "
                             "relative-position=static/0 absolute-position=absolute/0"},
      {"position: running(header)", "relative-position=null/-1 absolute-position=null/-1 position=running(header)/0"},
      {"float: footnote", "float-x=null/-1 float-y=null/-1 float-wrap=null/-1 float-intrude=null/-1 "
                          "float-reference=null/-1 float-move=null/-1 float-condition=null/-1 float=footnote/0"},
      {"vertical-align: -2pt", "alignment-baseline=null/-1 alignment-adjust=null/-1 baseline-shift=null/-1 "
                               "dominant-baseline=null/-1 vertical-align=null/-1 baseline-shift=-2pt/0"},
      {"size: A4 landscape", "page-width=null/-1 page-height=null/-1 size=A4 landscape/0"},
      {"content: element(header)", "content=element(header)/0"},
      {"border-spacing: 1px 2px", "border-spacing=1px 2px/0"},
      {"border-spacing: -1px", "[963 2:3] => 963"},
  };
  RUN_TABLE(cases);
}

TEST(CssDeclarationApply, VariableSubstitution) {
  const Vars rootVars = {{"--w", "5px"}, {"--chain", "var(--w)"}, {"--m", "1px 2px"}, {"--x", "root"}};
  const Vars childVars = {{"--x", "child"}, {"--loop-a", "var(--loop-b)"}, {"--loop-b", "x var(--loop-a)"},
                          {"--self", "var(--self)"}, {"--fb", "var(--none, var(--fb))"}};
  const Case cases[] = {
      {"width: var(--w)", "width=5px/0"},
      {"width: var( --w )", "width=5px/0"},
      {"width: var(--chain)", "width=5px/0"},
      {"width: -ek-var(--w) -EPUB-VAR(--w)", "width=5px 5px/0"},
      {"width: calc(var(--w) + 1px)", "width=calc(5px + 1px)/0"},
      {"a: var(--x)", "a=child/0"},
      {"width: var(--undefined, 10px)", "[986 2:3] width=10px/0 => 986"},
      {"width: var(--undefined, var(--w))", "[986 2:3] width=5px/0 => 986"},
      {"width: var(--undefined) 1px", "[986 2:3] width=1px/0 => 986"},
      {"width: var(--w, (1px)", "[978 -1:-1] => 978"},
      {"width: var(w)", "[978 2:3] => 978"},
      {"width: var(--w 1px)", "[978 2:3] => 978"},
      {"width: var()", "[978 2:3] => 978"},
      {"width: var(--loop-a)", "[977 2:3] => 977"},
      {"width: var(--self)", "[977 2:3] => 977"},
      {"width: var(--fb)", "[986 2:3] [977 2:3] => 986"},
      {"width: url(var(--w)) var(--w)", "width=url(var(--w)) 5px/0"},
  };
  RUN_TABLE(cases, rootVars, childVars);
  EXPECT_EQ(applyAll("margin: var(--m)", rootVars),
            std::string(MARGIN_RESETS) + " margin-top=1px/0 margin-right=2px/0 margin-bottom=1px/0 margin-left=2px/0");
  applyAll("width: var(--loop-a)", rootVars, childVars);
  EXPECT_EQ(g_lastMessage, "Looped variable reference: --loop-a.");
}

TEST(CssDeclarationApply, FunctionArgumentCounts) {
  const Case cases[] = {
      {"content: counter()", "[979 2:3] => 979"},
      {"content: counter(a, decimal, x)", "[980 2:3] => 980"},
      {"content: counters(a, \".\")", "content=counters(a, \".\")/0"},
      {"content: counter(a decimal) \"x\"", "[985 2:3] content=counter(a decimal) \"x\"/0 => 985"},
      {"content: target-counter(attr(href url), page)", "content=target-counter(attr(href url), page)/0"},
      {"width: calc(1px, 2px)", "[980 2:3] => 980"},
      {"width: clamp(1px, 2px)", "[979 2:3] => 979"},
      {"width: -ek-calc(1px + (2px * 3))", "width=-ek-calc(1px + (2px * 3))/0"},
      {"width: unknown(a b, c d, e)", "width=unknown(a b, c d, e)/0"},
      {"content: counter(var(--two))", "content=counter(a, decimal)/0"},
  };
  RUN_TABLE(cases, Vars{{"--two", "a, decimal"}});
}

TEST(CssDeclarationApply, ExponentialVariableChainIsCut) {
  // Each level repeats the one below eight times: fully expanded, --v9 would be 8^9 copies.
  Vars vars = {{"--v0", "xxxxxxxxxxxxxxxx xxxxxxxxxxxxxxxx"}};
  for (int level = 1; level <= 9; ++level) {
    std::string value;
    for (int i = 0; i < 8; ++i)
      value += "var(--v" + std::to_string(level - 1) + ") ";
    vars["--v" + std::to_string(level)] = value;
  }
  EXPECT_EQ(applyAll("width: var(--v9)", vars), "[977 2:3] => 977");
  // A chain that stays below the limits is expanded in full.
  EXPECT_EQ(applyAll("width: var(--v2)", {{"--v0", "x"}, {"--v1", "var(--v0) var(--v0)"},
                                          {"--v2", "var(--v1) var(--v1)"}}),
            "width=x x x x/0");
  // Long values stop at the text budget even with few references.
  const std::string big(EKCssDeclarationApplier::MAX_SUBSTITUTED_UNITS / 4, 'y');
  EXPECT_EQ(applyAll("width: var(--b) var(--b) var(--b) var(--b) var(--b)", {{"--b", big}}), "[977 2:3] => 977");
}

TEST(CssDeclarationApply, MarkingAndCallbacks) {
  Tree tree({}, {});
  Sheet sheet("width: var(--w, 1px); padding: -1px; color: red");
  const EKCssDeclarations& d = sheet.declarations();
  EKCssDeclarationApplier applier(sheet.rules.get(), tree.child.get(), recordProperty, recordError);
  g_log.clear();
  EXPECT_EQ(applier.apply(d.at(0), d.getSourceId()), 986);
  EXPECT_FALSE(d.at(0).hasDeclError());
  EXPECT_EQ(applier.apply(d.at(1), d.getSourceId()), 963);
  EXPECT_TRUE(d.at(1).hasDeclError());
  // Already marked: the error is returned again but not reported again.
  EXPECT_EQ(applier.apply(d.at(1), d.getSourceId()), 963);
  EXPECT_EQ(g_log, "[986 2:3] width=1px/0 [963 2:25]");

  // A non-zero property result marks the declaration.
  g_propertyResult = 1;
  EXPECT_EQ(applier.apply(d.at(2), d.getSourceId()), 0);
  g_propertyResult = 0;
  EXPECT_TRUE(d.at(2).hasDeclError());

  // Without a property callback errors are still reported; without an error callback the
  // failed declaration is still marked; without rules the position is unknown.
  Sheet other("width: var(w); margin: 1px 2px 3px 4px 5px");
  const EKCssDeclarations& o = other.declarations();
  g_log.clear();
  EXPECT_EQ(EKCssDeclarationApplier(nullptr, tree.child.get(), nullptr, recordError).apply(o.at(0), 0), 978);
  EXPECT_EQ(g_log, "[978 -1:-1]");
  EXPECT_EQ(EKCssDeclarationApplier(nullptr, tree.child.get(), recordProperty, nullptr).apply(o.at(1), 0), 963);
  EXPECT_TRUE(o.at(1).hasDeclError());
}

TEST(CssDeclarationApply, LookupCustomPropertyWalksAncestors) {
  Tree tree({{"--a", "root-a"}, {"--b", "root-b"}}, {{"--a", "child-a"}});
  EXPECT_EQ(utf8(EKCssDeclarationApplier::lookupCustomProperty(tree.child.get(), nm("--a")).toString()), "child-a");
  EXPECT_EQ(utf8(EKCssDeclarationApplier::lookupCustomProperty(tree.child.get(), nm("--b")).toString()), "root-b");
  EXPECT_TRUE(EKCssDeclarationApplier::lookupCustomProperty(tree.child.get(), nm("--c")).isNull());
  EXPECT_TRUE(EKCssDeclarationApplier::lookupCustomProperty(tree.root.get(), nm("--A")).isNull());
  EXPECT_TRUE(EKCssDeclarationApplier::lookupCustomProperty(nullptr, nm("--a")).isNull());
}

TEST(CssPropertyNames, SeparateConcatAndNormalize) {
  struct Row {
    const char* name;
    bool splitCustom;
    const char* prefix;
    const char* rest;
  };
  const Row rows[] = {
      {"-webkit-column-count", false, "-webkit-", "column-count"},
      {"-WebKit-Column", false, "-webkit-", "Column"},
      {"_x-form", false, "-x-", "form"},
      {"-foo", false, "", "-foo"},
      {"_foo", false, "", "_foo"},
      {"MSO-ansi-language", false, "mso-", "ansi-language"},
      {"prince-bookmark-level", false, "prince-", "bookmark-level"},
      {"princess-x", false, "", "princess-x"},
      {"--main", false, "", "--main"},
      {"--main", true, "--", "main"},
      {"margin", true, "", "margin"},
  };
  for (const Row& r : rows) {
    const std::pair<EKName, EKName> split = EKCssParser::separatePrefixPropertyName(nm(r.name), r.splitCustom);
    EXPECT_EQ(utf8(split.first.toString()), r.prefix) << r.name;
    EXPECT_EQ(utf8(split.second.toString()), r.rest) << r.name;
  }
  EXPECT_EQ(EKCssParser::concatPrefixPropertyName(EKName(), nm("margin")), nm("margin"));
  EXPECT_EQ(EKCssParser::concatPrefixPropertyName(nm("-ek-"), nm("margin-top")), nm("-ek-margin-top"));
  EXPECT_EQ(EKCssParser::concatPrefixPropertyName(nm("-ek-"), nm("-moz-top")), nm("-moz-top"));
  EXPECT_EQ(EKCssParser::concatPrefixPropertyName(nm("-ek-"), nm("--x")), nm("--x"));
  EXPECT_EQ(EKCssParser::normailzieFunctionName(nm("-EK-Var")), nm("var"));
  EXPECT_EQ(EKCssParser::normailzieFunctionName(nm("-epub-calc")), nm("calc"));
  EXPECT_EQ(EKCssParser::normailzieFunctionName(nm("-webkit-calc")), nm("-webkit-calc"));
  EXPECT_EQ(EKCssParser::normailzieFunctionName(nm("URL")), nm("url"));
}

TEST(CssPropertyNames, DecomposeExpression) {
  const Case cases[] = {
      {"1px -2pt solid", "1px|-2pt|solid"},
      {"a, \"b c\"", "a|,|b c"},
      {"12pt/1.5 serif", "12pt|/|1.5|serif"},
      {"url(x.png) counter(a, b) (1 + 2)", "x.png|counter(a, b)|(1 + 2)"},
      {"", ""},
  };
  for (const Case& c : cases) {
    std::vector<EKValue> out;
    EKCssParser::decomposeExpression(u(c.declarations), out);
    std::string text;
    for (const EKValue& v : out)
      text += (text.empty() ? "" : "|") + utf8(v.toString());
    EXPECT_EQ(text, c.expected) << c.declarations;
  }
  std::vector<EKValue> out;
  EKCssParser::decomposeExpression(u("\"s\" url(a)"), out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_TRUE(out[0].isLiteralString());
  EXPECT_TRUE(out[1].isUriString());
}

TEST(CssDeclarationApply, PreparedFormsReplayTheFirstApplication) {
  // Each declaration applied three times through one slot gives the host the same as applying it
  // without a slot; only declarations free of var() and of errors are prepared.
  const Vars vars = {{"--w", "5px"}};
  const struct {
    const char* declaration;
    bool prepared;
  } cases[] = {
      {"color: rgba(0, 0, 0, 0.5)", true},        {"margin: 0 0 1em", true},
      {"-ek-padding: 1px 2px", true},            {"width: calc(1px + 2px)", true},
      {"width: var(--w)", false},                {"content: counter(a decimal)", false},
      {"width: calc()", false},                  {"padding: -1px", false},
  };
  for (const auto& c : cases) {
    const std::string once = applyAll(c.declaration, {}, vars);
    Tree tree({}, vars);
    Sheet sheet(c.declaration);
    const EKCssDeclaration& d = sheet.declarations().at(0);
    EKCssDeclarationApplier::PreparedSlot slot{nullptr};
    for (int round = 0; round < 3; ++round) {
      g_log.clear();
      const unsigned short code =
          EKCssDeclarationApplier(sheet.rules.get(), tree.child.get(), recordProperty, recordError)
              .apply(d, sheet.declarations().getSourceId(), &slot);
      // An error that marks the declaration is reported the first time only.
      if (round == 0 || !d.hasDeclError()) {
        EXPECT_EQ(g_log + (code ? " => " + std::to_string(code) : ""), once) << c.declaration << " " << round;
      }
    }
    EXPECT_EQ(slot.load() != nullptr, c.prepared) << c.declaration;
    delete slot.load();
  }

  // A declaration changed after it was prepared is applied afresh.
  Tree tree({}, {});
  EKCssDeclaration d(nm("width"), u("1px"));
  EKCssDeclarationApplier::PreparedSlot slot{nullptr};
  EKCssDeclarationApplier applier(nullptr, tree.child.get(), recordProperty, recordError);
  g_log.clear();
  applier.apply(d, 0, &slot);
  d.setValueText(u("2px"));
  applier.apply(d, 0, &slot);
  EXPECT_EQ(g_log, "width=1px/0 width=2px/0");
  delete slot.load();
}
