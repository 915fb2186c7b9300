# Warnings and Qt strictness for every target of the project.
function(scrivlane_target_options target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  endif()
  target_compile_definitions(${target} PRIVATE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
endfunction()

# A program the package installs: all its relocations resolved at start-up and
# then made read-only (Debian's hardening, "bindnow").
function(scrivlane_installed_program target)
  if(NOT MSVC AND NOT APPLE)
    target_link_options(${target} PRIVATE LINKER:-z,relro,-z,now)
  endif()
endfunction()

# One test executable per unit, run offscreen in its own home and runtime folder
# so that no test reads or writes the real user's settings.
function(scrivlane_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  # Tests keep the warnings but may write string literals plainly.
  if(MSVC)
    target_compile_options(${name} PRIVATE /W4)
  else()
    target_compile_options(${name} PRIVATE -Wall -Wextra -Wpedantic)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set(home "${CMAKE_BINARY_DIR}/test-home/${name}")
  file(MAKE_DIRECTORY "${home}/runtime")
  file(CHMOD "${home}/runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  set_tests_properties(${name} PROPERTIES
    TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${home};XDG_RUNTIME_DIR=${home}/runtime;XDG_CONFIG_HOME=${home}/config;XDG_DATA_HOME=${home}/data;LC_ALL=C.UTF-8")
endfunction()
