# add_gtest(NAME LABEL SOURCES... LIBS ...) builds one GoogleTest binary and
# registers it with CTest under the given area label.
function(add_gtest name label)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS ${label})
endfunction()

# add_script_tests(LABEL DIR [ARGS ...]) registers every DIR/*.asm as one test
# that is assembled with mcbasm, run with mcbrun and compared with its
# expectations; its image must also survive mcbdis (disassembled and
# reassembled to the same bytes). ARGS go to tools/scripttest.py.
function(add_script_tests label dir)
  cmake_parse_arguments(S "" "" "ARGS" ${ARGN})
  file(GLOB scripts CONFIGURE_DEPENDS ${dir}/*.asm)
  foreach(script ${scripts})
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME script.${label}.${name}
      COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/scripttest.py ${script}
        --mcbasm $<TARGET_FILE:mcbasm> --mcbrun $<TARGET_FILE:mcbrun> --mcbdis $<TARGET_FILE:mcbdis>
        -I ${PROJECT_SOURCE_DIR}/examples/lib -I ${dir} ${S_ARGS})
    set_tests_properties(script.${label}.${name} PROPERTIES LABELS ${label})
  endforeach()
endfunction()
