// The entities a parser knows: general and parameter entities by name, each either replacement
// text or an external resource. A copy of this record is what saveEntityMaps hands out and what
// the external-DTD cache keeps per DTD.
#pragma once

#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/names/EKName.h"

#include <memory>
#include <string>
#include <cstdint>
#include <unordered_map>

namespace EKCommonNS {

struct EKXmlEntityMaps {
  struct Entity {
    EKName name;
    UnicodeString text;          // replacement text of an internal entity
    UnicodeString systemLiteral; // external entities: as written
    UnicodeString uri;           // external entities: resolved against the declaring resource
    bool parameter = false;
    bool external = false;
    bool unparsed = false;  // NDATA
    bool expanding = false; // its replacement is being read
    // What the text is, worked out on first use: text without markup, references or ']' reads
    // the same whether it is pushed as input or appended where the reference stands, and so does
    // a text that is one character reference.
    enum Shape : uint8_t { UNKNOWN, PLAIN, CHARACTER, MARKUP };
    Shape shape = UNKNOWN;
    char32_t character = 0;
    // The length of the text with every reference in it expanded, worked out on first use.
    uint64_t expandedLength = 0;
    bool measured = false;
    bool measuring = false;
  };
  std::unordered_map<EKName, Entity> general;
  std::unordered_map<EKName, Entity> parameter;

  EKXmlEntityMaps() { reset(); }
  // Forgets every declaration but the five predefined entities.
  void reset();
  // Whether the name is declared as a general or a parameter entity.
  bool isDeclared(EKName name) const { return general.count(name) != 0 || parameter.count(name) != 0; }
  // Declares unless the name is taken; false when it was.
  bool declare(const Entity& entity);
  // The length of the general entity's text with its references expanded (character references
  // count 1; undefined, external and looping ones 0), saturating far beyond any limit. Works
  // without recursion, so that chains of any length cost only heap memory.
  uint64_t getExpandedLength(Entity& entity);
  // The shape of an entity's text (see Entity::Shape).
  static Entity::Shape getShape(Entity& entity);
  // Forgets the measured lengths (after a redefinition).
  void forgetLengths();
};

} // namespace EKCommonNS
