#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

using namespace EKCommonNS;

namespace {

EKValue pt(float x) { return EKValue(x, UNIT_PT); }
EKValue num(int x) { return EKValue(x); }
EKValue str(const char* s, EKUnitType kind = UNIT_STRING) { return EKValue(u(s), kind); }

TEST(Value, LayoutAndConstruction) {
  static_assert(sizeof(EKValue) == 16, "two words");
  const struct {
    EKValue value;
    EKValueType type;
    EKUnitType unit;
  } rows[] = {
      {EKValue(), VALUE_NULL, UNIT_NONE},
      {EKValue(7, UNIT_EM), VALUE_INTEGER, UNIT_EM},
      {EKValue(1.5, UNIT_PX), VALUE_REAL, UNIT_PX},
      {EKValue(EKN_inherit), VALUE_NAME, UNIT_NAME},
      {str("x", UNIT_URL), VALUE_STRING, UNIT_URL},
      {EKValue(EKLength(3)), VALUE_REAL, UNIT_PT},
      {EKValue(EKColor(0x123456u)), VALUE_INTEGER, UNIT_COLOR},
      {EKValue(static_cast<EKValueArray*>(nullptr)), VALUE_NULL, UNIT_NONE},
      {EKValue(new EKValueArray()), VALUE_ARRAY, UNIT_NONE},
      {EKValue(new EKNamedValueMap()), VALUE_COMPOUND, UNIT_NONE},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.value.getValueType(), row.type) << utf8(row.value.toString());
    EXPECT_EQ(row.value.getUnitType(), row.unit) << utf8(row.value.toString());
  }
  EXPECT_TRUE(EKValue(true).isTrue() && EKValue(EKN_yes).isTrue());
  EXPECT_TRUE(EKValue(false).isFalse() && EKValue(EKN_no).isFalse());
  EXPECT_FALSE(EKValue(1).isTrue());
  EXPECT_TRUE(EKValue::NULL_VALUE.isNull() && EKNamedValue::NULL_VALUE.isNull());
}

TEST(Value, AccessorsAndSafeRetyping) {
  EXPECT_EQ(EKValue(2.5f).getIntegerValue(), 3);
  EXPECT_EQ(EKValue(-2.5f).getIntegerValue(), -2);
  EXPECT_EQ(EKValue(3e10f).getIntegerValue(), INT32_MAX);
  EXPECT_EQ(EKValue(std::nanf("")).getIntegerValue(9), 0);
  EXPECT_EQ(str("12").getIntegerValue(9), 9);
  EXPECT_EQ(EKValue(0x41, UNIT_CHARACTER).getCharacterValue(), 0x41);
  EXPECT_EQ(EKValue(0x41).getCharacterValue(), -1);
  EXPECT_EQ(EKValue(EKName(u("Abc"))).getLowerNameValue(), EKName(u("abc")));
  EXPECT_EQ(EKValue(EKN_inherit).getStringValue(), u("inherit"));
  EXPECT_TRUE(EKValue(EKName()).isEmpty());
  EXPECT_TRUE(str("").isEmpty());
  EXPECT_FALSE(EKValue(0).isEmpty());
  EXPECT_TRUE(EKValue(-1, UNIT_PT).isNegativeValue());
  EXPECT_TRUE(EKValue(0.0f, UNIT_EM).isNumberZero());
  EXPECT_EQ(EKName(str("made-up")), EKName(u("made-up")));
  EXPECT_EQ(EKName(EKValue(12, UNIT_PT)), EKName(u("12pt")));

  // Retyping between owning and plain types drops the payload instead of reinterpreting it.
  EKValue v = str("text");
  v.setValueType(VALUE_INTEGER);
  EXPECT_EQ(v.getIntegerValue(), 0);
  v.setValueType(VALUE_ARRAY);
  EXPECT_FALSE(v.isArray());
  EXPECT_EQ(v.getValueArray(), nullptr);
  v.setValueUnitType(VALUE_REAL | UNIT_PT << 3);
  EXPECT_TRUE(v.isReal() && v.getUnitType() == UNIT_PT);
  v.setRealValue(4, UNIT_MM);
  EXPECT_EQ(v, EKValue(4.0f, UNIT_MM));
  v.setUnitType(UNIT_CM);
  EXPECT_EQ(v.getRealValue(), 4.0f);
}

