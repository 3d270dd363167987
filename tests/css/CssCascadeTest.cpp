// Applying rules to documents: each row gives a document, its sheets (with their origins) and,
// for every element with an id, the value of each property that wins the cascade (the last one
// the property callback receives), as CSS Cascading and Selectors Level 4 order them.
#include "ekcommon/css/internal/EKCssDeclarationApplier.h"
#include "support/TestStrings.h"

#include <ekcommon/ekcommon.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace EKCommonNS;

namespace {

struct Sheet {
  EKCascadingOrigin origin;
  const char* text;
};

struct Row {
  const char* document;
  std::vector<Sheet> sheets;
  // "id: property=value property=value" per element with an id, in document order, joined by " | ".
  const char* winners;
};

// Element id -> property -> winning value, filled by the property callback.
using Winners = std::map<std::string, std::map<std::string, std::string>>;
thread_local Winners* tWinners = nullptr;

std::string idOf(EKElement* element) { return utf8(element->getAttribute(EKN_id).toString()); }

unsigned short record(EKElement* element, EKName property, EKValue value, int, const EKCssDeclaration*) {
  if (!value.isNull())
    (*tWinners)[idOf(element)][utf8(property.toString())] = utf8(value.toString());
  return 0;
}

bool noMedium(const EKCssMediaQuery*, void*) { return false; }

EKPtr<EKDocument> load(const char* text) {
  EKPtr<EKDocument> doc(new EKDocument());
  std::istringstream in(text);
  doc->load(in, nullptr, u("doc.xml"));
  return doc;
}

EKPtr<EKCssRules> rulesOf(const std::vector<Sheet>& sheets) {
  EKPtr<EKCssRules> rules = EKCssRules::createRuleMap(UnicodeString());
  for (const Sheet& sheet : sheets) {
    EKPtr<EKCssParser> parser = EKCssParser::createCssParser(nullptr, nullptr);
    EKPtr<EKCssRules> parsed = EKCssRules::createCssRules(sheet.origin, UnicodeString(), false, noMedium, nullptr);
    parser->setText(u(sheet.text), EKName(), EKUri());
    EXPECT_EQ(parser->parseInto(parsed.get()), 0) << sheet.text;
    rules->mergeRules(parsed.get());
  }
  return rules;
}

// Every element in document order.
std::vector<EKElement*> elements(EKDocument* doc) {
  std::vector<EKElement*> out;
  EKTreeIterator it(doc->getDocumentElement(), EKTreeIterator::PRE_ORDER);
  while (EKNode* node = it.nextNode()) {
    if (node->isElementNode())
      out.push_back(static_cast<EKElement*>(node));
  }
  return out;
}

std::string describe(const Winners& winners, EKDocument* doc) {
  std::string text;
  for (EKElement* element : elements(doc)) {
    const std::string id = idOf(element);
    if (id.empty())
      continue;
    text += (text.empty() ? "" : " | ") + id + ":";
    auto it = winners.find(id);
    if (it == winners.end())
      continue;
    for (const auto& entry : it->second)
      text += " " + entry.first + "=" + entry.second;
  }
  return text;
}

std::string cascade(EKDocument* doc, EKCssRules* rules, EKCssPseudoClassCallback pseudoClass = nullptr,
                    EKCssElementCallback elementCallback = nullptr) {
  Winners winners;
  tWinners = &winners;
  const EKName style(u("style"));
  for (EKElement* element : elements(doc))
    rules->applyRules(element, record, nullptr, nullptr, pseudoClass, elementCallback, &style);
  tWinners = nullptr;
  return describe(winners, doc);
}

std::string cascade(const char* document, EKCssRules* rules, EKCssPseudoClassCallback pseudoClass = nullptr,
                    EKCssElementCallback elementCallback = nullptr) {
  return cascade(load(document).get(), rules, pseudoClass, elementCallback);
}

void check(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    EKPtr<EKCssRules> rules = rulesOf(row.sheets);
    EXPECT_EQ(cascade(row.document, rules.get()), row.winners) << row.document;
  }
}

constexpr EKCascadingOrigin UA = EK_ORIGIN_USER_AGENT;
constexpr EKCascadingOrigin USER = EK_ORIGIN_USER;
constexpr EKCascadingOrigin AUTHOR = EK_ORIGIN_AUTHOR;

