// A Bloom filter over the ids, classes and element names of an element's ancestors, for turning
// away rules quickly: a selector such as ".menu > li" or "#main .item" can only match an element
// whose ancestors carry "menu", or "main", so a rule whose ancestor names are not all in the
// filter is skipped without walking the tree. The filter only ever answers "no" when a match is
// impossible: names are hashed after ASCII case folding on both sides, which covers matching
// with and without regard to case. Built per element on the stack of the thread applying rules.
// Not installed.
#pragma once

#include "ekcommon/css/EKCssSelector.h"

#include <cstdint>
#include <string_view>

namespace EKCommonNS {

class EKElement;

class EKCOMMON_API EKCssAncestorFilter {
public:
  // At most this many names of a selector are checked; any subset keeps the answer sound.
  static constexpr int MAX_SELECTOR_HASHES = 4;
  // Elements deeper than this (counting ancestors) get no filtering: every rule passes.
  static constexpr int MAX_DEPTH = 1024;

  // The hashes of names that ancestors of any element the selector matches must carry: ids,
  // classes and type names of the compounds left of a descendant or child combinator (negated
  // ones excluded). Ids come first, then classes, then types. Returns how many were written.
  static int selectorHashes(const EKCssSelector& selector, uint32_t* out);

  // Fills the filter from the ancestors of `element`.
  void build(const EKElement* element);
  // False only when some hash is certainly missing from every ancestor.
  bool mayMatch(const uint32_t* hashes, int count) const;

  // Calls visit(word) for each white-space separated word of a class attribute's text, until
  // it returns true; returns whether it did.
  template <class Visit> static bool anyWord(std::u16string_view text, Visit visit) {
    size_t i = 0;
    while (i < text.size()) {
      while (i < text.size() && isSpace(text[i]))
        ++i;
      size_t end = i;
      while (end < text.size() && !isSpace(text[end]))
        ++end;
      if (end > i && visit(text.substr(i, end - i)))
        return true;
      i = end;
    }
    return false;
  }
  static bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

private:
  enum Kind : uint32_t { ID_HASH = 0x1d, CLASS_HASH = 0x2c, TYPE_HASH = 0x3b };
  static constexpr uint32_t BITS = 4096;

  static uint32_t hash(Kind kind, std::u16string_view name);
  void add(uint32_t hash);
  bool has(uint32_t hash) const;

  uint64_t m_bits[BITS / 64];
  bool m_complete = false;
};

} // namespace EKCommonNS