TEST(Value, OwnershipOfStringsAndContainers) {
  EKValue a = str("abc");
  EKValue b = a;
  a = str("changed");
  EXPECT_EQ(b.getStringValue(), u("abc")) << "strings are copied";
  const EKValue& alias = a;
  a = alias; // self-assignment keeps the value
  EXPECT_EQ(a.getStringValue(), u("changed"));
  EKValue moved(std::move(a));
  EXPECT_TRUE(a.isNull());
  EXPECT_EQ(moved.getStringValue(), u("changed"));

  EKValue list = pt(1);
  list.addItem(pt(2));
  EKValue shared = list;
  shared.addItem(pt(3));
  EXPECT_EQ(list.getArrayCount(), 3) << "containers are shared";
  EKValue deep = list.clone();
  deep.addItem(pt(4));
  EXPECT_EQ(list.getArrayCount(), 3) << "clone separates";
  EXPECT_EQ(deep.getArrayCount(), 4);
  EXPECT_EQ(list.getValueArray()->getRefCount(), 2);

  EKPtr<EKValueArray> array(new EKValueArray());
  {
    EKValue holder(array.get());
    EKValue copy = holder;
    EXPECT_EQ(array->getRefCount(), 3);
  }
  EXPECT_EQ(array->getRefCount(), 1);

  // A container that holds itself must not send printing or cloning into endless recursion.
  EKValue loop = pt(1);
  loop.makeArray();
  loop.addItem(loop);
  EXPECT_EQ(loop.getNthItem(1).getValueArray(), loop.getValueArray());
  EXPECT_TRUE(loop.toString().endsWith(u"...")) << "printing stops at a fixed depth";
  EXPECT_EQ(loop.clone().getArrayCount(), 2);
  EXPECT_TRUE(loop.sumItem(pt(1)).isNull()) << "a cycle has no sum, but the walk ends";
  loop.getValueArray()->clear(); // break the cycle so the array is freed
}

TEST(Value, ArraysAndCompounds) {
  EKValue v;
  EXPECT_EQ(v.getArrayCount(), 1);
  EXPECT_TRUE(v.getNthItem(0).isNull());
  v = pt(5);
  EXPECT_EQ(v.getNthItem(0), pt(5));
  EXPECT_TRUE(v.getNthItem(1).isNull());
  v.makeArray();
  EXPECT_EQ(v.getArrayCount(), 1);
  EXPECT_EQ(v.getUnitType(), UNIT_NONE);
  EXPECT_TRUE(v.getNthItem(-1).isNull());
  EKValue empty;
  empty.makeArray();
  EXPECT_EQ(empty.getArrayCount(), 0);

  EKValue c = pt(2);
  EXPECT_EQ(c.getNamedItem(EKName()), pt(2));
  EXPECT_TRUE(c.getNamedItem(EKN_length).isNull());
  c.setNamedItem(EKN_length, pt(1));
  EXPECT_TRUE(c.isCompound());
  EXPECT_EQ(c.getNamedItem(EKName()), pt(2));
  c.setNamedItem(EKNamedValue(pt(9), EKN_length));
  EXPECT_EQ(c.getNamedValueMap()->getCount(), 2) << "replaced in place";
  EXPECT_EQ(c.toString(), u("{.: 2pt; length: 9pt}"));

  EKValue view = c;
  view.removeNamedItem(EKName(), true);
  EXPECT_EQ(c.getNamedValueMap()->getCount(), 2) << "a detached removal leaves the sharers alone";
  EXPECT_EQ(view.getNamedValueMap()->getCount(), 1);
  c.removeNamedItem(EKName(), false);
  EXPECT_EQ(c.toString(), u("{length: 9pt}"));
}