TEST(CssCascade, OriginImportanceSpecificityAndOrder) {
  check({
      {"<r><p id='a' class='b c d'/></r>", {{AUTHOR, "#a{color:red} .b.c.d{color:blue}"}}, "a: color=red"},
      {"<r><p id='a'/></r>", {{AUTHOR, "p{color:red} p{color:blue} r p{x:1} p{x:2}"}}, "a: color=blue x=1"},
      {"<r><p id='a'/></r>",
       {{USER, "p{a:user; b:user !important; c:user}"}, {AUTHOR, "p{a:author !important; b:author !important; c:author}"},
        {UA, "#a{c:ua !important}"}},
       "a: a=author b=user c=ua"},
      {"<r><p id='a' style='color: red; x: s !important'/><p id='b' style='color:red'/></r>",
       {{AUTHOR, "#a{color:green; x: a !important} p{color: blue !important}"}, {USER, "#b{y:1 !important}"}},
       "a: color=blue x=s | b: color=blue y=1"},
      {"<r><p id='a' style='color: red !important'/></r>",
       {{AUTHOR, "#a{color: blue !important}"}, {USER, "p{z: u !important}"}}, "a: color=red z=u"},
  });
}

TEST(CssCascade, CombinatorsAndStructure) {
  check({
      {"<r id='r'><s id='s'><p id='p1'/><q id='q'/><p id='p2'/></s><p id='p3'/></r>",
       {{AUTHOR, "r p{a:desc} s > p{b:child} p + q{c:adj} p ~ p{d:sib} r > s > q + p{e:deep} s q ~ *{f:any}"}},
       "r: | s: | p1: a=desc b=child | q: c=adj | p2: a=desc b=child d=sib e=deep f=any | p3: a=desc"},
      {"<r id='r'><a id='a1'/><a id='a2'/><b id='b1'/><a id='a3'/><b id='b2'><c/></b><e id='e'></e></r>",
       {{AUTHOR, ":first-child{f:1} :last-child{l:1} a:nth-child(2n+1){o:1} :nth-last-child(2){nl:1} "
                 "a:first-of-type{ft:1} b:last-of-type{lt:1} a:nth-of-type(2){nt:1} :empty{em:1} :root{root:1} "
                 ":only-child{oc:1}"}},
       "r: root=1 | a1: em=1 f=1 ft=1 o=1 | a2: em=1 nt=1 | b1: em=1 | a3: em=1 | b2: lt=1 nl=1 | "
       "e: em=1 l=1"},
      // Backtracking: the first ancestor matching is not always the one that works.
      {"<a id='x'><b><y><b><c id='c'/></b></y></b></a>",
       {{AUTHOR, "a > b c{v:1} y > b > c{w:1} x c{n:1} a b y b c{all:1} a > y c{no:1}"}}, "x: | c: all=1 v=1 w=1"},
  });
}

TEST(CssCascade, SiblingPositionsFollowChangesToTheTree) {
  EKPtr<EKCssRules> rules =
      rulesOf({{AUTHOR, "p:nth-child(odd){odd:1} p:nth-last-of-type(1){lastp:1} q:nth-of-type(2){q2:1} "
                        ":nth-last-child(2){nl2:1}"}});
  EKPtr<EKDocument> doc = load("<r><p id='a'/><q id='b'/><p id='c'/><q id='d'/><p id='e'/></r>");
  EXPECT_EQ(cascade(doc.get(), rules.get()), "a: odd=1 | b: | c: odd=1 | d: nl2=1 q2=1 | e: lastp=1 odd=1");
  EKElement* root = doc->getDocumentElement();
  root->insertBefore(doc->createElement(EKName(u("q"))), root->getFirstChild());
  root->removeChild(root->getLastChild());
  EXPECT_EQ(cascade(doc.get(), rules.get()), "a: | b: q2=1 | c: lastp=1 nl2=1 | d:");

  // Children styled as they are appended, the tree changing between every two elements.
  EKPtr<EKDocument> grown = load("<r/>");
  Winners winners;
  tWinners = &winners;
  for (int i = 1; i <= 7; ++i) {
    EKPtr<EKElement> p = grown->createElement(EKName(u("p")));
    p->setAttribute(EKN_id, EKValue(u(std::to_string(i).c_str()), UNIT_STRING));
    grown->getDocumentElement()->appendChild(p);
    rules->applyRules(p.get(), record, EKName());
  }
  tWinners = nullptr;
  EXPECT_EQ(describe(winners, grown.get()),
            "1: lastp=1 odd=1 | 2: lastp=1 | 3: lastp=1 odd=1 | 4: lastp=1 | 5: lastp=1 odd=1 | 6: lastp=1 | "
            "7: lastp=1 odd=1");
}

