#include "ekcommon/css/EKCssRules.h"
#include "ekcommon/css/EKCssSelector.h"
#include "ekcommon/css/internal/EKCssRulesStylesheet.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

using namespace EKCommonNS;

namespace {

EKName nm(const char16_t* s) { return EKName(UnicodeString(s)); }

EKCssSimpleSelector simple(uint32_t kind, const char16_t* name) {
  EKCssSimpleSelector s;
  s.kind = kind;
  s.name = nm(name);
  s.lowerName = s.name.lowerName();
  return s;
}

EKCssCompound compound(const char16_t* type, std::initializer_list<EKCssSimpleSelector> simples,
                       uint32_t combinator = EKCssCompound::NONE) {
  EKCssCompound c;
  c.combinator = combinator;
  if (type) {
    c.type.localName = nm(type);
    c.type.lowerName = c.type.localName.lowerName();
    c.type.universal = UnicodeString(type) == u"*";
  }
  c.simples = simples;
  return c;
}

EKCssSelector selector(std::initializer_list<EKCssCompound> compounds) {
  EKCssSelector s;
  s.compounds = compounds;
  s.finish();
  return s;
}

EKCssDeclarations decls(std::initializer_list<std::pair<const char16_t*, bool>> items, int32_t sourceId = 0) {
  EKCssDeclarations d(sourceId);
  for (const auto& item : items)
    d.append(EKCssDeclaration(nm(item.first), u"v", item.second));
  return d;
}

EKPtr<EKCssRules> sheet(EKCascadingOrigin origin, const char16_t* setName = u"", bool alternate = false) {
  return EKCssRules::createCssRules(origin, setName, alternate, nullptr, nullptr);
}

EKCssRulesStylesheet* filler(const EKPtr<EKCssRules>& rules) { return ekCast<EKCssRulesStylesheet>(rules.get()); }

// Adds a source and one rule set "sel { prop: v }" to the sheet.
void addRule(const EKPtr<EKCssRules>& rules, const EKCssSelector& sel, const char16_t* prop, bool important = false) {
  EKCssRulesStylesheet* s = filler(rules);
  int32_t source = s->getSourceCount() ? 0 : s->addSource(u"file:///a.css", u"", {0}, 0, 0);
  s->storeRuleSet({sel}, decls({{prop, important}}, source), s->nextRuleNumber());
}

std::vector<UnicodeString> propertiesInCascadeOrder(const EKCssRulesImpl& rules) {
  std::vector<UnicodeString> out;
  for (int32_t pos : rules.getStyleRules().sortedIndex())
    out.push_back(rules.getStyleRules().at(pos)->getDeclarations().at(0).getProperty().toString());
  return out;
}

using E = EKCssSimpleSelector;

TEST(CssSelector, SpecificityOfHandBuiltSelectors) {
  struct Case {
    const char* text;
    EKCssSelector sel;
    uint32_t ids, classes, types;
    bool endsInPseudoElement;
  };
  const Case cases[] = {
      {"*", selector({compound(u"*", {})}), 0, 0, 0, false},
      {"p", selector({compound(u"p", {})}), 0, 0, 1, false},
      {"#a", selector({compound(nullptr, {simple(E::ID, u"a")})}), 1, 0, 0, false},
      {".b.c.d",
       selector({compound(nullptr, {simple(E::CLASS, u"b"), simple(E::CLASS, u"c"), simple(E::CLASS, u"d")})}), 0, 3,
       0, false},
      {"a[href]:hover", selector({compound(u"a", {simple(E::ATTRIBUTE, u"href"), simple(E::PSEUDO_CLASS, u"hover")})}),
       0, 2, 1, false},
      {"p::before", selector({compound(u"p", {simple(E::PSEUDO_ELEMENT, u"before")})}), 0, 0, 2, true},
      {"ul > li", selector({compound(u"ul", {}), compound(u"li", {}, EKCssCompound::CHILD)}), 0, 0, 2, false},
      {"p::before span", selector({compound(u"p", {simple(E::PSEUDO_ELEMENT, u"before")}), compound(u"span", {}, 32)}),
       0, 0, 3, false},
      {":nth-child(2n)", selector({compound(nullptr, {simple(E::FUNCTIONAL_PSEUDO_CLASS, u"nth-child")})}), 0, 1, 0,
       false},
      {":not(#x)", selector({compound(nullptr, {simple(E::NEGATED | E::ID, u"x")})}), 1, 0, 0, false},
      {":not(.y)", selector({compound(nullptr, {simple(E::NEGATED | E::CLASS, u"y")})}), 0, 1, 0, false},
      {":not([y])", selector({compound(nullptr, {simple(E::NEGATED | E::ATTRIBUTE, u"y")})}), 0, 1, 0, false},
      {":not(p)", selector({compound(nullptr, {simple(E::NEGATED, u"p")})}), 0, 0, 1, false},
      {":not(*)", selector({compound(nullptr, {simple(E::NEGATED, u"*")})}), 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(EKCssSelector::specificityIds(c.sel.specificity), c.ids);
    EXPECT_EQ(EKCssSelector::specificityClasses(c.sel.specificity), c.classes);
    EXPECT_EQ(EKCssSelector::specificityTypes(c.sel.specificity), c.types);
    EXPECT_EQ(c.sel.specificity & 0xFFFFu, 0u);
    EXPECT_EQ((c.sel.flags & EKCssSelector::ENDS_IN_PSEUDO_ELEMENT) != 0, c.endsInPseudoElement);
  }
}

TEST(CssSelector, CountersSaturateInsteadOfCarrying) {
  uint64_t s = EKCssSelector::packSpecificity(0, 70000, 0x1FFFF);
  EXPECT_EQ(EKCssSelector::specificityIds(s), 0u);
  EXPECT_EQ(EKCssSelector::specificityClasses(s), 0xFFFFu);
  EXPECT_EQ(EKCssSelector::specificityTypes(s), 0xFFFFu);
}

TEST(CssSelector, CascadeComparison) {
  auto with = [](EKCssSelector s, uint32_t precedence, int32_t order) {
    s.precedence = precedence;
    s.sourceOrder = order;
    return s;
  };
  const EKCssSelector id = selector({compound(nullptr, {simple(E::ID, u"a")})});
  const EKCssSelector classes =
      selector({compound(nullptr, {simple(E::CLASS, u"b"), simple(E::CLASS, u"c"), simple(E::CLASS, u"d")})});
  const EKCssSelector typeP = selector({compound(u"p", {})});
  const EKCssSelector typeQ = selector({compound(u"q", {})});
  struct Case {
    const char* what;
    EKCssSelector a, b;
    int sign; // of compare(a, b)
  };
  const Case cases[] = {
      {"id beats three classes", with(classes, 3, 5), with(id, 3, 1), -1},
      {"later source order wins", with(typeP, 3, 2), with(typeP, 3, 1), 1},
      {"author important beats author normal", with(id, 3, 9), with(typeP, 5, 0), -1},
      {"author important beats user normal", with(id, 2, 9), with(typeP, 5, 0), -1},
      {"user important beats author important", with(id, 5, 9), with(typeP, 6, 0), -1},
      {"equal records", with(typeP, 3, 1), with(typeP, 3, 1), 0},
      {"ties broken by the compounds", with(typeP, 3, 1), with(typeQ, 3, 1), nm(u"p") < nm(u"q") ? -1 : 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int r = EKCssSelector::compare(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign);
    int back = EKCssSelector::compare(c.b, c.a);
    EXPECT_EQ((back > 0) - (back < 0), -c.sign);
  }
}

TEST(CssRules, SortedIndexFollowsCascadeAndIsRebuiltAfterInsertion) {
  EKPtr<EKCssRules> rules = sheet(EK_ORIGIN_AUTHOR);
  addRule(rules, selector({compound(nullptr, {simple(E::ID, u"a")})}), u"id");
  addRule(rules, selector({compound(u"p", {})}), u"late-type", true);
  addRule(rules, selector({compound(nullptr, {simple(E::CLASS, u"b"), simple(E::CLASS, u"c")})}), u"classes");
  addRule(rules, selector({compound(u"p", {})}), u"type");
  const EKCssRulesImpl& impl = *filler(rules);
  EXPECT_EQ(propertiesInCascadeOrder(impl),
            (std::vector<UnicodeString>{u"type", u"classes", u"id", u"late-type"}));
  addRule(rules, selector({compound(u"p", {})}), u"later-type");
  EXPECT_EQ(propertiesInCascadeOrder(impl),
            (std::vector<UnicodeString>{u"type", u"later-type", u"classes", u"id", u"late-type"}));
}

TEST(CssRules, RuleSetIsStoredPerSelectorWithTheOriginsPrecedences) {
  struct Case {
    int origin;
    uint32_t normal, important;
  };
  const Case cases[] = {{EK_ORIGIN_USER_AGENT, 1, 7}, {EK_ORIGIN_USER, 2, 6}, {EK_ORIGIN_AUTHOR, 3, 5}, {9, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.origin);
    EKPtr<EKCssRules> rules = sheet(static_cast<EKCascadingOrigin>(c.origin));
    EKCssRulesStylesheet* s = filler(rules);
    int32_t source = s->addSource(u"file:///s.css", u"", {0}, 0, 0);
    s->storeRuleSet({selector({compound(u"a", {})}), selector({compound(u"b", {})})},
                    decls({{u"color", false}, {u"margin", true}, {u"width", false}}, source), s->nextRuleNumber());
    const EKCssRuleList& list = s->getStyleRules();
    ASSERT_EQ(list.size(), 4);
    for (int i = 0; i < list.size(); ++i) {
      const SelectorDeclarationsPair* pair = list.at(i);
      bool important = pair->getDeclarations().at(0).isImportant();
      EXPECT_EQ(pair->getSelector().precedence, important ? c.important : c.normal);
      EXPECT_EQ(pair->getDeclarations().size(), important ? 1 : 2);
      for (const EKCssDeclaration& d : pair->getDeclarations())
        EXPECT_EQ(d.isImportant(), important);
      EXPECT_EQ(pair->getSelector().sourceOrder, 0);
      EXPECT_EQ(pair->getDeclarations().getSourceId(), source);
    }
    EXPECT_TRUE(rules->hasRules());
  }
  // Only normal declarations: one pair per selector.
  EKPtr<EKCssRules> rules = sheet(EK_ORIGIN_AUTHOR);
  filler(rules)->storeRuleSet({selector({compound(u"a", {})})}, decls({{u"color", false}}), 0);
  EXPECT_EQ(filler(rules)->getStyleRules().size(), 1);
}

TEST(CssRules, FeatureWordContract) {
  EKPtr<EKCssRules> map = EKCssRules::createRuleMap(u"");
  EXPECT_EQ(map->getFeature(~0u), 24u);
  EXPECT_EQ(map->setFeature(2, true), 26u);
  EXPECT_EQ(map->setFeature(8, false), 26u);
  EXPECT_EQ(map->getFeature(~0u), 18u);
  EXPECT_EQ(ekCast<EKCssRulesImpl>(map.get())->getParserFeatures(), 128u);
}

TEST(CssRules, KindsAnswerTheirIdentity) {
  EKPtr<EKCssRules> map = EKCssRules::createRuleMap(u"main");
  EKPtr<EKCssRules> s = sheet(EK_ORIGIN_USER, u"alt", true);
  EXPECT_TRUE(map->isA(EKTypeID::EKCssRulesImpl));
  EXPECT_FALSE(map->isA(EKTypeID::EKCssRulesStylesheet));
  EXPECT_TRUE(s->isA(EKTypeID::EKCssRules));
  EXPECT_EQ(map->getOrigin(), -1);
  EXPECT_EQ(map->getSetName(), u"main");
  EXPECT_EQ(map->getSheetSetName(), u"");
  EXPECT_FALSE(map->isAlternate());
  EXPECT_FALSE(map->hasRules());
  EXPECT_EQ(s->getOrigin(), 1);
  EXPECT_EQ(s->getSheetSetName(), u"alt");
  EXPECT_TRUE(s->isAlternate());
}

TEST(CssRules, MergeRenumbersSourcesAndTakesTheSetName) {
  EKPtr<EKCssRules> first = sheet(EK_ORIGIN_AUTHOR, u"dark");
  EKCssRulesStylesheet* f = filler(first);
  f->addSource(u"file:///one.css", u"", {0}, 0, 0);
  f->addSource(u"file:///two.css", u"", {0}, 0, 0);
  f->storeRuleSet({selector({compound(u"p", {})})}, decls({{u"from-two", false}}, 1), f->nextRuleNumber());
  f->setParserFeatures(132);
  EKPtr<EKCssRules> second = sheet(EK_ORIGIN_AUTHOR);
  EKCssRulesStylesheet* s = filler(second);
  s->addSource(u"file:///three.css", u"", {0}, 0, 0);
  s->storeRuleSet({selector({compound(u"p", {})})}, decls({{u"from-three", false}}, 0), s->nextRuleNumber());
  s->storeFontFace(decls({{u"font-family", false}}, 0), s->nextRuleNumber());

  EKPtr<EKCssRules> map = EKCssRules::createRuleMap(u"");
  map->mergeRules(sheet(EK_ORIGIN_AUTHOR, u"", true).get()); // alternate without set name: nothing
  EXPECT_FALSE(map->hasRules());
  map->mergeRules(sheet(EK_ORIGIN_AUTHOR, u"light", true).get()); // alternate: no set name taken
  EXPECT_EQ(map->getSetName(), u"");
  map->mergeRules(first.get());
  map->mergeRules(second.get());
  map->mergeRules(EKCssRules::createRuleMap(u"ignored").get());

  const EKCssRulesImpl& impl = *ekCast<EKCssRulesImpl>(map.get());
  EXPECT_EQ(map->getSetName(), u"dark");
  ASSERT_EQ(map->getSourceCount(), 3);
  EXPECT_EQ(impl.getSource(0)->setName, u"dark");
  EXPECT_EQ(impl.getSource(2)->setName, u"");
  EXPECT_EQ(impl.getRuleCounter(), 3);
  EXPECT_EQ(impl.getParserFeatures(), 128u); // taken from the last merged sheet
  ASSERT_EQ(impl.getStyleRules().size(), 2);
  EXPECT_EQ(impl.getStyleRules().at(0)->getDeclarations().getBaseUri(map.get()), u"file:///two.css");
  EXPECT_EQ(impl.getStyleRules().at(1)->getDeclarations().getSourceId(), 2);
  EXPECT_EQ(impl.getStyleRules().at(1)->getDeclarations().getBaseUri(map.get()), u"file:///three.css");
  // The later sheet wins a tie of equal selectors.
  EXPECT_EQ(propertiesInCascadeOrder(impl), (std::vector<UnicodeString>{u"from-two", u"from-three"}));
  EXPECT_EQ(map->getFontFaceRules()->at(0)->getSourceId(), 2);
  EXPECT_EQ(map->findSourceId(EKUri(u"file:///three.css")), 2);
  EXPECT_EQ(map->getSourceUri(1).toString(), u"file:///two.css");
  EXPECT_TRUE(map->getSourceUri(7).isEmpty());
  // The merged sheet keeps its own numbering.
  EXPECT_EQ(s->getStyleRules().at(0)->getDeclarations().getSourceId(), 0);
}

TEST(CssRules, RemoveOriginKeepsRetiredDeclarationsReadable) {
  EKPtr<EKCssRules> map = EKCssRules::createRuleMap(u"");
  for (EKCascadingOrigin origin : {EK_ORIGIN_USER_AGENT, EK_ORIGIN_AUTHOR}) {
    EKPtr<EKCssRules> s = sheet(origin);
    addRule(s, selector({compound(u"p", {})}), origin == EK_ORIGIN_AUTHOR ? u"author" : u"agent");
    addRule(s, selector({compound(u"p", {})}), u"important", true);
    filler(s)->storeFontFace(decls({{u"src", false}}, 0), filler(s)->nextRuleNumber());
    filler(s)->storeCounterStyle(nm(u"roman"), decls({{u"system", false}}, 0), filler(s)->nextRuleNumber());
    map->mergeRules(s.get());
  }
  EKPtr<EKCssDeclarationsList> faces = map->getFontFaceRules();
  ASSERT_EQ(faces->size(), 2);
  const EKCssDeclarations* authorFace = faces->at(1);
  EXPECT_EQ(map->getCounterStyleRules(nm(u"roman"))->size(), 2);

  map->removeOrigin(EK_ORIGIN_AUTHOR);
  const EKCssRulesImpl& impl = *ekCast<EKCssRulesImpl>(map.get());
  EXPECT_EQ(propertiesInCascadeOrder(impl), (std::vector<UnicodeString>{u"agent", u"important"}));
  EXPECT_EQ(impl.getStyleRules().at(1)->getSelector().precedence, 7u);
  EXPECT_EQ(map->getFontFaceRules()->size(), 1);
  EXPECT_EQ(map->getCounterStyleRules(nm(u"roman"))->size(), 1);
  EXPECT_EQ(impl.getRetiredCount(), 4);
  EXPECT_EQ(authorFace->at(0).getProperty().toString(), u"src");

  map->removeOrigin(EK_ORIGIN_USER_AGENT);
  map->removeOrigin(42);
  EXPECT_TRUE(map->getCounterStyleRules(nm(u"roman"))->empty());
  EXPECT_TRUE(impl.getStyleRules().empty());
  EXPECT_EQ(faces->at(0)->at(0).getValueText(), u"v");
}

TEST(CssRules, LineAndColumnOfAnOffset) {
  EKPtr<EKCssRules> s = sheet(EK_ORIGIN_AUTHOR);
  int32_t id = filler(s)->addSource(u"file:///a.css", u"", {0, 10, 25}, 2, 5);
  int32_t bare = filler(s)->addSource(u"file:///b.css", u"", {}, 0, 0);
  struct Case {
    int source;
    int32_t offset, line, column;
  };
  const Case cases[] = {
      {id, 0, 3, 6},   {id, 9, 3, 15},  {id, 10, 4, 1}, {id, 24, 4, 15},
      {id, 30, 5, 6},  {id, -1, -1, -1}, {bare, 0, -1, -1}, {7, 0, -1, -1}, {-1, 0, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.source << ":" << c.offset);
    EXPECT_EQ(s->getLineColumn(c.source, c.offset), std::make_pair(c.line, c.column));
  }
}

TEST(CssRules, NamespaceLookup) {
  EKPtr<EKCssRules> s = sheet(EK_ORIGIN_AUTHOR);
  EKCssRulesStylesheet* f = filler(s);
  int32_t id = f->addSource(u"file:///a.css", u"", {0}, 0, 0);
  EXPECT_TRUE(f->declareNamespace(id, nm(u"svg"), nm(u"urn:old")));
  EXPECT_TRUE(f->declareNamespace(id, nm(u"svg"), nm(u"urn:svg")));
  EXPECT_TRUE(f->declareNamespace(id, EKName(), nm(u"urn:default")));
  EXPECT_FALSE(f->declareNamespace(3, nm(u"x"), nm(u"urn:x")));
  struct Case {
    int source;
    EKName prefix, uri;
    bool found;
  };
  const Case cases[] = {
      {id, nm(u"svg"), nm(u"urn:svg"), true},
      {id, EKName(), nm(u"urn:default"), true},
      {id, nm(u"math"), EKName(), false},
      {5, EKName(), EKName(), true},
      {5, nm(u"svg"), EKName(), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "source " << c.source << ", prefix " << static_cast<unsigned>(c.prefix));
    EXPECT_EQ(s->lookupNamespace(c.source, c.prefix), std::make_pair(c.uri, c.found));
  }
}

TEST(CssDeclarations, CopiesAreDeepAndFlagsWorkThroughConstReferences) {
  EKCssDeclarations original = decls({{u"color", false}, {u"margin", true}}, 4);
  original.setErrorCode(963);
  EKCssDeclarations copy = original;
  EKCssDeclarations assigned;
  assigned = original;
  original.append(EKCssDeclaration(nm(u"width"), u"1px"));
  const EKCssDeclaration& first = copy.at(0);
  first.setDeclError();
  first.setCheckedColor();
  for (const EKCssDeclarations* d : {&copy, &assigned}) {
    EXPECT_EQ(d->size(), 2);
    EXPECT_EQ(d->getSourceId(), 4);
    EXPECT_EQ(d->getErrorCode(), 963);
    EXPECT_NE(d->begin(), original.begin());
  }
  EXPECT_TRUE(copy.at(0).hasDeclError());
  EXPECT_TRUE(copy.at(0).checkedColor());
  EXPECT_FALSE(original.at(0).hasDeclError());
  EXPECT_FALSE(assigned.at(0).checkedColor());
  EXPECT_EQ(original.size(), 3);

  EKCssDeclarations empty;
  EXPECT_TRUE(empty.empty());
  EXPECT_EQ(empty.begin(), empty.end());
  EXPECT_EQ(empty.getSourceId(), -1);
  EKCssDeclarations emptyCopy = empty;
  EXPECT_EQ(emptyCopy.size(), 0);
  EXPECT_EQ(original.filtered(true).size(), 1);
  EXPECT_EQ(original.filtered(false).size(), 2);
  EXPECT_EQ(original.getBaseUri(nullptr), u"");
  EKCssDeclaration fresh;
  EXPECT_EQ(fresh.getSourceOffset(), -1);
  EXPECT_TRUE(fresh.getProperty().isEmpty());
}

} // namespace