TEST(NamedValueMap, InsertionOrderLookupAndRemoval) {
  EKPtr<EKNamedValueMap> map(new EKNamedValueMap());
  EKValue probe;
  EXPECT_FALSE(map->getNamedItemFast(EKN_length, probe));
  // Enough items to pass from linear search to the hashed index, in a scrambled name order.
  std::vector<EKName> names;
  for (int i = 0; i < 40; ++i)
    names.push_back(EKName(static_cast<EKNameEnum>(1 + (i * 37) % 3000)));
  for (size_t i = 0; i < names.size(); ++i)
    map->setNamedItem(names[i], EKValue(static_cast<int>(i)));
  map->setNamedItem(names[3], EKValue(-3));
  ASSERT_EQ(map->getCount(), 40);
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(map->item(i).getName(), names[static_cast<size_t>(i)]);
    EXPECT_TRUE(map->hasNamedItem(names[static_cast<size_t>(i)]));
  }
  EXPECT_EQ(map->getNamedItem(names[3]).getIntegerValue(), -3);
  EXPECT_TRUE(map->getNamedItem(EKN_optimum).isNull());
  EXPECT_TRUE(map->item(40).isNull());

  EXPECT_FALSE(map->removeNamedItem(names[5], EKValue(99)));
  EXPECT_TRUE(map->removeNamedItem(names[5], EKValue(5.0f)));
  EXPECT_TRUE(map->removeNamedItem(names[0]));
  EXPECT_FALSE(map->removeNamedItem(names[0]));
  EXPECT_EQ(map->getCount(), 38);
  EXPECT_EQ(map->item(0).getName(), names[1]);
  EXPECT_TRUE(map->getNamedItemFast(names[39], probe));
  EXPECT_EQ(probe, EKValue(39));

  int seen = 0;
  EKNamedValueMapIterator it(map.get());
  while (it.hasNext())
    seen += it.next().getName() == names[4] ? 100 : 1;
  EXPECT_EQ(seen, 137);
  it.setToStart();
  EXPECT_EQ(it.next().getName(), names[1]);
  EKNamedValueMapIterator none(nullptr);
  EXPECT_FALSE(none.hasNext());

  EKPtr<EKNamedValueMap> copy = map->clone();
  copy->removeNamedItem(names[1]);
  EXPECT_EQ(map->getCount(), 38);
}

TEST(Value, ArithmeticAcrossUnits) {
  const EKValue null;
  const struct {
    EKValue a;
    char op;
    EKValue b;
    EKValue expected; // null: no result
  } rows[] = {
      {pt(2), '+', num(0), pt(2)},
      {num(0), '+', pt(2), pt(2)},
      {num(0), '-', pt(2), pt(-2)},
      {EKValue(1, UNIT_EM), '+', EKValue(1, UNIT_PT), null},
      {EKValue(1, UNIT_CM), '+', EKValue(1, UNIT_IN), pt(28.3464565f + 72)},
      {num(2147483647), '+', num(1), num(-2147483647 - 1)},
      {num(3), '+', EKValue(0.5f), EKValue(3.5f)},
      {EKValue(1, UNIT_S), '-', EKValue(250, UNIT_MS), EKValue(750.0f, UNIT_MS)},
      {str("1"), '+', num(1), null},
      {pt(2), '*', pt(3), EKValue(6.0f, UNIT_PT2)},
      {EKValue(6.0f, UNIT_PT2), '/', pt(2), pt(3)},
      {EKValue(6.0f, UNIT_PT2), '*', pt(1), EKValue(6.0f, UNIT_PT3)},
      {EKValue(8.0f, UNIT_PT3), '/', EKValue(2.0f, UNIT_PT2), pt(4)},
      {EKValue(8.0f, UNIT_PT3), '/', pt(2), EKValue(4.0f, UNIT_PT2)},
      {num(3), '/', pt(1), null},
      {EKValue(50, UNIT_PERCENT), '*', pt(10), pt(5)},
      {pt(10), '/', EKValue(50, UNIT_PERCENT), pt(20)},
      {EKValue(50, UNIT_PERCENT), '/', num(2), EKValue(0.25f)},
      {pt(6), '/', pt(3), EKValue(2.0f)},
      {EKValue(1, UNIT_EM), '*', EKValue(1, UNIT_EM), null},
      {num(7), '%', num(3), num(1)},
      {num(-7), '%', num(3), num(-1)},
      {num(7), '%', num(0), null},
      {num(-2147483647 - 1), '%', num(-1), num(0)},
      {EKValue(7.5f), '%', num(2), EKValue(1.5f)},
      {EKValue(1, UNIT_IN), '%', pt(50), pt(22)},
  };
  for (const auto& row : rows) {
    EKValue r(row.a);
    switch (row.op) {
    case '+': r += row.b; break;
    case '-': r -= row.b; break;
    case '*': r *= row.b; break;
    case '/': r /= row.b; break;
    default: r %= row.b; break;
    }
    SCOPED_TRACE(row.a.toString() + UnicodeString(row.op) + row.b.toString());
    EXPECT_EQ(r.getValueType(), row.expected.getValueType()) << utf8(r.toString());
    EXPECT_EQ(r.getUnitType(), row.expected.getUnitType());
    if (r.isReal())
      EXPECT_FLOAT_EQ(r.getRealValue(), row.expected.getRealValue());
    else
      EXPECT_EQ(r, row.expected);
  }
  EXPECT_EQ(EKValue(1.0f, UNIT_PT) / EKValue(0.0f), pt(INFINITY));
}

