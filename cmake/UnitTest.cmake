# add_unit_test(<name> SOURCES <files...> LIBS <targets...> [GUI])
# One executable per test file group, registered with ctest. GUI tests get a main that
# creates a QApplication on the offscreen platform; the others use GoogleTest's own main.
function(add_unit_test name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_GUI)
    target_link_libraries(${name} PRIVATE testsupport_gui)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE testsupport GTest::gtest GTest::gmock ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 120
                       ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
