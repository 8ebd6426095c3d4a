# Helpers shared by every CMakeLists.txt of the project.

# Adds every direct subdirectory of DIR that has a CMakeLists.txt, in
# alphabetical order, so a new library or test folder needs no edit here.
function(lectern_add_subdirectories DIR)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${DIR}/CMakeLists.txt)
    add_subdirectory(${DIR})
    return()
  endif()
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_SOURCE_DIR}/${DIR} ${CMAKE_SOURCE_DIR}/${DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/${DIR}/${child} AND EXISTS ${CMAKE_SOURCE_DIR}/${DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${DIR}/${child})
    endif()
  endforeach()
endfunction()

# lectern_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
# A QtTest executable registered with CTest. Tests run without a display and
# find the shared corpus (when it exists) through LECTERN_CORPUS.
function(lectern_add_test NAME)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${NAME} ${T_SOURCES})
  set_target_properties(${NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${NAME} PRIVATE Qt6::Test ${T_LIBS})
  add_test(NAME ${NAME} COMMAND ${NAME})
  set_tests_properties(${NAME} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LECTERN_CORPUS=${CMAKE_SOURCE_DIR}/../shared/corpus;LECTERN_TRUTH=${CMAKE_SOURCE_DIR}/../shared/fidelity/truth;LECTERN_PACKAGE=${LECTERN_PACKAGE_DIR};LECTERN_SOURCE=${CMAKE_SOURCE_DIR}"
    TIMEOUT 300)
endfunction()

# lectern_add_bench(NAME SOURCES ... LIBS ...): one benchmark executable,
# run by scripts/bench.
function(lectern_add_bench NAME)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(bench_${NAME} ${B_SOURCES})
  set_target_properties(bench_${NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  target_include_directories(bench_${NAME} PRIVATE ${CMAKE_SOURCE_DIR}/bench)
  target_link_libraries(bench_${NAME} PRIVATE ${B_LIBS})
endfunction()
