# The Windows build's tests: GoogleTest built from Debian's sources, and the
# programs run through Wine in a prefix of the build's own, made once per
# test run by the fixture below so that no test pays for its creation.

set(KESTRUM_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian's libgtest-dev)")
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${KESTRUM_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# (its own CMake file names the targets GTest::gtest and GTest::gtest_main)

set(KESTRUM_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(KESTRUM_WINE_ENVIRONMENT "WINEPREFIX=${KESTRUM_WINEPREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")

add_test(NAME wine_prefix COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh ${KESTRUM_WINEPREFIX})
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${KESTRUM_WINE_ENVIRONMENT}" TIMEOUT 180)
# Ends the prefix's Wine server, if still running, so that no process
# outlives the run.
add_test(NAME wine_server_end COMMAND bash -c "wineserver -k 2>/dev/null; true")
set_tests_properties(wine_server_end PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT "${KESTRUM_WINE_ENVIRONMENT}")

# A test program under Wine in the prepared prefix. ctest puts the emulator
# in front of a target's command itself.
function(kestrum_add_wine_test target)
  cmake_parse_arguments(ARG "" "" "ENVIRONMENT" ${ARGN})
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300
                       ENVIRONMENT "${KESTRUM_WINE_ENVIRONMENT};${ARG_ENVIRONMENT}")
endfunction()
