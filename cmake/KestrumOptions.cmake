# Compile settings shared by every target of the project, carried by an
# INTERFACE target so that each library and program opts in explicitly.
add_library(kestrum_options INTERFACE)
target_compile_options(kestrum_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                       -Wconversion -Wno-sign-conversion)
if(KESTRUM_WERROR)
  target_compile_options(kestrum_options INTERFACE -Werror)
endif()
target_compile_definitions(kestrum_options INTERFACE QT_NO_KEYWORDS QT_DISABLE_DEPRECATED_BEFORE=0x060400)
if(KESTRUM_SANITIZE)
  target_compile_options(kestrum_options INTERFACE -fsanitize=address,undefined
                         -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(kestrum_options INTERFACE -fsanitize=address,undefined)
  target_sources(kestrum_options INTERFACE ${PROJECT_SOURCE_DIR}/cmake/SanitizerDefaults.cpp)
endif()
# mingw-w64's GCC 12 warns of overlapping copies inside libstdc++'s own
# string code once inlined (GCC bug 105329, a false alarm); with warnings
# as errors it would stop the Windows build.
if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(kestrum_options INTERFACE -Wno-restrict)
endif()
# libFuzzer needs thousands of runs a second to search well, which the
# unoptimised Debug code under the sanitizers does not give; the sanitizers
# and assertions stay.
if(KESTRUM_FUZZ)
  target_compile_options(kestrum_options INTERFACE -O1)
endif()
