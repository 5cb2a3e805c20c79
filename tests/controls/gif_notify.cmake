# Animated picture, balloon tip, notification pop-up and the GIF block parser.
kestrum_add_test(tst_gifblocks SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_gifblocks.cpp ${CMAKE_CURRENT_LIST_DIR}/GifBuilder.h)
kestrum_add_test(tst_gifpicture SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_gifpicture.cpp ${CMAKE_CURRENT_LIST_DIR}/GifBuilder.h)
target_compile_definitions(tst_gifpicture PRIVATE KESTRUM_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
kestrum_add_test(tst_gbklength SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_gbklength.cpp)
kestrum_add_test(tst_balloontip SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_balloontip.cpp)
kestrum_add_test(tst_notifywnd SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_notifywnd.cpp)
