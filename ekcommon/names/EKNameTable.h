// The process-wide table of interned names. Built-in names are looked up without a lock in
// either direction; names added at run time are numbered densely from 3207 under the table lock.
// Documents and namespace managers hold references on the shared table; when the last one goes,
// the table and every run-time name go with it.
#pragma once

#include "ekcommon/core/EKLock.h"
#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/names/EKNameEnum.h"

#include <atomic>
#include <memory>

namespace EKCommonNS {

class EKCOMMON_API EKNameTable : public EKRCObject {
  EK_TYPE_IDENTITY(EKNameTable, EKRCObject)

public:
  ~EKNameTable() override;

  // The shared table, created on first need; adds no reference.
  static EKNameTable* getSharedNameTable();
  // The shared table with one more reference on it.
  static EKNameTable* addRefSharedNameTable();
  // Drops one reference; deletes the table when none is left. No-op without a table.
  static void releaseSharedNameTable();
  // Shutdown: deletes the shared table whatever its count. Numbers handed out before no longer
  // denote their strings afterwards.
  static void cleanup();

  // The built-in number of a string, or 0 (also for the empty string). Never adds.
  static EKNameEnum getBuiltinNameEnum(const UnicodeString& string);
  // The string of a built-in number; the empty string outside 1..3206.
  static const UnicodeString& getBuiltinNameString(EKNameEnum number);
  // The number of a string, interning it in the shared table if it is new; 0 for "".
  static EKNameEnum getSharedNameEnum(const UnicodeString& string);
  // The string of any number of the shared table; the empty string for unknown numbers.
  static const UnicodeString& getSharedNameString(EKNameEnum number);

  // As getSharedNameEnum, on this table.
  EKNameEnum getNameEnum(const UnicodeString& string);
  // The number of a built-in or already interned string, or 0. Never adds.
  EKNameEnum lookupName(const UnicodeString& string) const;
  // The string of a number of this table; the empty string below 1 or above the last number.
  const UnicodeString& getNameString(EKNameEnum number) const;
  // The highest number in use (3206 in a new table).
  EKNameEnum getNameLast() const;

  // Guards creation of the shared table and every addition to it.
  static EKLock s_sharedNameTableLock;

private:
  struct RuntimeNames;

  EKNameTable();

  // Creates the shared table if there is none, without taking the lock.
  static void setupSharedNameTable();
  // The number of a string already known to be neither empty nor built in, with its hash.
  EKNameEnum lookupNonBuiltin(const UnicodeString& string, uint32_t hash) const;
  // Finds or adds a non-built-in string; the caller holds s_sharedNameTableLock.
  EKNameEnum getNonBuiltinNameEnumMutexed(const UnicodeString& string, uint32_t hash);

  std::unique_ptr<RuntimeNames> m_runtime;
  EKNameEnum m_last = EKN_BUILTIN_LAST;

  static std::atomic<EKNameTable*> s_sharedNameTable;
};

} // namespace EKCommonNS
