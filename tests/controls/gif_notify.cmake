# Animated picture, balloon tip, notification pop-up and the GIF block parser.
kestrum_add_test(tst_gifblocks SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_gifblocks.cpp ${CMAKE_CURRENT_LIST_DIR}/GifBuilder.h)
kestrum_add_test(tst_gifpicture SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_gifpicture.cpp ${CMAKE_CURRENT_LIST_DIR}/GifBuilder.h)
target_compile_definitions(tst_gifpicture PRIVATE KESTRUM_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
kestrum_add_test(tst_gbklength SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_gbklength.cpp)
kestrum_add_test(tst_balloontip SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_balloontip.cpp)
kestrum_add_test(tst_notifywnd SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_notifywnd.cpp)

# Shows the pop-up and a balloon tip on a real display and saves pictures of them, for a
# look by eye (run it under xvfb-run). Not a test.
add_executable(gif_notify_demo ${CMAKE_CURRENT_LIST_DIR}/gif_notify_demo.cpp)
target_link_libraries(gif_notify_demo PRIVATE kestrum_controls)
target_compile_definitions(gif_notify_demo PRIVATE KESTRUM_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
kestrum_set_warnings(gif_notify_demo)
