// The shorthand properties that applying a declaration expands: each shorthand's longhands, and
// the value grammar that turns its value text into a map from longhand to value. Not installed.
//
// What each grammar recognises (a term is one item of EKCssParser::decomposeExpression):
// - every shorthand with longhands: a single CSS-wide keyword (inherit, initial, unset, default)
//   sets each longhand to it;
// - margin, bleed, crop-offset, border-style, border-color: 1 to 4 terms, top/right/bottom/left;
//   padding and border-width the same, a negative number being invalid;
// - border-radius: 1 to 4 non-negative lengths or percentages for the corners top-left,
//   top-right, bottom-right, bottom-left (repeated as for the box sides), optionally "/" and 1 to
//   4 vertical radii, in which case each corner gets the array (horizontal, vertical);
// - border, border-<side>, outline, change-bar, column-rule, text-stroke: a width (non-negative
//   length, thin, medium, thick), a line style and a colour in any order, each at most once
//   ("border" sets all four sides; "column-rule-display" is only reset);
// - columns: a length or auto, then an integer or auto, in any order;
// - text-decoration: line keywords (an array when several), a colour and a line style;
// - text-emphasis: style keywords or a string (an array when several) and a colour;
// - list-style: a type (any other keyword, or a string), inside/outside, an image (url, none, or
//   another function such as a gradient);
// - background: a colour, an image, a repeat keyword, an attachment keyword and up to two
//   position terms (as background-position) in any order;
// - background-position: one or two terms; top/bottom are vertical, left/right horizontal,
//   lengths horizontal then vertical; a missing one is "center";
// - cue, pause, overflow-limit: one term for both longhands or two in order; size: one or two
//   lengths likewise, anything else (auto, page names, orientation) is handed on as written;
// - font: system-font(...) alone sets every longhand to it; otherwise up to four of normal,
//   style, variant, weight and stretch, then the size, optionally "/" line-height, then
//   comma-separated families (quoted, or names joined by spaces; an array when several);
// - lang: one name or string "ll-CC" (or "ll_CC") split into language and country;
// - position, white-space, vertical-align, writing-mode: one keyword from a table (vertical-align
//   also a length or percentage as baseline-shift); position hands unknown values (running(),
//   sticky) on as written;
// - float: float-x keywords (left, right, inside, outside, start, end, none) and float-y keywords
//   (top, bottom); any other value is handed on as written;
// - border-spacing: one or two non-negative lengths, handed on as written; content and
//   string-set are handed on as written.
// Anything else that a grammar does not accept is error 963.
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/names/EKName.h"
#include "ekcommon/values/EKNamedValueMap.h"

#include <vector>

namespace EKCommonNS {

class EKCssShorthands {
public:
  struct Expansion {
    // 0, or the error code (963) when the value does not fit the shorthand's grammar.
    unsigned short error = 0;
    // The longhand values; null (without error) when the value is to be applied as written.
    EKPtr<EKNamedValueMap> map;
  };

  // The longhands of the shorthand `name` (given without vendor prefix) in reset order, possibly
  // none; null when `name` is no shorthand.
  static const std::vector<EKName>* longhands(EKName name);
  // Expands the value text of the shorthand `name`; `name` must be one that longhands() knows.
  static Expansion expand(EKName name, const UnicodeString& valueText);
};

} // namespace EKCommonNS
