# Helpers shared by the program's build and the fuzzing build.

# The project's compile settings, carried by one interface target: the
# warnings, which VOSTREL_WERROR turns into errors (on in the test command;
# off by default, since other compilers warn about other things).
option(VOSTREL_WERROR "Treat the project's warnings as errors" OFF)
if(NOT TARGET vostrel_settings)
  add_library(vostrel_settings INTERFACE)
  target_compile_options(vostrel_settings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual>
    $<$<BOOL:${VOSTREL_WERROR}>:-Werror>)
endif()
# Gives a target of our own the project's settings.
function(vostrel_target_warnings target)
  target_link_libraries(${target} PRIVATE vostrel_settings)
endfunction()

# Qt's string-safety checks, for the program's own libraries: every
# conversion between QString and 8-bit text names its encoding, since the
# register holds Chinese text. Tests and tools compare with plain literals
# throughout and are left without them.
if(NOT TARGET vostrel_strict_strings)
  add_library(vostrel_strict_strings INTERFACE)
  target_compile_definitions(vostrel_strict_strings INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
endif()
function(vostrel_program_library target)
  vostrel_target_warnings(${target})
  target_link_libraries(${target} PRIVATE vostrel_strict_strings)
endfunction()

# vostrel_public_headers(<target> <prefix> <header>...)
# Makes the headers includable as "<prefix>/<name>.h" by <target> and by what
# links it, and nothing else of src/: each library's include folder holds
# links to its own headers only, so a layer below cannot include a layer
# above (its include path does not reach it).
function(vostrel_public_headers target prefix)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root}/${prefix})
  file(MAKE_DIRECTORY ${root}/${prefix})
  foreach(header ${ARGN})
    get_filename_component(name ${header} NAME)
    get_filename_component(path ${header} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    file(CREATE_LINK ${path} ${root}/${prefix}/${name} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
  target_sources(${target} PRIVATE ${ARGN})
endfunction()
