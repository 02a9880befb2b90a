# kr_add_gtest(NAME LABEL <unit|integration|gui> SOURCES a.cpp ... LIBS lib ...)
# One GoogleTest executable, registered with CTest under its label; a test that hangs (a modal window
# nobody closes) fails after five minutes instead of holding up the whole run. Parameterised cases are
# named by index, not by their printed bytes, so the names stay the same from one build to the next.
function(kr_add_gtest name)
  cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name}
    NO_PRETTY_VALUES
    PROPERTIES LABELS ${ARG_LABEL} TIMEOUT 300
    DISCOVERY_TIMEOUT 60)
endfunction()
