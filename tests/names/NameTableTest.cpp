#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <thread>
#include <vector>

using namespace EKCommonNS;

namespace {

// Each test starts and ends without a shared table, so run-time numbers start at 3207.
class NameTable : public ::testing::Test {
protected:
  void SetUp() override { EKNameTable::cleanup(); }
  void TearDown() override { EKNameTable::cleanup(); }
};

TEST_F(NameTable, InterningNumbersRunTimeNamesDensely) {
  EXPECT_EQ(EKName(u("")), EKN_EMPTY);
  EXPECT_TRUE(EKName(u("")).toString().isEmpty());

  EXPECT_EQ(EKNameTable::getSharedNameTable()->lookupName(u("fresh-one")), EKN_EMPTY);
  EXPECT_EQ(EKNameTable::getSharedNameTable()->getNameLast(), 3206) << "lookup never adds";
  EXPECT_EQ(EKNameTable::getSharedNameEnum(u("fresh-one")), 3207);
  EXPECT_EQ(EKNameTable::getSharedNameEnum(u("fresh-two")), 3208);
  EXPECT_EQ(EKNameTable::getSharedNameEnum(u("fresh-one")), 3207);
  EXPECT_EQ(EKNameTable::getSharedNameTable()->lookupName(u("fresh-two")), 3208);
  EXPECT_EQ(EKNameTable::getSharedNameTable()->getNameEnum(u("fresh-three")), 3209);
  EXPECT_EQ(EKNameTable::getSharedNameString(static_cast<EKNameEnum>(3208)), u("fresh-two"));
  EXPECT_EQ(EKName(static_cast<EKNameEnum>(3209)).toString(), u("fresh-three"));

  // Case matters: "Inherit" is a run-time name, not the keyword.
  const EKName keyword(u("inherit"));
  const EKName other(u("Inherit"));
  EXPECT_EQ(keyword, EKN_inherit);
  EXPECT_TRUE(EKName::isInheritEtc(keyword));
  EXPECT_FALSE(other.isBuiltin());
  EXPECT_FALSE(EKName::isInheritEtc(other));
  for (EKNameEnum n : {EKN_default, EKN_initial, EKN_unset})
    EXPECT_TRUE(EKName::isInheritEtc(n));
  EXPECT_FALSE(EKName::isInheritEtc(EKN_inherited_property_value));

  // Unknown numbers of the shared table and of the table itself.
  EKNameTable* table = EKNameTable::getSharedNameTable();
  for (int n : {-5, 0, 3211, 5000}) {
    EXPECT_TRUE(EKNameTable::getSharedNameString(static_cast<EKNameEnum>(n)).isEmpty()) << n;
    EXPECT_TRUE(table->getNameString(static_cast<EKNameEnum>(n)).isEmpty()) << n;
  }
  EXPECT_EQ(table->getNameString(EKN_inherit), u("inherit"));

  // Strings returned by reference stay valid while the table grows.
  const UnicodeString& kept = EKName(u("kept")).toString();
  for (int i = 0; i < 5000; ++i)
    EKNameTable::getSharedNameEnum(u(("grow-" + std::to_string(i)).c_str()));
  EXPECT_EQ(kept, u("kept"));
}

TEST_F(NameTable, TableLifetimeFollowsItsReferences) {
  EKNameTable::addRefSharedNameTable(); // a document
  EKNameTable* table = EKNameTable::addRefSharedNameTable(); // a namespace manager
  EXPECT_EQ(table->getRefCount(), 2);
  const EKName name(u("doc-local"));
  EXPECT_EQ(name, 3207);
  EKNameTable::releaseSharedNameTable();
  EXPECT_EQ(name.toString(), u("doc-local"));
  EKNameTable::releaseSharedNameTable(); // the last holder goes, and the table with it
  EXPECT_TRUE(name.toString().isEmpty());
  EXPECT_EQ(EKName(u("later-name")), 3207) << "a new table numbers from 3207 again";
  EKNameTable::releaseSharedNameTable(); // count 0 table: 0 -> -1 deletes it
  EKNameTable::releaseSharedNameTable(); // no table: no-op
  EXPECT_EQ(EKName(u("again")), 3207);
}

TEST_F(NameTable, LowerNames) {
  struct Row {
    const char* text;
    bool lower;
    const char* lowered;
  };
  const Row rows[] = {
      {"", true, ""},                   {"font-size", true, "font-size"},
      {"a b@[~", true, "a b@[~"},       {"ABC", false, "abc"},
      {"scaleX", false, "scalex"},
      {"caf\xC3\xA9", false, "caf\xC3\xA9"}, // above U+007E: not lower by the test, same lower form
      {"tab\there", false, "tab\there"},
      {"\xC3\x89T\xC3\x89", false, "\xC3\xA9t\xC3\xA9"},
  };
  for (const Row& row : rows) {
    const EKName name(u(row.text));
    EXPECT_EQ(name.isLowerName(), row.lower) << row.text;
    EXPECT_EQ(name.toLowerString(), u(row.lowered)) << row.text;
    EXPECT_EQ(name.lowerName(), EKName(u(row.lowered))) << row.text;
  }
  const EKName scaleX(EKN_scaleX);
  EXPECT_EQ(scaleX.lowerName(), EKN_scalex);
}

TEST_F(NameTable, GenerateIdUsesTheNextNumber) {
  EXPECT_EQ(EKName::generateID(u("x")).toString(), u("-x3207"));
  EXPECT_EQ(EKName(u("-x3207")), 3207);
  EXPECT_EQ(EKName::generateID(u("")).toString(), u("-N3208"));
  EXPECT_LT(EKName(EKN_xls_settings), EKName(u("-N3208")));
}

TEST_F(NameTable, ConcurrentInterningGivesOneDenseNumberPerString) {
  constexpr int THREADS = 4;
  constexpr int STRINGS = 2000;
  std::vector<std::vector<EKNameEnum>> results(THREADS, std::vector<EKNameEnum>(STRINGS));
  std::vector<std::thread> threads;
  for (int t = 0; t < THREADS; ++t)
    threads.emplace_back([t, &results] {
      // Every thread interns the same strings, each in its own order, mixed with built-ins.
      static const int STRIDES[THREADS] = {1, 3, 7, 9}; // coprime to STRINGS: permutations
      for (int i = 0; i < STRINGS; ++i) {
        const int k = (i * STRIDES[t] + t * 7) % STRINGS;
        const UnicodeString s = u(("concurrent-" + std::to_string(k)).c_str());
        results[t][k] = EKNameTable::getSharedNameEnum(s);
        EXPECT_EQ(EKNameTable::getSharedNameString(results[t][k]), s);
        EXPECT_EQ(EKNameTable::getSharedNameEnum(u("font-size")), EKN_font_size);
      }
    });
  for (auto& thread : threads)
    thread.join();

  std::vector<EKNameEnum> numbers = results[0];
  for (int t = 1; t < THREADS; ++t)
    EXPECT_EQ(results[t], results[0]) << "thread " << t;
  std::sort(numbers.begin(), numbers.end());
  for (int i = 0; i < STRINGS; ++i)
    ASSERT_EQ(numbers[i], EKN_FIRST_RUNTIME + i);
  EXPECT_EQ(EKNameTable::getSharedNameTable()->getNameLast(), EKN_BUILTIN_LAST + STRINGS);
}

TEST_F(NameTable, ConcurrentFirstUseCreatesOneTable) {
  std::vector<EKNameTable*> seen(4);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t, &seen] { seen[t] = EKNameTable::getSharedNameTable(); });
  for (auto& thread : threads)
    thread.join();
  for (EKNameTable* table : seen)
    EXPECT_EQ(table, seen[0]);
}