TEST(Value, UnaryAndRounding) {
  const EKValue null;
  const struct {
    EKValue in;
    EKValue neg, abs, round, floor, ceiling;
  } rows[] = {
      {EKValue(2.5f), EKValue(-2.5f), EKValue(2.5f), EKValue(3.0f), EKValue(2.0f), EKValue(3.0f)},
      {EKValue(-2.5f), EKValue(2.5f), EKValue(2.5f), EKValue(-2.0f), EKValue(-3.0f), EKValue(-2.0f)},
      {num(-4), num(4), num(4), num(-4), num(-4), num(-4)},
      {pt(2.5f), pt(-2.5f), pt(2.5f), null, null, null},
      {EKValue(EKN_auto), null, null, null, null, null},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.in.toString());
    EXPECT_EQ(-row.in, row.neg);
    EXPECT_EQ(row.in.abs(), row.abs);
    EXPECT_EQ(row.in.round(), row.round);
    EXPECT_EQ(row.in.floor(), row.floor);
    EXPECT_EQ(row.in.ceiling(), row.ceiling);
    EXPECT_EQ(row.in.round().getValueType(), row.round.getValueType());
  }
  EXPECT_EQ(-num(-2147483647 - 1), num(-2147483647 - 1)) << "integer negation wraps";
}

TEST(Value, ItemOperations) {
  EKValue list = pt(10);
  list.addItem(EKValue(50, UNIT_PERCENT));
  EXPECT_EQ(list.sumItem(pt(100)), pt(60));
  EXPECT_EQ(EKValue(25, UNIT_PERCENT).sumItem(pt(8)), pt(2));
  EXPECT_EQ(pt(3).sumItem(pt(8)), pt(3));

  EKValue shared = list;
  list.multipleEachItem(num(2));
  EXPECT_EQ(list.toString(), u("20pt 1")) << "a percentage factor counts as a plain fraction";
  EXPECT_EQ(shared.toString(), u("10pt 50%")) << "each-item operations build a new array";
  list = pt(9);
  list.addItem(pt(3));
  list.devideEachItem(num(3));
  EXPECT_EQ(list.toString(), u("3pt 1pt"));
  list.invertItem();
  EXPECT_EQ(list.toString(), u("-3pt -1pt"));
  EKValue single = pt(4);
  single.invertItem();
  EXPECT_EQ(single, pt(-4));

  EKValue words = EKValue(EKN_auto);
  words.addItem(str("x y"));
  words.addItem(pt(1));
  EXPECT_EQ(words.concatEachItem(), str("autox y1pt", UNIT_NONE));
  EXPECT_TRUE(words.concatEachItem().isUnknownString());
  EXPECT_EQ(pt(1).concatEachItem(), str("1pt", UNIT_NONE));
}

