# vardof_add_module(NAME SOURCES ... [LINK ...])
# One static target per engine or window folder; linked into libVardoF and
# into the tests. Includes are rooted at src/, so code writes "db/Statement.h".
function(vardof_add_module name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LINK})
endfunction()

# vardof_add_test(NAME SOURCES ... [LINK ...] [LABELS ...])
# A GoogleTest (or QtTest, when it links Qt6::Test) executable registered with ctest.
# Window tests run offscreen.
function(vardof_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINK;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LINK} vardof_testsupport)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
        TIMEOUT 300)
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
