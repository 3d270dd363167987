#include "support/TestStrings.h"

#include "ekcommon/css/internal/EKCssRulesImpl.h"

#include <gtest/gtest.h>

#include <string>

using namespace EKCommonNS;

namespace {

// Page selectors outlive the sheets they come from here; the names they hold stay valid only
// while someone holds the shared name table.
struct NameTableHold {
  NameTableHold() { EKNameTable::addRefSharedNameTable(); }
  ~NameTableHold() { EKNameTable::releaseSharedNameTable(); }
} const nameTableHold;

bool anyMedium(const EKCssMediaQuery*, void*) { return true; }

struct Parsed {
  EKPtr<EKCssRules> sheet;
  std::string errors; // "CODE LINE:COLUMN MESSAGE" a line each
};

Parsed parse(const char* text, unsigned features = EKCssParser::DEFAULT_FEATURES,
             EKCascadingOrigin origin = EK_ORIGIN_AUTHOR) {
  EKPtr<EKCssParser> parser = EKCssParser::createCssParser(nullptr, nullptr);
  parser->setFeature(features, true);
  parser->setText(u(text), EKName(), EKUri());
  Parsed parsed{EKCssRules::createCssRules(origin, u"", false, anyMedium, nullptr), ""};
  parser->parseInto(parsed.sheet.get());
  if (const std::vector<EKError>* errors = parser->getIssuedErrors()) {
    for (const EKError& e : *errors)
      parsed.errors += std::to_string(e.getErrorCode()) + ' ' + std::to_string(e.getLineNumber()) + ':' +
                       std::to_string(e.getColumnNumber()) + ' ' + utf8(e.getRawMessage()) + '\n';
  }
  return parsed;
}

// "prop:value;" for each declaration ("!" after an important one), lists joined by "|".
std::string declarations(const std::vector<const EKCssDeclarations*>& lists) {
  std::string out;
  for (const EKCssDeclarations* list : lists) {
    if (!out.empty())
      out += '|';
    for (const EKCssDeclaration& d : *list)
      out += utf8(d.getProperty().toString()) + ':' + utf8(d.getValueText()) + (d.isImportant() ? "!;" : ";");
  }
  return out;
}

std::string specificity(const EKCssSelector& s) {
  return '(' + std::to_string(EKCssSelector::specificityIds(s.specificity)) + ',' +
         std::to_string(EKCssSelector::specificityClasses(s.specificity)) + ',' +
         std::to_string(EKCssSelector::specificityTypes(s.specificity)) + ')';
}

// Each page rule in cascade order on a line: "SELECTOR (I,C,T) pPRECEDENCE {DECLARATIONS}" and
// " @NAME{DECLARATIONS}" for each inner rule.
std::string describe(const EKCssRules& rules) {
  std::string out;
  const EKPtr<EKCssPageRuleList> list = rules.getPageRules();
  for (const EKCssPageRule& rule : *list) {
    const EKCssSelector& s = *rule.getSelector();
    out += utf8(s.toString()) + ' ' + specificity(s) + " p" + std::to_string(s.precedence) + " {" +
           declarations(*rule.getPageDeclarations()) + '}';
    EKCssPageInnerRulesIterator inner(rule.getInnerRules());
    for (auto entry = inner.next(); entry.second; entry = inner.next())
      out += " @" + utf8(entry.first.toString()) + '{' + declarations(*entry.second->getDeclarations()) + '}';
    out += '\n';
  }
  return out;
}

TEST(CssPageRules, ParsedAndStoredInCascadeOrder) {
  const struct {
    const char* sheet;
    const char* rules;
    const char* errors;
  } rows[] = {
      {"@page :first { margin: 1in }", "@page :first (0,1,0) p3 {margin:1in;}\n", ""},
      {"@page chapter:left { @top-center { content: \"x\" } }",
       "@page chapter:left (1,0,1) p3 {} @top-center{content:\"x\";}\n", ""},
      {"@page{}", "@page (0,0,0) p3 {}\n", ""},
      {"@PAGE Chapter:FIRST:Left:nth( 2n + 1 ) { a: b }",
       "@page Chapter:FIRST:Left:nth(2n + 1) (1,2,1) p3 {a:b;}\n", ""},
      // One entry per selector and importance; the normal ones lose to the important ones.
      {"@page :first, chapter:right { a: b !important; c: d }",
       "@page :first (0,1,0) p3 {c:d;}\n@page chapter:right (1,0,1) p3 {c:d;}\n"
       "@page :first (0,1,0) p5 {a:b!;}\n@page chapter:right (1,0,1) p5 {a:b!;}\n",
       ""},
      // Specificity: name, then position/blank/nth, then side; then source order.
      {"@page named {a:1} @page :first {a:2} @page :left {a:3} @page {a:4} @page :blank {a:5} @page :left {a:6}",
       "@page (0,0,0) p3 {a:4;}\n@page :left (0,0,1) p3 {a:3;}\n@page :left (0,0,1) p3 {a:6;}\n"
       "@page :first (0,1,0) p3 {a:2;}\n@page :blank (0,1,0) p3 {a:5;}\n@page named (1,0,0) p3 {a:1;}\n",
       ""},
      {"@page { @top-left { a: 1 } d: 4; @footnote { b: 2 } @top-left { c: 3 !important } @sidenote {} }",
       "@page (0,0,0) p3 {d:4;} @footnote{b:2;} @sidenote{} @top-left{a:1;|c:3!;}\n", ""},
      {"@media print { @page :last { a: b } } @page :only:rest:not-blank:verso:odd {}",
       "@page :last (0,1,0) p3 {a:b;}\n@page :only:rest:not-blank:verso:odd (0,3,2) p3 {}\n", ""},
      {"@page :lefty {} @page :left {}", "@page :left (0,0,1) p3 {}\n",
       "975 1:8 Invalid pseudo-page-selector: 'lefty'.\n"},
      {"@page , :first {}", "", "973 1:7 Empty page-selector.\n"},
      {"@page :first, { a: b } p { c: d }", "", "973 1:15 Empty page-selector.\n"},
      {"@page :nth(x) { a: b }", "", "960 1:7 Invalid pseudo-selector: ':nth(x)'.\n"},
      {"@page :NTH(  ) {}", "", "960 1:7 Invalid pseudo-selector: ':NTH()'.\n"},
      {"@page :first :left {}", "", "974 1:14 Invalid page-selector: ':'.\n"},
      {"@page one two { a: b } @page two {}", "@page two (1,0,0) p3 {}\n",
       "974 1:11 Invalid page-selector: 'two'.\n"},
      {"@page :left(x) {}", "", "975 1:8 Invalid pseudo-page-selector: 'left('.\n"},
      {"@page :foo(a{b}) {} @page :right {}", "@page :right (0,0,1) p3 {}\n",
       "975 1:8 Invalid pseudo-page-selector: 'foo('.\n"},
      {"@page : first {}", "", "975 1:8 Invalid pseudo-page-selector: ' '.\n"},
      {"@page :'first' {}", "", "975 1:8 Invalid pseudo-page-selector: 'first'.\n"},
      {"@page :first; @page :last {}", "@page :last (0,1,0) p3 {}\n", "951 1:13 Missing opening curly-bracket.\n"},
      {"@media print { @page :first } @page :last {}", "@page :last (0,1,0) p3 {}\n",
       "951 1:29 Missing opening curly-bracket.\n"},
      {"@page :first", "", "936 1:13 Unexpected end of stylesheet.\n"},
      {"@page :nth(2n", "", "936 1:14 Unexpected end of stylesheet.\n"},
      {"@page :", "", "936 1:8 Unexpected end of stylesheet.\n"},
      {"@page :x { a: b", "", "975 1:8 Invalid pseudo-page-selector: 'x'.\n936 1:16 Unexpected end of stylesheet.\n"},
      {"@page :first { a: b", "@page :first (0,1,0) p3 {a:b;}\n", "936 1:20 Unexpected end of stylesheet.\n"},
      // Placement of the nested blocks.
      {"@top-left { a: b }", "", "945 1:1 Must place @top-left inside @page.\n"},
      {"@page { @top-left { @bottom-right { a: b } c: d } }", "@page (0,0,0) p3 {} @top-left{c:d;}\n",
       "944 1:21 Cannot place @bottom-right inside @top-left.\n"},
      {"@page { @footnote { @sidenote {} } }", "@page (0,0,0) p3 {} @footnote{}\n",
       "944 1:21 Cannot place @sidenote inside @footnote.\n"},
      {"@page :first { @page :left {} a: b }", "@page :first (0,1,0) p3 {a:b;}\n",
       "944 1:16 Cannot place @page inside @page.\n"},
      {"@page { @media print { p { a: b } } c: d }", "@page (0,0,0) p3 {c:d;}\n",
       "944 1:9 Cannot place @media inside @page.\n"},
      {"@page { @import \"x.css\"; a: b }", "@page (0,0,0) p3 {a:b;}\n", "937 1:9 Unexpected @import.\n"},
      {"@page { @bogus { x: y } a: b }", "@page (0,0,0) p3 {a:b;}\n", "946 1:9 Unknown or unsupported @bogus.\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.sheet);
    const Parsed parsed = parse(row.sheet);
    EXPECT_EQ(describe(*parsed.sheet), row.rules);
    EXPECT_EQ(parsed.errors, row.errors);
  }
}

TEST(CssPageRules, FeaturesDropNestedBlocks) {
  const char* sheet = "@page { @top-left { a: 1 } @footnote { b: 2 } @sidenote { c: 3 } d: 4 }";
  const struct {
    unsigned features;
    const char* rules;
  } rows[] = {
      {0, "@page (0,0,0) p3 {d:4;} @footnote{b:2;} @sidenote{c:3;} @top-left{a:1;}\n"},
      {EKCssParser::FEATURE_IGNORE_FOOTNOTE, "@page (0,0,0) p3 {d:4;} @sidenote{c:3;} @top-left{a:1;}\n"},
      {EKCssParser::FEATURE_IGNORE_PAGE_CONTEXT, "@page (0,0,0) p3 {d:4;}\n"},
  };
  for (const auto& row : rows) {
    const Parsed parsed = parse(sheet, row.features);
    EXPECT_EQ(describe(*parsed.sheet), row.rules) << row.features;
    EXPECT_EQ(parsed.errors, "") << row.features;
  }
}

TEST(CssPageRules, RecordsAndSelectorsOfARule) {
  const Parsed parsed = parse("p { x: y }\n@page Chapter:LEFT:first:nth(odd) { a: b; @bottom-center { c: d } }");
  const EKPtr<EKCssPageRuleList> list = parsed.sheet->getPageRules();
  ASSERT_EQ(list->size(), 1);
  const EKCssPageRule& rule = list->at(0);
  EXPECT_EQ(rule.getSelector()->atRule, static_cast<uint32_t>(EKN_page));
  EXPECT_EQ(rule.getSelector()->sourceOrder, 1); // after the rule set
  const EKCssPageSelector& page = rule.getPageSelector();
  EXPECT_EQ(page.getPageIdent(), EKName(u("chapter")));
  EXPECT_EQ(page.getPagePosition(), EKN_first);
  EXPECT_EQ(page.getOddOrEven(), EKN_left);
  EXPECT_TRUE(page.getBlankOrNotBlank().isEmpty());
  EXPECT_EQ(*page.getNths(), (std::set<EKUtil::Nth>{EKUtil::Nth(2, 1)}));
  const EKCssPageInnerRule* box = rule.getInnerRules()->find(EKN_bottom_center);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->getSelector()->atRule, static_cast<uint32_t>(EKN_bottom_center));
  EXPECT_EQ(box->getSelector()->precedence, rule.getSelector()->precedence);
  EXPECT_EQ(utf8(box->getSelector()->toString()), "@bottom-center Chapter:LEFT:first:nth(odd)");
  EXPECT_EQ(rule.getInnerRules()->find(EKN_top_center), nullptr);
  // The declarations point into the rules object, not into the list.
  EXPECT_EQ(parsed.sheet->getPageRules()->at(0).getPageDeclarations()->at(0), rule.getPageDeclarations()->at(0));
  // Copies are independent of the list they came from.
  EKCssPageRule copy = rule;
  EXPECT_EQ(copy.getInnerRules()->find(EKN_bottom_center)->getDeclarations()->at(0),
            box->getDeclarations()->at(0));
  EXPECT_EQ(copy.getPageSelector().getPageIdent(), page.getPageIdent());

  EKCssPageInnerRulesIterator none(nullptr);
  const auto end = none.next();
  EXPECT_TRUE(end.first.isEmpty());
  EXPECT_EQ(end.second, nullptr);
  EKCssPageInnerRulesIterator once(rule.getInnerRules());
  EXPECT_EQ(once.next().first, EKN_bottom_center);
  EXPECT_EQ(once.next().second, nullptr);
  EXPECT_EQ(once.next().second, nullptr);
}

EKCssPageSelector pageSelector(const char* text) {
  const Parsed parsed = parse((std::string("@page ") + text + " {}").c_str());
  EXPECT_EQ(parsed.errors, "") << text;
  const EKPtr<EKCssPageRuleList> list = parsed.sheet->getPageRules();
  return list->empty() ? EKCssPageSelector() : list->at(0).getPageSelector();
}

std::string names(const std::set<EKName>& set) {
  std::string out;
  for (EKName name : set)
    out += (out.empty() ? "" : " ") + utf8(name.toString());
  return out;
}

TEST(CssPageSelector, SidesAsParity) {
  const struct {
    const char* selector;
    unsigned writingMode;
    bool ok;
    const char* sides;
  } rows[] = {
      {":left", 1, true, "odd"},           {":left", 0, true, "even"},     {":right", 2, true, "even"},
      {":right", 6, true, "odd"},          {":recto", 3, true, "odd"},     {":verso", 0, true, "even"},
      {":odd", 5, true, "odd"},            {":left:right", 0, false, "even odd"},
      {":left:even", 0, true, "even"},     {":left:even", 1, false, "even odd"},
      {":first:last", 0, false, ""},       {":blank:not-blank", 0, false, ""},
      {":first:blank:recto", 0, true, "odd"}, {"", 0, true, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.selector);
    EKCssPageSelector selector = pageSelector(row.selector);
    const EKCssPageSelector before = selector;
    EXPECT_EQ(selector.leftRight2oddEven(EKWritingMode(row.writingMode)), row.ok);
    EXPECT_EQ(names(selector.getSides()), row.sides);
    // The copy made before is deep: it keeps the sides as written.
    EXPECT_EQ(before.getSides(), pageSelector(row.selector).getSides());
  }
}

TEST(CssPageSelector, RulesThatApplyToAPage) {
  const struct {
    const char* rule;
    const char* page;
    bool applies;
  } rows[] = {
      {"", "chapter:first:left", true},
      {"chapter", "chapter:first", true},
      {"Chapter", "chapter", true},
      {"chapter", "index", false},
      {"chapter", ":first", false},
      {":first", "chapter:first:left", true},
      {":first", "chapter:left", false},
      {":left", ":verso", true},
      {":recto", ":right", true},
      {":odd", ":left", false},
      {":left:right", ":left:right", false},
      {":blank", ":first", false},
      {":nth(2n+1)", ":nth(odd)", true},
      {":nth(2n)", ":nth(odd)", false},
      {"x:first:nth(3)", "x:first:left:nth(3)", true},
  };
  for (const auto& row : rows)
    EXPECT_EQ(pageSelector(row.rule).appliesTo(pageSelector(row.page)), row.applies) << row.rule << " / " << row.page;
}

TEST(CssPageSelector, OrderFollowsTheCascade) {
  const Parsed parsed = parse("@page :first {} @page {} @page x {}");
  const EKPtr<EKCssPageRuleList> list = parsed.sheet->getPageRules();
  ASSERT_EQ(list->size(), 3);
  for (int i = 0; i < list->size(); ++i) {
    EXPECT_EQ(list->at(i).getPageSelector().getOrder(), i);
    if (i > 0) {
      EXPECT_TRUE(list->at(i - 1).getPageSelector() < list->at(i).getPageSelector());
    }
  }
  EXPECT_FALSE(list->at(1).getPageSelector() < list->at(1).getPageSelector());
}

TEST(CssPageRules, MergedSheetsAndRemovedOrigins) {
  const Parsed user = parse("@page :first { a: user !important; @top-left { b: 1 } }", EKCssParser::DEFAULT_FEATURES,
                            EK_ORIGIN_USER);
  const Parsed author = parse("p {}\n@page :first { a: author; @top-left { b: 2 } }");
  EKPtr<EKCssRules> map = EKCssRules::createRuleMap(u"");
  map->mergeRules(user.sheet.get());
  map->mergeRules(author.sheet.get());
  EXPECT_EQ(describe(*map), "@page :first (0,1,0) p2 {} @top-left{b:1;}\n"
                            "@page :first (0,1,0) p3 {a:author;} @top-left{b:2;}\n"
                            "@page :first (0,1,0) p6 {a:user!;}\n");
  const EKPtr<EKCssPageRuleList> before = map->getPageRules();
  // The author sheet's blocks are renumbered to its source id in the map.
  EXPECT_EQ(before->at(1).getPageDeclarations()->at(0)->getSourceId(), 1);
  EXPECT_EQ(before->at(1).getInnerRules()->find(EKN_top_left)->getDeclarations()->at(0)->getSourceId(), 1);
  EXPECT_EQ(before->at(0).getInnerRules()->find(EKN_top_left)->getDeclarations()->at(0)->getSourceId(), 0);
  // The author page rule ordered after the user's, and after the author's rule set.
  EXPECT_EQ(before->at(1).getSelector()->sourceOrder, 2);

  map->removeOrigin(EK_ORIGIN_AUTHOR);
  EXPECT_EQ(describe(*map), "@page :first (0,1,0) p2 {} @top-left{b:1;}\n@page :first (0,1,0) p6 {a:user!;}\n");
  // Declarations handed out before stay readable.
  EXPECT_EQ(declarations(*before->at(1).getPageDeclarations()), "a:author;");
  EXPECT_EQ(declarations(*before->at(1).getInnerRules()->find(EKN_top_left)->getDeclarations()), "b:2;");
  map->removeOrigin(EK_ORIGIN_USER);
  EXPECT_TRUE(map->getPageRules()->empty());
  // The sheets themselves keep their rules.
  EXPECT_EQ(author.sheet->getPageRules()->size(), 1);
}

} // namespace
