# Checks the rules of cmake/VireoRules.cmake over the tree at ROOT, in script mode:
#   cmake -DROOT=path -P cmake/check_rules.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/VireoRules.cmake)
vireo_check_rules("${ROOT}")
