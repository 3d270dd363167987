#include "ekcommon/names/EKNameTable.h"

#include "ekcommon/core/EKEmptyString.h"
#include "ekcommon/core/EKMutex.h"

namespace EKCommonNS {

namespace {
constexpr size_t INITIAL_BUCKETS = 8;
} // namespace

EKNameTable::EKNameTable() : m_map(INITIAL_BUCKETS) {
  m_map.max_load_factor(1.0f);
}

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
  if (string.isEmpty())
    return EKN_EMPTY;
  const auto found = s_builtinStrNameMap.find(&string);
  return found == s_builtinStrNameMap.end() ? EKN_EMPTY : found->second;
}

const UnicodeString& EKNameTable::getBuiltinNameString(EKNameEnum number) {
  if (number < 1 || number > EKN_BUILTIN_LAST)
    return EKEmptyString::getEmptyString();
  return s_builtinNameStrings[number];
}

EKNameEnum EKNameTable::getSharedNameEnum(const UnicodeString& string) {
  if (const EKNameEnum builtin = getBuiltinNameEnum(string); builtin != EKN_EMPTY || string.isEmpty())
    return builtin;
  EKMutex guard(s_sharedNameTableLock);
  setupSharedNameTable();
  return s_sharedNameTable.load()->getNonBuiltinNameEnumMutexed(string);
}

const UnicodeString& EKNameTable::getSharedNameString(EKNameEnum number) {
  if (number <= EKN_BUILTIN_LAST)
    return getBuiltinNameString(number);
  EKMutex guard(s_sharedNameTableLock);
  const EKNameTable* table = s_sharedNameTable.load();
  return table ? table->getNameString(number) : EKEmptyString::getEmptyString();
}

EKNameEnum EKNameTable::getNameEnum(const UnicodeString& string) {
  if (const EKNameEnum builtin = getBuiltinNameEnum(string); builtin != EKN_EMPTY || string.isEmpty())
    return builtin;
  EKMutex guard(s_sharedNameTableLock);
  return getNonBuiltinNameEnumMutexed(string);
}

EKNameEnum EKNameTable::getNonBuiltinNameEnumMutexed(const UnicodeString& string) {
  const auto found = m_map.find(&string);
  if (found != m_map.end())
    return found->second;
  m_strings.push_back(string);
  const EKNameEnum number = static_cast<EKNameEnum>(m_last + 1);
  m_map.emplace(&m_strings.back(), number);
  m_last = number;
  return number;
}

EKNameEnum EKNameTable::lookupName(const UnicodeString& string) const {
  if (const EKNameEnum builtin = getBuiltinNameEnum(string); builtin != EKN_EMPTY || string.isEmpty())
    return builtin;
  EKMutex guard(s_sharedNameTableLock);
  const auto found = m_map.find(&string);
  return found == m_map.end() ? EKN_EMPTY : found->second;
}

const UnicodeString& EKNameTable::getNameString(EKNameEnum number) const {
  if (number <= EKN_BUILTIN_LAST)
    return getBuiltinNameString(number);
  EKMutex guard(s_sharedNameTableLock);
  if (number > m_last)
    return EKEmptyString::getEmptyString();
  return m_strings[static_cast<size_t>(number - EKN_FIRST_RUNTIME)];
}

EKNameEnum EKNameTable::getNameLast() const {
  EKMutex guard(s_sharedNameTableLock);
  return m_last;
}

} // namespace EKCommonNS
