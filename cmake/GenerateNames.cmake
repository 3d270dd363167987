# Generates the built-in name table from the vocabulary data file (one name per line, line n is
# name number n): a header with one EKNameEnum constant per name and an include file with the
# string literals in number order, each wrapped in EKCOMMON_BUILTIN_NAME for the includer to define.
#   cmake -DINPUT=builtin-names.txt -DHEADER=EKNameEnum.h -DTABLE=BuiltinNames.inc -P GenerateNames.cmake
file(STRINGS "${INPUT}" names ENCODING UTF-8)
list(LENGTH names count)

set(enum "")
set(table "")
set(number 0)
foreach(name IN LISTS names)
  math(EXPR number "${number} + 1")
  if(name MATCHES "[\"\\\\]" OR NOT name MATCHES "^[ -~]+$")
    message(FATAL_ERROR "name ${number} is not plain printable ASCII: '${name}'")
  endif()
  # Runs of punctuation become one underscore; a name of punctuation only ("*", "--") and a
  # name that mangles to an earlier name's identifier carry their number instead.
  string(REGEX REPLACE "[^A-Za-z0-9]+" "_" ident "${name}")
  string(REGEX REPLACE "^_|_$" "" ident "${ident}")
  if(ident STREQUAL "")
    set(ident "EKN_n${number}")
  else()
    set(ident "EKN_${ident}")
    if(DEFINED seen_${ident})
      set(ident "${ident}_n${number}")
    endif()
  endif()
  set(seen_${ident} 1)
  string(APPEND enum "  ${ident} = ${number},\n")
  string(APPEND table "EKCOMMON_BUILTIN_NAME(u\"${name}\")\n")
endforeach()

file(WRITE "${HEADER}.tmp" "// Generated from ekcommon/names/builtin-names.txt; do not edit.
#pragma once
#include <cstdint>

namespace EKCommonNS {

// Numbers of interned names. 0 is the empty name, 1 to ${count} the built-in vocabulary;
// names interned at run time take the numbers after it.
enum EKNameEnum : int32_t {
  EKN_EMPTY = 0,
${enum}  EKN_BUILTIN_LAST = ${count},
  EKN_FIRST_RUNTIME = ${count} + 1
};

} // namespace EKCommonNS
")
file(WRITE "${TABLE}.tmp" "// Generated from ekcommon/names/builtin-names.txt; do not edit.\n${table}")
# Only touch the outputs when they change, so that a reconfigure does not rebuild everything.
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${HEADER}.tmp" "${HEADER}")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${TABLE}.tmp" "${TABLE}")
file(REMOVE "${HEADER}.tmp" "${TABLE}.tmp")
