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
# libFuzzer needs thousands of runs a second to search well, which the
# unoptimised Debug code under the sanitizers does not give; the sanitizers
# and assertions stay.
if(KESTRUM_FUZZ)
  target_compile_options(kestrum_options INTERFACE -O1)
endif()
