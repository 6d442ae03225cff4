# The two rules of the source tree, checked when the build is configured:
#
# 1. Floors. Each folder is a floor, and a source includes headers only from its own floor or from
#    floors below it. Lowest first:
#      base -> settings -> core -> link -> preview -> convert -> manual -> app -> cli, sim
#    `lumen` stands apart: it includes nothing of the system, and only manual and the floors above it
#    include it.
# 2. The machine logic is free of Qt: no source of a floor includes a Qt header, except the windows in a
#    `gui` folder and the `lumen` control.
#
# A source that breaks either rule stops the configure step with a message naming the file and the
# include, instead of a dependency that creeps in unnoticed.

set(VIREO_FLOORS base settings core link preview convert manual app cli sim lumen)
set(VIREO_FLOOR_RANK_base 0)
set(VIREO_FLOOR_RANK_settings 1)
set(VIREO_FLOOR_RANK_core 2)
set(VIREO_FLOOR_RANK_link 3)
set(VIREO_FLOOR_RANK_preview 4)
set(VIREO_FLOOR_RANK_convert 5)
set(VIREO_FLOOR_RANK_manual 6)
set(VIREO_FLOOR_RANK_app 7)
set(VIREO_FLOOR_RANK_cli 8)
set(VIREO_FLOOR_RANK_sim 8)
# lumen may be included from the floor of the position display window upwards.
set(VIREO_FLOOR_RANK_lumen 6)

# Checks one source, `relative` being its path below `root`; the failures are appended to `out_var`.
function(vireo_check_source root relative out_var)
  set(problems "${${out_var}}")
  string(REGEX MATCH "^[^/]+" floor "${relative}")
  file(STRINGS "${root}/${relative}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*" "\\1" header "${line}")
    if(header MATCHES "^(Q[A-Za-z]+|Qt[A-Za-z]*/)" AND NOT relative MATCHES "(^|/)gui/" AND NOT floor STREQUAL "lumen")
      list(APPEND problems "${relative} includes the Qt header <${header}>, but the machine logic stays free of Qt (windows go in a gui folder)")
    endif()
    string(REGEX MATCH "^[^/]+/" target_floor "${header}")
    string(REGEX REPLACE "/$" "" target_floor "${target_floor}")
    if(target_floor STREQUAL "" OR target_floor STREQUAL floor OR NOT target_floor IN_LIST VIREO_FLOORS)
      continue()
    endif()
    set(own ${VIREO_FLOOR_RANK_${floor}})
    set(other ${VIREO_FLOOR_RANK_${target_floor}})
    if(floor STREQUAL "lumen")
      list(APPEND problems "${relative} includes \"${header}\", but lumen includes nothing of the system")
    elseif(other GREATER own OR (other EQUAL own AND NOT target_floor STREQUAL "lumen"))
      list(APPEND problems "${relative} includes \"${header}\" from the floor ${target_floor}, which is not below ${floor}")
    endif()
  endforeach()
  set(${out_var} "${problems}" PARENT_SCOPE)
endfunction()

# Checks every source of every floor below `root` and stops with the list of failures.
function(vireo_check_rules root)
  set(problems "")
  foreach(floor IN LISTS VIREO_FLOORS)
    file(GLOB_RECURSE sources RELATIVE "${root}" "${root}/${floor}/*.h" "${root}/${floor}/*.cpp")
    foreach(relative IN LISTS sources)
      vireo_check_source("${root}" "${relative}" problems)
    endforeach()
  endforeach()
  if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "the source tree breaks its rules:\n  ${text}")
  endif()
endfunction()
