// Applies one stored declaration to an element: substitutes var() references from the custom
// properties kept on the element and its ancestors, checks function argument counts, expands
// shorthands into their longhands and hands each (property, value) to the host's callback,
// reporting value errors with the declaration's position. Used by the cascade for every
// collected declaration. Not installed.
//
// Limits and checks:
// - var(name[, fallback]) and its -ek-/-epub- prefixed spellings: the name must be a custom
//   property name, else 978, as is a missing ")". A name being expanded inside its own value is
//   977. An undefined name is 986 (reported, not fatal) and the fallback, or nothing, is used.
//   Substitution does no recursion: it walks an explicit stack of the texts being expanded.
//   It is also bounded: at most MAX_SUBSTITUTIONS references are resolved and at most
//   MAX_SUBSTITUTED_UNITS UTF-16 units of variable values and fallbacks are read for one
//   declaration; a value that needs more is treated as a runaway expansion and fails with 977.
// - Argument counts are checked on the substituted text for a fixed set of functions (see
//   FUNCTION_ARITIES in the source): 979 too few, 980 too many, and 985 (reported, not fatal)
//   when an argument of a function whose arguments are single terms holds several terms, that
//   is, a comma is missing. Other functions are not checked; url(...) is copied unchanged.
// - Errors below 984 stop the declaration and mark it failed; a declaration already marked
//   failed is not reported again.
#pragma once

#include "ekcommon/css/EKCssCallbacks.h"
#include "ekcommon/css/EKCssDeclaration.h"
#include "ekcommon/css/EKCssRules.h"
#include "ekcommon/values/EKValue.h"

#include <atomic>
#include <vector>

namespace EKCommonNS {

class EKElement;

class EKCOMMON_API EKCssDeclarationApplier {
public:
  // What applying a declaration without var() hands to the host: it depends only on the
  // declaration's text, so it is worked out once and replayed. Declarations that reference
  // variables or meet an error are never prepared.
  struct Prepared {
    struct Call {
      EKName property;
      EKValue value;
      // True for the values taken from the declaration, false for the resets of longhands.
      bool fromDeclaration;
    };
    // The declaration as it was prepared; a declaration changed since is applied afresh.
    EKName property;
    UnicodeString valueText;
    std::vector<Call> calls;
  };
  // Where a prepared form is published once, by whichever thread applies the declaration first.
  using PreparedSlot = std::atomic<const Prepared*>;

  static constexpr int MAX_SUBSTITUTIONS = 1024;
  static constexpr int32_t MAX_SUBSTITUTED_UNITS = 1 << 18;

  // Custom properties are kept on elements as attributes in this namespace with this prefix,
  // local name = the property name ("--x"), value = the declaration's value text as a string.
  static const EKName& customPropertyNamespace(); // "https://ns.ekcommon.org/names/CSS"
  static const EKName& customPropertyPrefix();    // "_css_"

  // rules: the rules object the declarations come from, for the line and column of error
  // positions (null: positions are -1). element must not be null. Callbacks may be null.
  EKCssDeclarationApplier(const EKCssRules* rules, EKElement* element, EKCssPropertyCallback property,
                          EKCssErrorCallback error);

  // Applies one declaration of the sheet sourceId. Returns 0 or the first error code met (each
  // error also goes to the error callback unless the declaration was already marked failed).
  // Custom properties ("--x") are not applied (returns 0).
  unsigned short apply(const EKCssDeclaration& declaration, int sourceId);
  // As apply; with a slot, replays the declaration's prepared form when there is one, else
  // prepares it when applying shows that it may be.
  unsigned short apply(const EKCssDeclaration& declaration, int sourceId, PreparedSlot* slot);

  // The value of custom property `name` for the element: its own attribute, else the nearest
  // ancestor element's; the null value when undefined.
  static EKValue lookupCustomProperty(EKElement* element, EKName name);

private:
  // Reports the error unless the declaration was marked before this call; marks the declaration
  // for codes below 984. Returns `code`.
  unsigned short report(unsigned short code, const UnicodeString& message);
  unsigned short reportCode(unsigned short code, const UnicodeString& arg1, const UnicodeString& arg2 = {});
  // Substitutes var() references into `out`; returns 0 or the first fatal code.
  unsigned short substitute(const UnicodeString& text, UnicodeString& out);
  // Checks the argument counts of the functions in the substituted text.
  unsigned short checkArguments(const UnicodeString& text);
  // Steps 4 to 6 for the substituted value text.
  unsigned short deliver(const UnicodeString& text);
  // Hands one value to the host's callback, recording it when preparing.
  void emit(EKName property, const EKValue& value, bool fromDeclaration);

  const EKCssRules* m_rules;
  EKElement* m_element;
  EKCssPropertyCallback m_property;
  EKCssErrorCallback m_error;
  // The declaration being applied and what is known about it during one apply call.
  const EKCssDeclaration* m_declaration = nullptr;
  int m_sourceId = -1;
  bool m_wasMarked = false;
  unsigned short m_firstError = 0;
  // Set when a var() reference was met or an error reported: the outcome is not preparable.
  bool m_unpreparable = false;
  // The calls made so far, while preparing.
  Prepared* m_recording = nullptr;
};

} // namespace EKCommonNS
