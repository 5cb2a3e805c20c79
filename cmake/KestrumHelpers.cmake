# Shared build settings for every Kestrum target.

function(kestrum_set_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /utf-8)
        if(KESTRUM_WERROR)
            target_compile_options(${target} PRIVATE /WX)
        endif()
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Wold-style-cast)
        if(KESTRUM_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    endif()
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
                                                 QT_NO_URL_CAST_FROM_STRING QT_USE_QSTRINGBUILDER)
endfunction()

# kestrum_add_test(NAME [CORE] SOURCES a.cpp ... [LIBS ...] [WRAPPER command ...])
# One QtTest executable registered with CTest. A CORE test links only kestrum_core and its
# doubles, never the widgets. A WRAPPER command runs the test (as its last argument). Every test runs on the offscreen platform
# with its own runtime and config folders, so it never needs a display and never meets a
# running copy of the program.
function(kestrum_add_test name)
    cmake_parse_arguments(ARG "CORE" "" "SOURCES;LIBS;WRAPPER" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_CORE)
        target_link_libraries(${name} PRIVATE kestrum_test_core Qt6::Test ${ARG_LIBS})
    else()
        target_link_libraries(${name} PRIVATE kestrum_test_support Qt6::Test ${ARG_LIBS})
    endif()
    kestrum_set_warnings(${name})
    # The program's modules are loaded from beside the test, as from beside the program.
    add_dependencies(${name} kestrum_sound kestrum_network)
    if(ARG_WRAPPER)
        add_test(NAME ${name} COMMAND ${ARG_WRAPPER} $<TARGET_FILE:${name}>)
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
    set(scratch ${CMAKE_BINARY_DIR}/test-scratch/${name})
    file(MAKE_DIRECTORY ${scratch}/runtime ${scratch}/config ${scratch}/data)
    set_tests_properties(${name} PROPERTIES
        TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${scratch}/runtime;XDG_CONFIG_HOME=${scratch}/config;XDG_DATA_HOME=${scratch}/data;QT_LOGGING_RULES=qt.multimedia*=false")
endfunction()
