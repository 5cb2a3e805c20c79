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

# Adds every immediate sub-folder in DIRS that has a CMakeLists.txt, so that a subsystem
# joins the build by creating its own folder and nothing else has to be edited.
function(kestrum_add_existing_subdirs)
    foreach(dir IN LISTS ARGN)
        if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()

# kestrum_add_test(NAME SOURCES a.cpp ... [LIBS ...] [GUI])
# One QtTest executable registered with CTest. Every test runs on the offscreen platform
# with its own runtime and config folders, so it never needs a display and never meets a
# running copy of the program.
function(kestrum_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE kestrum_test_support Qt6::Test ${ARG_LIBS})
    kestrum_set_warnings(${name})
    add_test(NAME ${name} COMMAND ${name})
    set(scratch ${CMAKE_BINARY_DIR}/test-scratch/${name})
    file(MAKE_DIRECTORY ${scratch}/runtime ${scratch}/config ${scratch}/data)
    set_tests_properties(${name} PROPERTIES
        TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${scratch}/runtime;XDG_CONFIG_HOME=${scratch}/config;XDG_DATA_HOME=${scratch}/data;QT_LOGGING_RULES=qt.multimedia*=false")
endfunction()
