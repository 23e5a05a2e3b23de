# Tests run under Wine: every test program goes through the wine-run
# wrapper, and a ctest fixture brings up the session (prefix, Xvfb display,
# persistent wineserver) once for the whole run.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(KESTREL_WINEARCH win64)
    set(KESTREL_WINE_LOADER /usr/lib/wine/wine64)
    set(KESTREL_WINESERVER /usr/lib/wine/wineserver64)
else()
    set(KESTREL_WINEARCH win32)
    set(KESTREL_WINE_LOADER /usr/lib/wine/wine)
    set(KESTREL_WINESERVER /usr/lib/wine/wineserver32)
    if(NOT EXISTS ${KESTREL_WINESERVER})
        set(KESTREL_WINESERVER /usr/lib/wine/wineserver64)
    endif()
endif()
configure_file(${CMAKE_SOURCE_DIR}/tests/harness/wine-env.sh.in ${CMAKE_BINARY_DIR}/wine-env.sh @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/tests/harness/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(KESTREL_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
if(CMAKE_CROSSCOMPILING)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTREL_WINE_RUN})
endif()

set(KESTREL_TEST_TIMEOUT 300 CACHE STRING "Seconds a test program may run")

function(kestrel_wine_session_tests)
    add_test(NAME wine_session_start
        COMMAND sh ${CMAKE_SOURCE_DIR}/tests/harness/wine-session.sh start ${CMAKE_BINARY_DIR})
    add_test(NAME wine_session_stop
        COMMAND sh ${CMAKE_SOURCE_DIR}/tests/harness/wine-session.sh stop ${CMAKE_BINARY_DIR})
    set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 120)
    set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)
endfunction()

# kestrel_add_test(NAME <name> SOURCES ... [LIBS ...] [LOCKS ...] [LABELS ...]
#                  [DRIVER <script>])
# A GoogleTest program run as one test under Wine. LOCKS names ctest
# resource locks for tests that must not overlap (the global instance
# event, Tarnwick's windows, fixed ports). A DRIVER is a shell script that
# prepares what the program needs on the Linux side (servers, generated
# files), runs it as `sh DRIVER WINE_RUN PROGRAM BUILD_DIR` and cleans up.
function(kestrel_add_test)
    cmake_parse_arguments(T "" "NAME;DRIVER" "SOURCES;LIBS;LOCKS;LABELS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    kestrel_warnings(${T_NAME})
    target_link_libraries(${T_NAME} PRIVATE kestrel_test_support ${T_LIBS} GTest::gtest_main)
    add_dependencies(${T_NAME} kestrel_test_programs)
    if(T_DRIVER)
        add_test(NAME ${T_NAME} COMMAND sh ${T_DRIVER} ${KESTREL_WINE_RUN}
            $<TARGET_FILE:${T_NAME}> ${CMAKE_BINARY_DIR})
    else()
        add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT ${KESTREL_TEST_TIMEOUT})
    if(T_LOCKS)
        set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
    endif()
    if(T_LABELS)
        set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()