TEST(NameList, ViewsAndOwnedLists) {
  const EKNameEnum terminated[] = {EKN_inherit, EKN_initial, EKN_EMPTY};
  const EKNameList list(terminated);
  EXPECT_EQ(list.getCount(), 2);
  EXPECT_EQ(list.getItem(1), EKN_initial);
  EXPECT_TRUE(list.getItem(5).isEmpty());
  EXPECT_TRUE(list.getItem(-1).isEmpty());
  EXPECT_TRUE(list.hasItem(EKN_inherit));
  EXPECT_EQ(list.indexOf(EKN_unset), -1);
  EXPECT_EQ(EKNameList(static_cast<const EKNameEnum*>(nullptr)).getCount(), 0);
  EXPECT_EQ(EKNameList(nullptr, 7).getCount(), 0);
  EXPECT_EQ(EKNameList(terminated, 3).indexOf(EKN_EMPTY), 2);

  EKNameListInstance owned(3);
  owned.setItem(EKN_unset, 2);
  owned.setItem(EKN_inherit, 3); // out of range: ignored
  EXPECT_EQ(owned.getCount(), 3);
  EXPECT_TRUE(owned.hasItem(EKN_unset));
  EXPECT_FALSE(owned.hasItem(EKN_inherit));
  EXPECT_EQ(EKNameListInstance(0).getCount(), 0);
  EXPECT_EQ(EKNameListInstance(-2).getCount(), 0);
}

} // namespace
