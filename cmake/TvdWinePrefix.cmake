# cmake -DMODE=make|stop -DPREFIX=... -DWINEBOOT=... -DWINESERVER=... -P TvdWinePrefix.cmake
# Makes the Wine prefix of a test run afresh, or stops every Wine process of it.
# No display is used, and Wine neither fetches its .NET and HTML engines nor
# writes menu entries for the user.
set(ENV{WINEPREFIX} "${PREFIX}")
set(ENV{WINEDEBUG} "-all")
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=;winemenubuilder.exe=d")
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})

# "wineserver -k" also ends with 1 when nothing runs in the prefix, which is
# fine; "-w" then waits until the server has gone.
execute_process(COMMAND ${WINESERVER} -k OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND ${WINESERVER} -w)

if(MODE STREQUAL "make")
    file(REMOVE_RECURSE "${PREFIX}")
    execute_process(COMMAND ${WINEBOOT} -i RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "wineboot -i failed: ${result}")
    endif()
elseif(NOT MODE STREQUAL "stop")
    message(FATAL_ERROR "MODE is make or stop, not \"${MODE}\"")
endif()