TEST(CssCascade, AncestorNamesFollowTheCaseRules) {
  const char* document = "<r class='Menu' id='Top'><s><p id='a' class='item'/></s><q id='b'/></r>";
  const char* sheet = ".menu .item{lower:1} .Menu > s > .item{exact:1} #Top p{id:1} r s p{types:1} R p{upper:1} "
                      ".Menu ~ q{none:1} r > s + q{sa:1} .Menu > q{kid:1} #top .ITEM{ci:1}";
  EKPtr<EKCssRules> rules = rulesOf({{AUTHOR, sheet}});
  EXPECT_EQ(cascade(document, rules.get()), "Top: | a: exact=1 id=1 types=1 | b: kid=1 sa=1");
  // Ids and classes compared without regard to case.
  rules->setFeature(16, false);
  rules->setFeature(2, true);
  EXPECT_EQ(cascade(document, rules.get()), "Top: | a: ci=1 exact=1 id=1 lower=1 types=1 | b: kid=1 sa=1");
}

TEST(CssCascade, AttributesClassesIdsNegationAndNamespaces) {
  check({
      {"<r><p id='a' lang='en-US' title='one two' href='http://x/y.pdf'/><p id='b' lang='EN'/></r>",
       {{AUTHOR, "[lang|=en]{l:1} [title~=two]{t:1} [href^='http']{h:1} [href$='.pdf']{s:1} [href*='x/y']{c:1} "
                 "[title]{p:1} [title='one']{e:1} [lang=en]{ci:1}"}},
       "a: c=1 h=1 l=1 p=1 s=1 t=1 | b:"},
      {"<r><p id='a' class='x  y'/><p id='b' class='X'/><q id='c'/></r>",
       {{AUTHOR, ".x.y{xy:1} .X{up:1} p:not(.x){nx:1} :not(p){np:1} :not([class]){nc:1} #A{caps:1}"}},
       "a: xy=1 | b: nx=1 up=1 | c: nc=1 np=1"},
      {"<r xmlns:s='urn:s'><s:p id='a'/><p id='b'/></r>",
       {{AUTHOR, "@namespace t url(urn:s); t|p{ns:1} *|p{any:1} |p{none:1} p{plain:1}"}},
       "a: any=1 ns=1 plain=1 | b: any=1 none=1 plain=1"},
      {"<r xmlns='urn:d'><p id='a'/></r>", {{AUTHOR, "@namespace url(urn:e); p{in:1} *|p{any:1}"}}, "a: any=1"},
  });
}

TEST(CssCascade, CustomPropertiesAreSetOnTheElementAndSubstituted) {
  check({
      {"<r id='r'><p id='a'/></r>", {{AUTHOR, "r{--c: red; --c: green} p{color: var(--c)} #a{--w: 2px; width: var(--w)}"}},
       "r: | a: color=green width=2px"},
  });
  EKPtr<EKCssRules> rules = rulesOf({{AUTHOR, "p{--x: 1px}"}});
  EKPtr<EKDocument> doc = load("<p/>");
  EKElement* p = doc->getDocumentElement();
  EXPECT_EQ(rules->applyRules(p, record, EKName()), 0);
  EXPECT_EQ(utf8(p->getAttributeNS(EKCssDeclarationApplier::customPropertyNamespace(), EKName(u("--x"))).toString()),
            "1px");
}

bool hoverOnly(EKElement*, EKName pseudoClass, const EKValue&) { return pseudoClass == EKN_hover; }

bool askBefore(EKElement*, EKCssElementQuery query, EKName* pseudoElement) {
  if (query == EK_CSS_MATCH_TARGET)
    *pseudoElement = EKN_before;
  return true;
}

std::vector<std::string> tMatchedPseudo;
bool notePseudo(EKElement*, EKCssElementQuery query, EKName* pseudoElement) {
  if (query == EK_CSS_PSEUDO_ELEMENT_MATCHED)
    tMatchedPseudo.push_back(utf8(pseudoElement->toString()));
  return true;
}

TEST(CssCascade, DynamicPseudoClassesAndPseudoElementsGoThroughTheHost) {
  EKPtr<EKCssRules> rules = rulesOf({{AUTHOR, "p:hover{h:1} p:focus{f:1} p::before{b:1} p:hover::after{a:1}"}});
  EXPECT_EQ(cascade("<r><p id='a'/></r>", rules.get()), "a:");
  EXPECT_EQ(cascade("<r><p id='a'/></r>", rules.get(), hoverOnly), "a: h=1");
  EXPECT_EQ(cascade("<r><p id='a'/></r>", rules.get(), hoverOnly, askBefore), "a: b=1");
  tMatchedPseudo.clear();
  cascade("<r><p id='a'/></r>", rules.get(), hoverOnly, notePseudo);
  EXPECT_EQ(tMatchedPseudo, (std::vector<std::string>{"before", "after"}));
}

