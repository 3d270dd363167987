// Process-wide state of fetching: the host's resolver, the HTTP settings and the map of
// addresses to where they redirect. Defined with the other load-time state.
#pragma once

#include "ekcommon/core/EKLock.h"
#include "ekcommon/core/EKString_hash.h"
#include "ekcommon/core/EKUnicode.h"

#include <atomic>
#include <unordered_map>

namespace EKCommonNS {

class EKUriReferenceResolver2;

struct EKFetchState {
  // A setting that was never given.
  static constexpr int NOT_SET = -2147483647 - 1;
  // The redirection map is emptied when it reaches this size, so a long-running host that
  // fetches ever new addresses keeps it bounded.
  static constexpr size_t MAX_REDIRECTIONS_KEPT = 4096;

  static std::atomic<EKUriReferenceResolver2*> s_resolver2;
  static std::atomic<int> s_connectTimeout;
  static std::atomic<int> s_connectRetries;
  static std::atomic<int> s_connectBackoff;
  // Read and written under the library-wide lock.
  static UnicodeString s_userAgent;
  static EKLock s_redirectionLock;
  static std::unordered_map<UnicodeString, UnicodeString, EKString_hash> s_redirections;
};

} // namespace EKCommonNS
