// Media query lists: whether a list applies (the host's callback asked only where the library
// cannot decide, negation inverting its answer) and the queries written back.
#include "ekcommon/css/internal/EKCssMediaQueryImpl.h"
#include "support/TestStrings.h"

#include <ekcommon/ekcommon.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace EKCommonNS;

namespace {

struct QuerySpec {
  bool negated;
  const char* type;
  std::vector<std::pair<const char*, const char*>> features;
};

EKPtr<EKCssMediaQueryList> listOf(const std::vector<QuerySpec>& specs) {
  EKPtr<EKCssMediaQueryList> list(new EKCssMediaQueryList());
  for (const QuerySpec& spec : specs) {
    EKPtr<EKCssMediaQueryImpl> query(new EKCssMediaQueryImpl());
    query->setNegated(spec.negated);
    query->setMediaType(EKName(u(spec.type)));
    for (const auto& feature : spec.features)
      query->addFeature(EKName(u(feature.first)), u(feature.second));
    list->append(query.get());
  }
  return list;
}

// The host of these tests: print media only, with colour; it lists what it was asked.
struct Host {
  std::vector<std::string> asked;
};

bool printWithColour(const EKCssMediaQuery* query, void* userData) {
  static_cast<Host*>(userData)->asked.push_back(utf8(query->toString()));
  if (!query->matchesType(EKN_print))
    return false;
  for (const EKCssMediaQuery::Feature& feature : query->getFeatures())
    if (feature.first != EKName(u("color")))
      return false;
  return true;
}

TEST(CssMediaQuery, ListsMatchAsTheHostDecides) {
  const struct {
    std::vector<QuerySpec> queries;
    bool withHost;
    bool matches;
    std::vector<std::string> asked;
  } rows[] = {
      {{}, false, true, {}},
      {{{false, "all", {}}}, false, true, {}},
      {{{false, "print", {}}}, false, false, {}},
      {{{true, "print", {}}}, false, true, {}},
      {{{false, "screen", {}}, {false, "print", {{"color", ""}}}}, true, true, {"screen", "print and (color)"}},
      {{{false, "print", {{"min-width", "10cm"}}}}, true, false, {"print and (min-width: 10cm)"}},
      {{{true, "screen", {}}}, true, true, {"not screen"}},
      {{{true, "print", {}}, {false, "all", {}}}, true, true, {"not print"}},
  };
  for (const auto& row : rows) {
    EKPtr<EKCssMediaQueryList> list = listOf(row.queries);
    Host host;
    EXPECT_EQ(list->matches(row.withHost ? printWithColour : nullptr, &host), row.matches) << utf8(list->toString());
    EXPECT_EQ(host.asked, row.asked) << utf8(list->toString());
  }
}

TEST(CssMediaQuery, QueriesWrittenBack) {
  const struct {
    std::vector<QuerySpec> queries;
    const char* text;
  } rows[] = {
      {{{false, "all", {}}}, "all"},
      {{{false, "all", {{"min-width", "10cm"}, {"color", ""}}}}, "(min-width: 10cm) and (color)"},
      {{{true, "print", {{"orientation", "landscape"}}}, {false, "screen", {}}},
       "not print and (orientation: landscape), screen"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(utf8(listOf(row.queries)->toString()), row.text);
  EKPtr<EKCssMediaQueryList> list = listOf({{false, "print", {}}});
  const EKCssMediaQueryList copy(*list);
  EXPECT_EQ(copy.at(0), list->at(0));
  EXPECT_TRUE(copy.at(0)->matchesType(EKN_print));
  EXPECT_FALSE(copy.at(0)->matchesType(EKN_screen));
  EXPECT_TRUE(listOf({{false, "all", {}}})->at(0)->matchesType(EKN_screen));
}

} // namespace
