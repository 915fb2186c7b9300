# CI turns warnings into errors; a developer's build may keep them as warnings.
option(SCRIVLANE_WERROR "Treat compiler warnings as errors" OFF)

# The warnings every target of the project is built with.
function(scrivlane_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${SCRIVLANE_WERROR}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
                                             $<$<BOOL:${SCRIVLANE_WERROR}>:-Werror>)
  endif()
endfunction()

# Warnings and Qt strictness for every target of the project, and with
# PCH core|widgets the precompiled headers of that kind (cmake/Precompiled.cmake).
function(scrivlane_target_options target)
  cmake_parse_arguments(ARG "" "PCH" "" ${ARGN})
  scrivlane_warnings(${target})
  target_compile_definitions(${target} PRIVATE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
  if(ARG_PCH)
    scrivlane_precompiled(${target} ${ARG_PCH})
  endif()
endfunction()

# A program the package installs: all its relocations resolved at start-up and
# then made read-only (Debian's hardening, "bindnow").
function(scrivlane_installed_program target)
  if(NOT MSVC AND NOT APPLE)
    target_link_options(${target} PRIVATE LINKER:-z,relro,-z,now)
  endif()
endfunction()

# QtTest's own target defines each test's source and build folders as absolute
# paths, so the same test compiled in two checkouts never shares a compiler
# cache entry. No test looks its data up through those folders (QFINDTESTDATA):
# link QtTest without its definitions.
add_library(scrivlane_qttest INTERFACE)
target_link_libraries(scrivlane_qttest INTERFACE $<LINK_ONLY:Qt6::Test> Qt6::Core)
target_include_directories(scrivlane_qttest SYSTEM INTERFACE
                           $<TARGET_PROPERTY:Qt6::Test,INTERFACE_INCLUDE_DIRECTORIES>)
target_compile_definitions(scrivlane_qttest INTERFACE QT_TESTLIB_LIB)

# One test executable per unit, run offscreen in its own home and runtime folder
# so that no test reads or writes the real user's settings. WIDGETS for the
# tests of the windows.
function(scrivlane_add_test name)
  cmake_parse_arguments(ARG "WIDGETS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE scrivlane_qttest ${ARG_LIBS})
  # Tests keep the warnings but may write string literals plainly.
  scrivlane_warnings(${name})
  if(ARG_WIDGETS)
    scrivlane_precompiled(${name} testwidgets)
  else()
    scrivlane_precompiled(${name} test)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set(home "${CMAKE_BINARY_DIR}/test-home/${name}")
  file(MAKE_DIRECTORY "${home}/runtime")
  file(CHMOD "${home}/runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  set_tests_properties(${name} PROPERTIES
    TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${home};XDG_RUNTIME_DIR=${home}/runtime;XDG_CONFIG_HOME=${home}/config;XDG_DATA_HOME=${home}/data;LC_ALL=C.UTF-8")
endfunction()