TEST(Value, EqualityAndOrder) {
  const struct {
    EKValue a, b;
    bool equal, less;
  } rows[] = {
      {EKValue(3, UNIT_PT), EKValue(3.0f, UNIT_PT), true, false},
      {EKValue(1, UNIT_IN), EKValue(72, UNIT_PT), true, false},
      {EKValue(1, UNIT_S), EKValue(1000, UNIT_MS), true, false},
      {num(5), EKValue(5.0f), true, false},
      {EKValue(1, UNIT_EM), EKValue(1, UNIT_PX), false, true},
      {EKValue(1, UNIT_CM), EKValue(1, UNIT_IN), false, true},
      {EKValue(2, UNIT_IN), EKValue(1, UNIT_IN), false, false},
      {EKValue(std::nanf("")), EKValue(std::nanf("")), false, false},
      {EKValue(EKN_auto), str("auto", UNIT_NONE), true, false},
      {str("a"), str("a", UNIT_URL), false, true},
      {str("a"), str("b"), false, true},
      {EKValue(EKN_inherit), EKValue(EKN_auto), false, false},
      {EKValue(), EKValue(), true, false},
      {EKValue(), num(0), false, true},
      {num(1), EKValue(EKN_auto), false, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.a.toString() + UnicodeString(u" vs ") + row.b.toString());
    EXPECT_EQ(row.a == row.b, row.equal);
    EXPECT_EQ(row.a != row.b, !row.equal);
    EXPECT_EQ(row.a < row.b, row.less);
    EXPECT_EQ(row.b > row.a, row.less);
    EXPECT_EQ(row.a >= row.b, !row.less);
  }
  EKValue list = pt(1), other = pt(1);
  list.makeArray();
  other.makeArray();
  EXPECT_EQ(list, EKValue(list)) << "arrays compare by identity";
  EXPECT_NE(list, other);
}

TEST(Value, PrintingForms) {
  EKValue list = pt(1);
  list.addItem(str("a b"));
  list.addItem(str("x\"y", UNIT_URL));
  list.addItem(EKValue(EKN_auto));
  EKValue compound;
  compound.setNamedItem(EKN_length, pt(1));
  compound.setNamedItem(EKName(), num(2));
  compound.setNamedItem(EKN_optimum, EKValue());
  compound.setNamedItem(EKN_name, str("it's"));
  const struct {
    EKValue value;
    const char* text;
  } rows[] = {
      {EKValue(), ""},
      {EKValue(12, UNIT_PT), "12pt"},
      {EKValue(1.5f, UNIT_EM), "1.5em"},
      {EKValue(50, UNIT_PERCENT2), "50%"},
      {EKValue(0.1f), "0.1"},
      {EKValue(1e-5f, UNIT_MM), "1e-05mm"},
      {EKValue(1234567.0f), "1.23457e+06"},
      {EKValue(3, UNIT_KHZ), "3kHz"},
      {EKValue(6.0f, UNIT_PT2), "6"},
      {EKValue(0x1F600, UNIT_CHARACTER), "\xF0\x9F\x98\x80"},
      {str("a \"b\""), "a \"b\""},
      {list, "1pt \"a b\" url(\"x%22y\") auto"},
      {compound, "{length: 1pt; .: 2; name: \"it's\"}"},
      {EKValue(new EKValueArray()), ""},
      {EKValue(static_cast<EKRCObject*>(EKNameTable::getSharedNameTable())), "##EKNameTable"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(utf8(row.value.toString()), row.text);
  EXPECT_EQ(EKValue(EKName(u("ABC"))).toString(true), u("abc"));

  EXPECT_EQ(str("a\"b").toValueText(false, false), u("'a\"b'"));
  EXPECT_EQ(str("a\nb").toCssText(), u("\"a\\A b\""));
  EXPECT_EQ(str("img.png", UNIT_URL).toCssText(), u("url(\"img.png\")"));
  EXPECT_EQ(str("raw", UNIT_NONE).toValueText(true, false), u("raw"));
  EXPECT_EQ(str("raw", UNIT_NONE).toValueText(true, true), u("\"raw\""));
  EXPECT_EQ(str("q").toQuotedString(EKUtil::QUOTE_SINGLE), u("'q'"));
  EXPECT_EQ(EKValue(EKN_auto).toQuotedString(EKUtil::QUOTE_SINGLE), u("auto"));
  EXPECT_EQ(str("a.png", UNIT_URL).toUrlString(EKUtil::QUOTE_DOUBLE), u("url(\"a.png\")"));
  EXPECT_EQ(str("a.png").toUrlString(EKUtil::QUOTE_DOUBLE), u("\"a.png\""));
  EXPECT_EQ(EKValue(EKN_auto).toKWName(), EKName(EKN_auto));
}

TEST(Value, SharedContainersAcrossThreads) {
  EKValue list = pt(1);
  list.addItem(str("shared"));
  EKValueArray* array = list.getValueArray();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&list] {
      for (int i = 0; i < 20000; ++i) {
        EKValue copy = list;
        EKValue second(copy);
        copy = second;
      }
    });
  for (std::thread& t : threads)
    t.join();
  EXPECT_EQ(array->getRefCount(), 1);
}

} // namespace