std::vector<std::string> tOrder;
unsigned short noteOrder(EKElement*, EKName property, EKValue, int, const EKCssDeclaration*) {
  tOrder.push_back(utf8(property.toString()));
  return 0;
}
bool fontFirst(EKElement*, EKName property) {
  if (property.isEmpty())
    tOrder.push_back("|");
  return property.toString().startsWith(u("font"));
}
bool nothingFirst(EKElement*, EKName property) {
  if (property.isEmpty())
    tOrder.push_back("|");
  return false;
}

TEST(CssCascade, PriorityFilterAppliesInTwoPasses) {
  EKPtr<EKCssRules> rules = rulesOf({{AUTHOR, "p{color:red; font-size:2pt; width:1pt; font-weight:bold}"}});
  EKPtr<EKDocument> doc = load("<p/>");
  tOrder.clear();
  rules->applyRules(doc->getDocumentElement(), noteOrder, nullptr, fontFirst, nullptr, nullptr, nullptr);
  EXPECT_EQ(tOrder, (std::vector<std::string>{"font-size", "font-weight", "|", "color", "width"}));
  tOrder.clear();
  rules->applyRules(doc->getDocumentElement(), noteOrder, nullptr, nothingFirst, nullptr, nullptr, nullptr);
  EXPECT_EQ(tOrder, (std::vector<std::string>{"|", "color", "font-size", "width", "font-weight"}));
}

TEST(CssCascade, SetNamesOriginsRemovalAndStyleText) {
  EKPtr<EKCssRules> rules = rulesOf({{USER, "p{u:1}"}, {AUTHOR, "p{a:1} #a{b:1}"}});
  EXPECT_EQ(cascade("<p id='a'/>", rules.get()), "a: a=1 b=1 u=1");
  rules->removeOrigin(AUTHOR);
  EXPECT_EQ(cascade("<p id='a'/>", rules.get()), "a: u=1");

  // An alternate sheet without a set name adds nothing; one of another set is ignored in matching.
  EKPtr<EKCssRules> map = EKCssRules::createRuleMap(u("main"));
  for (const auto& entry : {std::make_pair("", true), std::make_pair("other", false), std::make_pair("main", false)}) {
    EKPtr<EKCssParser> parser = EKCssParser::createCssParser(nullptr, nullptr);
    EKPtr<EKCssRules> sheet = EKCssRules::createCssRules(AUTHOR, u(entry.first), entry.second, noMedium, nullptr);
    parser->setText(u((std::string("p{") + (*entry.first ? entry.first : "alt") + ":1}").c_str()), EKName(), EKUri());
    parser->parseInto(sheet.get());
    map->mergeRules(sheet.get());
  }
  EXPECT_EQ(cascade("<p id='a'/>", map.get()), "a: main=1");

  EKPtr<EKDocument> doc = load("<p id='a'/>");
  Winners winners;
  tWinners = &winners;
  EXPECT_EQ(rules->applyStyleAttributes(doc->getDocumentElement(), record, u("x: 1; y: 2 !important; x: 3")), 0);
  EXPECT_EQ(rules->applyStyleAttributes(doc->getDocumentElement(), record, u("z 1")), 949);
  tWinners = nullptr;
  EXPECT_EQ(describe(winners, doc.get()), "a: x=3 y=2");
}

TEST(CssCascade, ThreadsApplyTheSameRulesToTheirOwnDocuments) {
  EKPtr<EKCssRules> rules = rulesOf({{AUTHOR, "p{a:1} .c p{b:2} #x{c:3} p:nth-child(2){d:4}"}});
  std::vector<std::string> results(4);
  std::vector<std::thread> threads;
  for (size_t t = 0; t < results.size(); ++t)
    threads.emplace_back([&, t] {
      results[t] = cascade("<r class='c'><p id='x'/><p id='y' style='f: 6'/></r>", rules.get());
    });
  for (std::thread& thread : threads)
    thread.join();
  for (const std::string& result : results)
    EXPECT_EQ(result, "x: a=1 b=2 c=3 | y: a=1 b=2 d=4 f=6");
}

} // namespace
