# Test helpers shared by every folder.
#   kestra_native_test(name SOURCES ... [LIBS ...])  GoogleTest on the build machine
#   kestra_wine_test(name SOURCES ... [LIBS ...])    GoogleTest cross-built and run under Wine
# Wine tests each run in a throw-away copy of the test-bed prefix (scripts/wine-test.sh).

if(KESTRA_TESTS)
    enable_testing()
    if(WIN32)
        if(NOT TARGET gtest)
            set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
            set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
            add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
            # GoogleTest's own sources are not ours to keep warning-free.
            foreach(t gtest gtest_main gmock gmock_main)
                target_compile_options(${t} PRIVATE -Wno-error)
            endforeach()
        endif()
    else()
        find_package(GTest REQUIRED)
        include(GoogleTest)
    endif()
endif()

function(kestra_native_test name)
    if(NOT KESTRA_TESTS OR WIN32)
        return()
    endif()
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} kestra_core GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

function(kestra_wine_test name)
    if(NOT KESTRA_TESTS OR NOT WIN32 OR NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
        return()
    endif()
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} kestra_core gtest gmock gtest_main)
    add_test(NAME ${name}
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-test.sh $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES
        FIXTURES_REQUIRED testbed_prefix
        TIMEOUT 600
        ENVIRONMENT "KESTRA_PREFIX_TEMPLATE=${CMAKE_BINARY_DIR}/testbed/prefix;KESTRA_BUILD_DIR=${CMAKE_BINARY_DIR};GTEST_OUTPUT=xml:Z:${CMAKE_BINARY_DIR}/gtest-results/")
endfunction()

# A Wine test run once more on a screen of `dpi` dots per inch, for its
# cases that `filter` (a GoogleTest filter) names.
function(kestra_wine_test_at_dpi name dpi filter)
    if(NOT TARGET ${name})
        return()
    endif()
    add_test(NAME ${name}_at_${dpi}_dpi
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-test.sh $<TARGET_FILE:${name}>
                     --gtest_filter=${filter})
    get_test_property(${name} ENVIRONMENT environment)
    set_tests_properties(${name}_at_${dpi}_dpi PROPERTIES
        FIXTURES_REQUIRED testbed_prefix
        TIMEOUT 600
        # A report of its own: the two runs may end at once.
        ENVIRONMENT "${environment};KESTRA_DPI=${dpi};GTEST_OUTPUT=xml:Z:${CMAKE_BINARY_DIR}/gtest-results/${name}_at_${dpi}_dpi.xml")
endfunction()
