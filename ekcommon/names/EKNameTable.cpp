#include "ekcommon/names/EKNameTable.h"

#include "ekcommon/core/EKEmptyString.h"
#include "ekcommon/core/EKMutex.h"
#include "ekcommon/names/internal/EKBuiltinNames.h"

#include <deque>

namespace EKCommonNS {

namespace {

constexpr uint32_t INITIAL_RUNTIME_CAPACITY = 1024;

// The built-in number of a non-empty string with the given hash, or EKN_EMPTY.
EKNameEnum findBuiltin(const UnicodeString& string, uint32_t hash) {
  return s_builtinStrNameMap.find(string, hash,
                                  [](EKNameEnum n) -> const UnicodeString& { return s_builtinNameStrings[n]; });
}

// True when the string is empty (number 0) or built in (its number); otherwise `hash` is set
// for the run-time lookup that follows, so that the string is hashed once.
bool findEmptyOrBuiltin(const UnicodeString& string, uint32_t& hash, EKNameEnum& number) {
  if (string.isEmpty()) {
    number = EKN_EMPTY;
    return true;
  }
  hash = EKNameIndex::hashOf(string);
  number = findBuiltin(string, hash);
  return number != EKN_EMPTY;
}

} // namespace

// Names added at run time. Strings live in a deque so that references handed out stay valid
// while the table grows.
struct EKNameTable::RuntimeNames {
  EKNameIndex index{INITIAL_RUNTIME_CAPACITY};
  std::deque<UnicodeString> strings;

  const UnicodeString& stringOf(EKNameEnum number) const {
    return strings[static_cast<size_t>(number - EKN_FIRST_RUNTIME)];
  }
};

EKNameTable::EKNameTable() : m_runtime(std::make_unique<RuntimeNames>()) {}

EKNameTable::~EKNameTable() {
  EKNameTable* self = this;
  s_sharedNameTable.compare_exchange_strong(self, nullptr);
}

void EKNameTable::setupSharedNameTable() {
  if (!s_sharedNameTable.load())
    s_sharedNameTable.store(new EKNameTable());
}

EKNameTable* EKNameTable::getSharedNameTable() {
  EKNameTable* table = s_sharedNameTable.load();
  if (table)
    return table;
  EKMutex guard(s_sharedNameTableLock);
  setupSharedNameTable();
  return s_sharedNameTable.load();
}

EKNameTable* EKNameTable::addRefSharedNameTable() {
  EKNameTable* table = getSharedNameTable();
  table->addRef();
  return table;
}

void EKNameTable::releaseSharedNameTable() {
  EKMutex guard(s_sharedNameTableLock);
  if (EKNameTable* table = s_sharedNameTable.load())
    table->release();
}

void EKNameTable::cleanup() {
  EKMutex guard;
  delete s_sharedNameTable.exchange(nullptr);
}

EKNameEnum EKNameTable::getBuiltinNameEnum(const UnicodeString& string) {
  return string.isEmpty() ? EKN_EMPTY : findBuiltin(string, EKNameIndex::hashOf(string));
}

const UnicodeString& EKNameTable::getBuiltinNameString(EKNameEnum number) {
  if (number < 1 || number > EKN_BUILTIN_LAST)
    return EKEmptyString::getEmptyString();
  return s_builtinNameStrings[number];
}

EKNameEnum EKNameTable::getSharedNameEnum(const UnicodeString& string) {
  uint32_t hash = 0;
  EKNameEnum number = EKN_EMPTY;
  if (findEmptyOrBuiltin(string, hash, number))
    return number;
  EKMutex guard(s_sharedNameTableLock);
  setupSharedNameTable();
  return s_sharedNameTable.load()->getNonBuiltinNameEnumMutexed(string, hash);
}

const UnicodeString& EKNameTable::getSharedNameString(EKNameEnum number) {
  if (number <= EKN_BUILTIN_LAST)
    return getBuiltinNameString(number);
  EKMutex guard(s_sharedNameTableLock);
  const EKNameTable* table = s_sharedNameTable.load();
  return table ? table->getNameString(number) : EKEmptyString::getEmptyString();
}

EKNameEnum EKNameTable::getNameEnum(const UnicodeString& string) {
  uint32_t hash = 0;
  EKNameEnum number = EKN_EMPTY;
  if (findEmptyOrBuiltin(string, hash, number))
    return number;
  EKMutex guard(s_sharedNameTableLock);
  return getNonBuiltinNameEnumMutexed(string, hash);
}

EKNameEnum EKNameTable::lookupNonBuiltin(const UnicodeString& string, uint32_t hash) const {
  const RuntimeNames& runtime = *m_runtime;
  return runtime.index.find(string, hash,
                            [&runtime](EKNameEnum n) -> const UnicodeString& { return runtime.stringOf(n); });
}

EKNameEnum EKNameTable::getNonBuiltinNameEnumMutexed(const UnicodeString& string, uint32_t hash) {
  if (const EKNameEnum found = lookupNonBuiltin(string, hash))
    return found;
  m_runtime->strings.push_back(string);
  const EKNameEnum number = static_cast<EKNameEnum>(m_last + 1);
  m_runtime->index.insert(hash, number);
  m_last = number;
  return number;
}

EKNameEnum EKNameTable::lookupName(const UnicodeString& string) const {
  uint32_t hash = 0;
  EKNameEnum number = EKN_EMPTY;
  if (findEmptyOrBuiltin(string, hash, number))
    return number;
  EKMutex guard(s_sharedNameTableLock);
  return lookupNonBuiltin(string, hash);
}

const UnicodeString& EKNameTable::getNameString(EKNameEnum number) const {
  if (number <= EKN_BUILTIN_LAST)
    return getBuiltinNameString(number);
  EKMutex guard(s_sharedNameTableLock);
  if (number > m_last)
    return EKEmptyString::getEmptyString();
  return m_runtime->stringOf(number);
}

EKNameEnum EKNameTable::getNameLast() const {
  EKMutex guard(s_sharedNameTableLock);
  return m_last;
}

} // namespace EKCommonNS
