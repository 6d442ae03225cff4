# Logic libraries hold the machine logic in plain C++20 with the standard library only, so that the
# command-line front end, the tests and the fuzzers run exactly the code the windows run.
#
# vireo_logic_library(NAME SOURCES... [LINKS targets...]) declares such a library. Its sources include no
# Qt header (cmake/VireoRules.cmake checks the whole tree), and it links no Qt library (checked below).
function(vireo_logic_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC ${ARG_LINKS})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  set_property(GLOBAL APPEND PROPERTY VIREO_LOGIC_LIBRARIES ${name})
endfunction()

# Once every folder is read: no logic library may link Qt, directly or through another logic library.
function(vireo_check_logic_libraries)
  get_property(logic GLOBAL PROPERTY VIREO_LOGIC_LIBRARIES)
  foreach(lib IN LISTS logic)
    get_target_property(links ${lib} LINK_LIBRARIES)
    foreach(link IN LISTS links)
      if(link MATCHES "^Qt[0-9]*::")
        message(FATAL_ERROR "the logic library ${lib} links ${link}; logic libraries stay free of Qt")
      endif()
    endforeach()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vireo_check_logic_libraries)
