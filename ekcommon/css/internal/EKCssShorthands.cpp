#include "ekcommon/css/internal/EKCssShorthands.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/css/EKCssParser.h"
#include "ekcommon/values/EKColor.h"

#include <unordered_map>

namespace EKCommonNS {

namespace {

enum class Grammar {
  BOX,
  BOX_NON_NEGATIVE,
  BORDER_RADIUS,
  PARTS,
  BACKGROUND_POSITION,
  PAIR,
  SIZE,
  FONT,
  LANG,
  KEYWORDS,
  VERTICAL_ALIGN,
  BORDER_SPACING,
  AS_WRITTEN
};

// The kinds of term that the PARTS grammar places, one per part of the shorthand.
enum class Term {
  NOTHING,
  LINE_WIDTH,
  LINE_STYLE,
  COLOR,
  LENGTH_OR_AUTO,
  INTEGER_OR_AUTO,
  DECORATION_LINE,
  DECORATION_STYLE,
  EMPHASIS_STYLE,
  LIST_TYPE,
  LIST_POSITION,
  IMAGE,
  REPEAT,
  ATTACHMENT,
  POSITION,
  FLOAT_X,
  FLOAT_Y
};

// A keyword value and what it sets: pairs of (property, keyword).
struct KeywordRow {
  const char16_t* keyword;
  std::vector<std::pair<const char16_t*, const char16_t*>> sets;
};

struct Row {
  const char16_t* name;
  Grammar grammar;
  std::vector<UnicodeString> longhands;
  // PARTS: what each part accepts; longhand j takes part j modulo the number of parts.
  std::vector<Term> parts;
  // KEYWORDS: the accepted keywords.
  std::vector<KeywordRow> keywords;
  // PARTS and KEYWORDS: a value that does not fit is handed on as written instead of failing.
  bool unknownAsWritten = false;
};

struct Shorthand {
  const Row* row;
  std::vector<EKName> longhands;
};

Row box(const char16_t* name, Grammar grammar, const char16_t* stem, const char16_t* suffix) {
  Row row{name, grammar, {}, {}, {}, false};
  for (const char16_t* side : {u"top", u"right", u"bottom", u"left"})
    row.longhands.push_back(UnicodeString(stem) + side + suffix);
  return row;
}

Row lineParts(const char16_t* name, std::vector<UnicodeString> longhands) {
  return Row{name, Grammar::PARTS, std::move(longhands), {Term::LINE_WIDTH, Term::LINE_STYLE, Term::COLOR}, {}, false};
}

Row side(const char16_t* name, const char16_t* w, const char16_t* s, const char16_t* c) {
  return lineParts(name, {w, s, c});
}

const std::vector<Row>& rows() {
  static const std::vector<Row> table = [] {
    std::vector<Row> t;
    t.push_back({u"background", Grammar::PARTS,
                 {u"background-color", u"background-image", u"background-repeat", u"background-attachment",
                  u"background-position-horizontal", u"background-position-vertical"},
                 {Term::COLOR, Term::IMAGE, Term::REPEAT, Term::ATTACHMENT, Term::POSITION, Term::POSITION}, {},
                 false});
    t.push_back({u"background-position", Grammar::BACKGROUND_POSITION,
                 {u"background-position-horizontal", u"background-position-vertical"}, {}, {}, false});
    t.push_back(box(u"bleed", Grammar::BOX, u"bleed-", u""));
    t.push_back(lineParts(u"border", {u"border-before-width", u"border-before-style", u"border-before-color",
                                      u"border-after-width", u"border-after-style", u"border-after-color",
                                      u"border-start-width", u"border-start-style", u"border-start-color",
                                      u"border-end-width", u"border-end-style", u"border-end-color"}));
    t.push_back(side(u"border-top", u"border-top-width", u"border-top-style", u"border-top-color"));
    t.push_back(side(u"border-right", u"border-right-width", u"border-right-style", u"border-right-color"));
    t.push_back(side(u"border-bottom", u"border-bottom-width", u"border-bottom-style", u"border-bottom-color"));
    t.push_back(side(u"border-left", u"border-left-width", u"border-left-style", u"border-left-color"));
    t.push_back(side(u"border-before", u"border-before-width", u"border-before-style", u"border-before-color"));
    t.push_back(side(u"border-after", u"border-after-width", u"border-after-style", u"border-after-color"));
    t.push_back(side(u"border-start", u"border-start-width", u"border-start-style", u"border-start-color"));
    t.push_back(side(u"border-end", u"border-end-width", u"border-end-style", u"border-end-color"));
    t.push_back(box(u"border-color", Grammar::BOX, u"border-", u"-color"));
    t.push_back(box(u"border-style", Grammar::BOX, u"border-", u"-style"));
    t.push_back(box(u"border-width", Grammar::BOX_NON_NEGATIVE, u"border-", u"-width"));
    t.push_back({u"border-radius", Grammar::BORDER_RADIUS,
                 {u"border-top-left-radius", u"border-top-right-radius", u"border-bottom-left-radius",
                  u"border-bottom-right-radius"},
                 {}, {}, false});
    t.push_back({u"border-spacing", Grammar::BORDER_SPACING, {}, {}, {}, false});
    t.push_back(lineParts(u"change-bar", {u"change-bar-width", u"change-bar-style", u"change-bar-color"}));
    t.push_back({u"column-rule", Grammar::PARTS,
                 {u"column-rule-width", u"column-rule-style", u"column-rule-color", u"column-rule-display"},
                 {Term::LINE_WIDTH, Term::LINE_STYLE, Term::COLOR, Term::NOTHING}, {}, false});
    t.push_back({u"columns", Grammar::PARTS, {u"column-width", u"column-count"},
                 {Term::LENGTH_OR_AUTO, Term::INTEGER_OR_AUTO}, {}, false});
    t.push_back({u"content", Grammar::AS_WRITTEN, {}, {}, {}, false});
    t.push_back(box(u"crop-offset", Grammar::BOX, u"crop-offset-", u""));
    t.push_back({u"cue", Grammar::PAIR, {u"cue-before", u"cue-after"}, {}, {}, false});
    t.push_back({u"float", Grammar::PARTS,
                 {u"float-x", u"float-y", u"float-wrap", u"float-intrude", u"float-reference", u"float-move",
                  u"float-condition"},
                 {Term::FLOAT_X, Term::FLOAT_Y, Term::NOTHING, Term::NOTHING, Term::NOTHING, Term::NOTHING,
                  Term::NOTHING},
                 {}, true});
    t.push_back({u"font", Grammar::FONT,
                 {u"font-style", u"font-variant", u"font-weight", u"font-size", u"line-height", u"font-size-adjust",
                  u"font-stretch", u"font-family"},
                 {}, {}, false});
    t.push_back({u"lang", Grammar::LANG, {u"language", u"country"}, {}, {}, false});
    t.push_back({u"list-style", Grammar::PARTS,
                 {u"list-style-type", u"list-style-position", u"list-style-image"},
                 {Term::LIST_TYPE, Term::LIST_POSITION, Term::IMAGE}, {}, false});
    t.push_back(box(u"margin", Grammar::BOX, u"margin-", u""));
    t.push_back(lineParts(u"outline", {u"outline-width", u"outline-style", u"outline-color"}));
    t.push_back({u"overflow-limit", Grammar::PAIR, {u"overflow-limit-inline", u"overflow-limit-block"}, {}, {},
                 false});
    t.push_back(box(u"padding", Grammar::BOX_NON_NEGATIVE, u"padding-", u""));
    t.push_back({u"pause", Grammar::PAIR, {u"pause-before", u"pause-after"}, {}, {}, false});
    t.push_back({u"position",
                 Grammar::KEYWORDS,
                 {u"relative-position", u"absolute-position"},
                 {},
                 {{u"static", {{u"relative-position", u"static"}, {u"absolute-position", u"auto"}}},
                  {u"relative", {{u"relative-position", u"relative"}, {u"absolute-position", u"auto"}}},
                  {u"absolute", {{u"relative-position", u"static"}, {u"absolute-position", u"absolute"}}},
                  {u"fixed", {{u"relative-position", u"static"}, {u"absolute-position", u"fixed"}}}},
                 true});
    t.push_back({u"size", Grammar::SIZE, {u"page-width", u"page-height"}, {}, {}, false});
    t.push_back({u"string-set", Grammar::AS_WRITTEN, {}, {}, {}, false});
    t.push_back({u"text-decoration", Grammar::PARTS,
                 {u"text-decoration-line", u"text-decoration-color", u"text-decoration-style"},
                 {Term::DECORATION_LINE, Term::COLOR, Term::DECORATION_STYLE}, {}, false});
    t.push_back({u"text-emphasis", Grammar::PARTS, {u"text-emphasis-style", u"text-emphasis-color"},
                 {Term::EMPHASIS_STYLE, Term::COLOR}, {}, false});
    t.push_back({u"text-stroke", Grammar::PARTS, {u"text-stroke-width", u"text-stroke-color"},
                 {Term::LINE_WIDTH, Term::COLOR}, {}, false});
    t.push_back({u"vertical-align",
                 Grammar::VERTICAL_ALIGN,
                 {u"alignment-baseline", u"alignment-adjust", u"baseline-shift", u"dominant-baseline"},
                 {},
                 {{u"baseline", {{u"alignment-baseline", u"baseline"}}},
                  {u"sub", {{u"baseline-shift", u"sub"}}},
                  {u"super", {{u"baseline-shift", u"super"}}},
                  {u"top", {{u"alignment-baseline", u"before-edge"}}},
                  {u"text-top", {{u"alignment-baseline", u"text-before-edge"}}},
                  {u"middle", {{u"alignment-baseline", u"middle"}}},
                  {u"bottom", {{u"alignment-baseline", u"after-edge"}}},
                  {u"text-bottom", {{u"alignment-baseline", u"text-after-edge"}}}},
                 false});
    t.push_back({u"white-space",
                 Grammar::KEYWORDS,
                 {u"linefeed-treatment", u"white-space-collapse", u"white-space-treatment", u"wrap-option"},
                 {},
                 {{u"normal",
                   {{u"linefeed-treatment", u"treat-as-space"}, {u"white-space-collapse", u"true"},
                    {u"white-space-treatment", u"ignore-if-surrounding-linefeed"}, {u"wrap-option", u"wrap"}}},
                  {u"pre",
                   {{u"linefeed-treatment", u"preserve"}, {u"white-space-collapse", u"false"},
                    {u"white-space-treatment", u"preserve"}, {u"wrap-option", u"no-wrap"}}},
                  {u"nowrap",
                   {{u"linefeed-treatment", u"treat-as-space"}, {u"white-space-collapse", u"true"},
                    {u"white-space-treatment", u"ignore-if-surrounding-linefeed"}, {u"wrap-option", u"no-wrap"}}},
                  {u"pre-wrap",
                   {{u"linefeed-treatment", u"preserve"}, {u"white-space-collapse", u"false"},
                    {u"white-space-treatment", u"preserve"}, {u"wrap-option", u"wrap"}}},
                  {u"pre-line",
                   {{u"linefeed-treatment", u"preserve"}, {u"white-space-collapse", u"true"},
                    {u"white-space-treatment", u"ignore-if-surrounding-linefeed"}, {u"wrap-option", u"wrap"}}}},
                 false});
    t.push_back({u"writing-mode",
                 Grammar::KEYWORDS,
                 {u"block-progression"},
                 {},
                 {{u"lr-tb", {{u"block-progression", u"tb"}, {u"direction", u"ltr"}}},
                  {u"rl-tb", {{u"block-progression", u"tb"}, {u"direction", u"rtl"}}},
                  {u"tb-rl", {{u"block-progression", u"rl"}, {u"direction", u"ltr"}}},
                  {u"tb-lr", {{u"block-progression", u"lr"}, {u"direction", u"ltr"}}},
                  {u"bt-lr", {{u"block-progression", u"lr"}, {u"direction", u"rtl"}}},
                  {u"bt-rl", {{u"block-progression", u"rl"}, {u"direction", u"rtl"}}},
                  {u"horizontal-tb", {{u"block-progression", u"tb"}}},
                  {u"vertical-rl", {{u"block-progression", u"rl"}}},
                  {u"vertical-lr", {{u"block-progression", u"lr"}}}},
                 false});
    return t;
  }();
  return table;
}

const std::unordered_map<EKName, Shorthand>& shorthands() {
  static const std::unordered_map<EKName, Shorthand> map = [] {
    std::unordered_map<EKName, Shorthand> m;
    for (const Row& row : rows()) {
      Shorthand& entry = m[EKName(UnicodeString(row.name))];
      entry.row = &row;
      for (const UnicodeString& longhand : row.longhands)
        entry.longhands.push_back(EKName(longhand));
    }
    return m;
  }();
  return map;
}

EKName nameOf(const char16_t* s) { return EKName(UnicodeString(s)); }

// True when v is a name found among the space-separated words of `list` (ASCII case ignored).
bool isKeyword(const EKValue& v, const char16_t* list) {
  if (!v.isName())
    return false;
  const UnicodeString word = v.getNameValue().toLowerString();
  const UnicodeString words = UnicodeString(u" ") + list + u" ";
  return !word.isEmpty() && words.indexOf(UnicodeString(u" ") + word + u" ") >= 0;
}

bool isCharacter(const EKValue& v, char16_t c) { return v.getCharacterValue() == c; }

// A length or percentage; a plain 0 counts as a length.
bool isLength(const EKValue& v) {
  return !v.isCharacter() && (v.isAbsoluteLength() || v.isRelativeLength() || v.isPercentage() || v.isNumberZero());
}

bool isNonNegativeLength(const EKValue& v) { return isLength(v) && !v.isNegativeValue(); }

bool isColor(const EKValue& v) { return v.isColor() || (v.isName() && !EKColor(v.getNameValue()).isInvalid()); }

bool accepts(Term term, const EKValue& v) {
  switch (term) {
  case Term::NOTHING: return false;
  case Term::LINE_WIDTH: return isNonNegativeLength(v) || isKeyword(v, u"thin medium thick");
  case Term::LINE_STYLE: return isKeyword(v, u"none hidden dotted dashed solid double groove ridge inset outset");
  case Term::COLOR: return isColor(v);
  case Term::LENGTH_OR_AUTO: return isNonNegativeLength(v) || isKeyword(v, u"auto");
  case Term::INTEGER_OR_AUTO:
    return (v.isInteger() && v.getUnitType() == UNIT_NUMBER && v.getIntegerValue() > 0) || isKeyword(v, u"auto");
  case Term::DECORATION_LINE: return isKeyword(v, u"none underline overline line-through blink");
  case Term::DECORATION_STYLE: return isKeyword(v, u"solid double dotted dashed wavy");
  case Term::EMPHASIS_STYLE:
    return v.isLiteralString() || isKeyword(v, u"none filled open dot circle double-circle triangle sesame");
  case Term::LIST_TYPE: return v.isLiteralString() || (v.isName() && !isKeyword(v, u"inside outside"));
  case Term::LIST_POSITION: return isKeyword(v, u"inside outside");
  case Term::IMAGE: return v.isUriString() || v.isUnknownString() || isKeyword(v, u"none");
  case Term::REPEAT: return isKeyword(v, u"repeat repeat-x repeat-y no-repeat space round");
  case Term::ATTACHMENT: return isKeyword(v, u"scroll fixed local");
  case Term::POSITION: return isLength(v) || isKeyword(v, u"left center right top bottom");
  case Term::FLOAT_X: return isKeyword(v, u"left right inside outside start end none");
  case Term::FLOAT_Y: return isKeyword(v, u"top bottom");
  }
  return false;
}

bool isRepeatable(Term term) { return term == Term::DECORATION_LINE || term == Term::EMPHASIS_STYLE; }

using Terms = std::vector<EKValue>;
using Expansion = EKCssShorthands::Expansion;

Expansion invalid() {
  Expansion e;
  e.error = EKERR_CSS_INVALID_PROPERTY_VALUE;
  return e;
}

// Builds the map from longhands and values of the same length; null values are left out.
Expansion mapOf(const std::vector<EKName>& longhands, const Terms& values) {
  Expansion e;
  e.map = new EKNamedValueMap();
  for (size_t i = 0; i < longhands.size() && i < values.size(); ++i)
    if (!values[i].isNull())
      e.map->setNamedItem(longhands[i], values[i]);
  return e;
}

// The top/right/bottom/left values of 1 to 4 terms; empty for any other count.
Terms boxSides(const Terms& t) {
  switch (t.size()) {
  case 1: return {t[0], t[0], t[0], t[0]};
  case 2: return {t[0], t[1], t[0], t[1]};
  case 3: return {t[0], t[1], t[2], t[1]};
  case 4: return t;
  default: return {};
  }
}

Expansion expandBox(const Shorthand& s, const Terms& terms, bool nonNegative) {
  Terms sides = boxSides(terms);
  if (sides.empty())
    return invalid();
  if (nonNegative)
    for (const EKValue& v : terms)
      if (!v.isCharacter() && v.isNegativeValue())
        return invalid();
  return mapOf(s.longhands, sides);
}

Expansion expandBorderRadius(const Shorthand& s, const Terms& terms) {
  Terms horizontal;
  Terms vertical;
  bool slash = false;
  for (const EKValue& v : terms) {
    if (isCharacter(v, u'/') && !slash) {
      slash = true;
      continue;
    }
    if (!isNonNegativeLength(v))
      return invalid();
    (slash ? vertical : horizontal).push_back(v);
  }
  // Corners in the order top-left, top-right, bottom-right, bottom-left.
  const Terms h = boxSides(horizontal);
  const Terms v = slash ? boxSides(vertical) : h;
  if (h.empty() || v.empty())
    return invalid();
  Terms corners;
  for (size_t i = 0; i < 4; ++i) {
    EKValue corner = h[i];
    if (slash) {
      corner.makeArray();
      corner.addItem(v[i]);
    }
    corners.push_back(corner);
  }
  // The longhands list bottom-left before bottom-right.
  return mapOf(s.longhands, {corners[0], corners[1], corners[3], corners[2]});
}

// Horizontal and vertical position from one or two terms; false when they do not fit.
bool positionPair(const Terms& terms, EKValue& horizontal, EKValue& vertical) {
  const EKValue center(nameOf(u"center"));
  if (terms.size() == 1) {
    const bool isVertical = isKeyword(terms[0], u"top bottom");
    horizontal = isVertical ? center : terms[0];
    vertical = isVertical ? terms[0] : center;
    return true;
  }
  if (terms.size() != 2)
    return false;
  // Keywords may come in either order; with a length the first term is the horizontal one.
  const bool swapped = isKeyword(terms[0], u"top bottom") || isKeyword(terms[1], u"left right");
  if (swapped && (isLength(terms[0]) || isLength(terms[1])))
    return false;
  horizontal = terms[swapped ? 1 : 0];
  vertical = terms[swapped ? 0 : 1];
  return !isKeyword(horizontal, u"top bottom") && !isKeyword(vertical, u"left right");
}

Expansion expandBackgroundPosition(const Shorthand& s, const Terms& terms) {
  for (const EKValue& v : terms)
    if (!accepts(Term::POSITION, v))
      return invalid();
  Terms pair(2);
  if (!positionPair(terms, pair[0], pair[1]))
    return invalid();
  return mapOf(s.longhands, pair);
}

Expansion expandParts(const Shorthand& s, const Terms& terms) {
  const std::vector<Term>& kinds = s.row->parts;
  Terms parts(kinds.size());
  Terms positions;
  for (const EKValue& v : terms) {
    bool placed = false;
    for (size_t i = 0; i < kinds.size() && !placed; ++i) {
      if (!accepts(kinds[i], v))
        continue;
      if (kinds[i] == Term::POSITION) {
        positions.push_back(v);
        placed = true;
      } else if (parts[i].isNull()) {
        parts[i] = v;
        placed = true;
      } else if (isRepeatable(kinds[i])) {
        parts[i].makeArray();
        parts[i].addItem(v);
        placed = true;
      }
    }
    if (!placed)
      return s.row->unknownAsWritten ? Expansion() : invalid();
  }
  if (!positions.empty()) {
    // The two position parts follow each other: horizontal, then vertical.
    size_t first = 0;
    while (kinds[first] != Term::POSITION)
      ++first;
    if (!positionPair(positions, parts[first], parts[first + 1]))
      return invalid();
  }
  Terms values;
  for (size_t j = 0; j < s.longhands.size(); ++j)
    values.push_back(parts[j % kinds.size()]);
  return mapOf(s.longhands, values);
}

Expansion expandPair(const Shorthand& s, const Terms& terms) {
  if (terms.size() == 1)
    return mapOf(s.longhands, {terms[0], terms[0]});
  if (terms.size() == 2)
    return mapOf(s.longhands, terms);
  return invalid();
}

Expansion expandSize(const Shorthand& s, const Terms& terms) {
  for (const EKValue& v : terms)
    if (!isNonNegativeLength(v))
      return Expansion();
  return expandPair(s, terms);
}

// The families after the font size: comma-separated, each a string or names joined by spaces.
bool fontFamilies(const Terms& terms, size_t from, EKValue& out) {
  Terms families;
  UnicodeString words;
  bool quoted = false;
  for (size_t i = from; i <= terms.size(); ++i) {
    if (i == terms.size() || isCharacter(terms[i], u',')) {
      if (words.isEmpty() && !quoted)
        return false;
      if (!quoted)
        families.push_back(EKValue(EKName(words)));
      words.remove();
      quoted = false;
      continue;
    }
    const EKValue& v = terms[i];
    if (v.isLiteralString() && words.isEmpty() && !quoted) {
      families.push_back(v);
      quoted = true;
    } else if (v.isName() && !quoted) {
      if (!words.isEmpty())
        words.append(u' ');
      words.append(v.getNameValue().toString());
    } else {
      return false;
    }
  }
  out = families[0];
  if (families.size() > 1) {
    out.makeArray();
    for (size_t i = 1; i < families.size(); ++i)
      out.addItem(families[i]);
  }
  return true;
}

Expansion expandFont(const Shorthand& s, const Terms& terms) {
  if (terms.size() == 1 && terms[0].isUnknownString() &&
      terms[0].getStringValue().startsWith(UnicodeString(u"system-font(")))
    return mapOf(s.longhands, Terms(s.longhands.size(), terms[0]));
  // Indices into the longhands: style, variant, weight, size, line-height, size-adjust, stretch, family.
  Terms values(8);
  size_t i = 0;
  for (int leading = 0; i < terms.size() && leading < 4; ++i, ++leading) {
    const EKValue& v = terms[i];
    size_t slot;
    if (isKeyword(v, u"normal"))
      continue;
    if (isKeyword(v, u"italic oblique"))
      slot = 0;
    else if (isKeyword(v, u"small-caps"))
      slot = 1;
    else if (isKeyword(v, u"bold bolder lighter") ||
             (v.isNumber() && v.getRealValue() >= 1 && v.getRealValue() <= 1000))
      slot = 2;
    else if (isKeyword(v, u"ultra-condensed extra-condensed condensed semi-condensed semi-expanded expanded "
                          u"extra-expanded ultra-expanded"))
      slot = 6;
    else
      break;
    if (!values[slot].isNull())
      return invalid();
    values[slot] = v;
  }
  if (i >= terms.size() ||
      !(isNonNegativeLength(terms[i]) ||
        isKeyword(terms[i], u"xx-small x-small small medium large x-large xx-large larger smaller")))
    return invalid();
  values[3] = terms[i++];
  if (i < terms.size() && isCharacter(terms[i], u'/')) {
    if (++i >= terms.size() ||
        !(isNonNegativeLength(terms[i]) || terms[i].isNumber() || isKeyword(terms[i], u"normal")))
      return invalid();
    values[4] = terms[i++];
  }
  if (i >= terms.size() || !fontFamilies(terms, i, values[7]))
    return invalid();
  return mapOf(s.longhands, values);
}

Expansion expandLang(const Shorthand& s, const Terms& terms) {
  if (terms.size() != 1 || !(terms[0].isName() || terms[0].isLiteralString()))
    return invalid();
  const UnicodeString text = terms[0].getStringValue();
  int32_t cut = text.indexOf(u'-');
  if (cut < 0)
    cut = text.indexOf(u'_');
  if (cut == 0 || text.isEmpty())
    return invalid();
  if (cut < 0)
    return mapOf(s.longhands, {EKValue(EKName(text))});
  return mapOf(s.longhands,
               {EKValue(EKName(UnicodeString(text, 0, cut))), EKValue(EKName(UnicodeString(text, cut + 1)))});
}

Expansion expandKeywords(const Shorthand& s, const Terms& terms) {
  const Row& row = *s.row;
  if (terms.size() == 1 && terms[0].isName()) {
    const UnicodeString word = terms[0].getNameValue().toLowerString();
    for (const KeywordRow& keyword : row.keywords) {
      if (word != UnicodeString(keyword.keyword))
        continue;
      Expansion e;
      e.map = new EKNamedValueMap();
      for (const auto& set : keyword.sets)
        e.map->setNamedItem(nameOf(set.first), EKValue(nameOf(set.second)));
      return e;
    }
  }
  return row.unknownAsWritten ? Expansion() : invalid();
}

// A length or percentage shifts the baseline; keywords as the table says.
Expansion expandVerticalAlign(const Shorthand& s, const Terms& terms) {
  if (terms.size() == 1 && isLength(terms[0])) {
    Expansion e;
    e.map = new EKNamedValueMap();
    e.map->setNamedItem(nameOf(u"baseline-shift"), terms[0]);
    return e;
  }
  return expandKeywords(s, terms);
}

Expansion expandBorderSpacing(const Terms& terms) {
  if (terms.empty() || terms.size() > 2)
    return invalid();
  for (const EKValue& v : terms)
    if (!isNonNegativeLength(v))
      return invalid();
  return Expansion();
}

} // namespace

const std::vector<EKName>* EKCssShorthands::longhands(EKName name) {
  const auto& map = shorthands();
  const auto found = map.find(name);
  return found == map.end() ? nullptr : &found->second.longhands;
}

EKCssShorthands::Expansion EKCssShorthands::expand(EKName name, const UnicodeString& valueText) {
  const auto& map = shorthands();
  const auto found = map.find(name);
  if (found == map.end())
    return Expansion();
  const Shorthand& s = found->second;
  const Grammar grammar = s.row->grammar;
  if (grammar == Grammar::AS_WRITTEN)
    return Expansion();
  Terms terms;
  EKCssParser::decomposeExpression(valueText, terms);
  if (terms.empty())
    return invalid();
  if (terms.size() == 1 && !s.longhands.empty() && EKName::isInheritEtc(terms[0].getLowerNameValue()))
    return mapOf(s.longhands, Terms(s.longhands.size(), terms[0]));
  switch (grammar) {
  case Grammar::BOX: return expandBox(s, terms, false);
  case Grammar::BOX_NON_NEGATIVE: return expandBox(s, terms, true);
  case Grammar::BORDER_RADIUS: return expandBorderRadius(s, terms);
  case Grammar::PARTS: return expandParts(s, terms);
  case Grammar::BACKGROUND_POSITION: return expandBackgroundPosition(s, terms);
  case Grammar::PAIR: return expandPair(s, terms);
  case Grammar::SIZE: return expandSize(s, terms);
  case Grammar::FONT: return expandFont(s, terms);
  case Grammar::LANG: return expandLang(s, terms);
  case Grammar::KEYWORDS: return expandKeywords(s, terms);
  case Grammar::VERTICAL_ALIGN: return expandVerticalAlign(s, terms);
  case Grammar::BORDER_SPACING: return expandBorderSpacing(terms);
  case Grammar::AS_WRITTEN: break;
  }
  return Expansion();
}

} // namespace EKCommonNS
