# tvd_add_test(NAME SOURCES src... LIBS lib... [PROCESS_NAMES])
# One QtTest executable registered with CTest. Test executables stay out of the
# program folder, which holds the programs only. PROCESS_NAMES marks a test
# that starts processes the programs count machine-wide by name ("tvdmon.exe",
# "TVDMAN.exe", "tvdmquit.exe", "tvmccfr.exe"): such tests never run together.
function(tvd_add_test name)
    cmake_parse_arguments(ARG "PROCESS_NAMES" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test tvd_testsupport ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    if(ARG_PROCESS_NAMES)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK tvd_process_names)
    endif()
endfunction()
