# The Windows side, built and run on Linux: a second configure, with the
# mingw-w64 toolchain, builds what needs no Qt (tests/windows/); tests run it
# under Wine in a private prefix made once per test run; every version
# resource of the programs is compiled. All of it is labelled "windows".
find_program(TVD_WINE wine REQUIRED)
find_program(TVD_WINEBOOT wineboot REQUIRED)
find_program(TVD_WINESERVER wineserver REQUIRED)
find_program(TVD_WINDRES x86_64-w64-mingw32-windres REQUIRED)

include(ExternalProject)
ExternalProject_Add(tvd_windows
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/tests/windows
    BINARY_DIR ${CMAKE_BINARY_DIR}/windows
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
               -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
)
set(TVD_WINDOWS_PROGRAM_DIR ${CMAKE_BINARY_DIR}/windows/bin)

set(TVD_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine)
foreach(mode IN ITEMS make stop)
    add_test(NAME wine_prefix_${mode}
             COMMAND ${CMAKE_COMMAND} -DMODE=${mode} -DPREFIX=${TVD_WINE_PREFIX}
                     -DWINEBOOT=${TVD_WINEBOOT} -DWINESERVER=${TVD_WINESERVER}
                     -P ${PROJECT_SOURCE_DIR}/cmake/TvdWinePrefix.cmake)
    set_tests_properties(wine_prefix_${mode} PROPERTIES LABELS windows)
endforeach()
set_tests_properties(wine_prefix_make PROPERTIES FIXTURES_SETUP wine_prefix)
set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine_prefix)

# tvd_use_wine(TEST): a test that runs programs of the Windows build under
# Wine (through WineProcess of tests/support).
function(tvd_use_wine name)
    add_dependencies(${name} tvd_windows)
    target_link_libraries(${name} PRIVATE tvd_winesupport)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_prefix LABELS windows)
endfunction()

file(GLOB_RECURSE TVD_RESOURCE_SCRIPTS CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/tools/*.rc ${PROJECT_SOURCE_DIR}/daemon/*.rc)
foreach(script IN LISTS TVD_RESOURCE_SCRIPTS)
    file(RELATIVE_PATH name ${PROJECT_SOURCE_DIR} ${script})
    string(MAKE_C_IDENTIFIER "${name}" id)
    get_filename_component(folder ${script} DIRECTORY)
    add_test(NAME windres_${id}
             COMMAND ${TVD_WINDRES} -i ${script} -O coff -o ${CMAKE_CURRENT_BINARY_DIR}/${id}.res
             WORKING_DIRECTORY ${folder})
    set_tests_properties(windres_${id} PROPERTIES LABELS windows)
endforeach()
