// Fuzzes the value tokenizer in every dialect with every operation. The first byte picks the
// dialect, the second how the text is decoded (UTF-8, or raw UTF-16 units with lone surrogates
// and NULs); the text is then driven by an operation script taken from the same bytes, so that
// push-backs, give-backs, separators, functions and position moves meet in every order. Each
// value read is printed, compared, cloned and combined with the previous one.
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

void exercise(const EKValue& v, const EKValue& previous) {
  check(v == v || v.isReal() || v.isCompound());
  v.toString();
  v.toCssText();
  v.getLengthValue();
  v.getColorValue(true);
  const EKValue copy = v.clone();
  check(copy.getValueType() == v.getValueType());
  EKValue sum = previous + v;
  sum *= v;
  sum /= previous;
  sum %= v;
  (void)(previous < v);
  (void)(v == previous);
  EKValue list = previous;
  list.addItem(v);
  list.sumItem(EKValue(100, UNIT_PT)).toString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2)
    return 0;
  const auto dialect = static_cast<EKTokenizer::TokenizerType>(data[0] % 7);
  UnicodeString text;
  if (data[1] & 1) {
    for (size_t i = 2; i + 1 < size; i += 2)
      text.append(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  } else {
    text = UnicodeString::fromUTF8(std::string(reinterpret_cast<const char*>(data + 2), size - 2));
  }

  EKTokenizer t(text, dialect);
  const int length = t.getStr().length();
  EKValue previous;
  size_t script = 0;
  int ends = 0;
  for (int step = 0; step < 4 * length + 64 && ends < 4; ++step) {
    const uint8_t op = data[script++ % size] ^ static_cast<uint8_t>(step);
    const char16_t separator = u",; /&\0"[op % 6];
    EKValue v;
    switch (op % 14) {
    case 0: t.nextToken(); break;
    case 1: t.pushBack(); break;
    case 2: v = t.nextTokenValue(op & 16); break;
    case 3: v = t.nextTokenValueSigned(op & 16); break;
    case 4: v = t.nextTokenValueSigned(); break;
    case 5: t.nextTokenDoubleExp(); break;
    case 6: v = t.nextTokenValueFunc(op & 16, nullptr); break;
    case 7: {
      EKName function;
      v = t.nextTokenValueFunc(false, &function);
      break;
    }
    case 8: t.nextSeparatedValue(separator, op & 16); break;
    case 9: t.skipWhitespace(); break;
    case 10: t.scanSeparator(separator); break;
    case 11: t.skipSeparator(separator); break;
    case 12: {
      // Moving back and forth, up to the very end of the text.
      const int offset = static_cast<int>(op) * 7 % (length + 1);
      t.setPtr(t.getPtr() - t.getOffset() + offset);
      break;
    }
    default: {
      EKTokenizer copy(t);
      copy.nextTokenValueFunc(true, nullptr);
      t = copy;
      break;
    }
    }
    check(t.getOffset() >= 0 && t.getOffset() <= length);
    if (t.getTokenType() == EKTokenizer::TOKEN_END)
      ++ends;
    exercise(v, previous);
    previous = v;
  }
  // Whatever happened, reading on reaches the end.
  EKTokenizer rest(text, dialect);
  for (int i = 0; i <= length + 1; ++i)
    if (rest.nextTokenValueFunc(false, nullptr).isNull())
      return 0;
  check(false);
  return 0;
}
