# The main window's dialogs: adding a task, changing its state, the school calendar, the about box.
kestrum_add_test(tst_taskdialogs SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_taskdialogs.cpp ${CMAKE_CURRENT_LIST_DIR}/DialogFixture.h)
kestrum_add_test(tst_schoolcalendardlg SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_schoolcalendardlg.cpp ${CMAKE_CURRENT_LIST_DIR}/DialogFixture.h)
kestrum_add_test(tst_aboutdlg SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_aboutdlg.cpp ${CMAKE_CURRENT_LIST_DIR}/DialogFixture.h)

# Opens each dialog and saves a picture of it, for a look by eye (offscreen or under
# xvfb-run). Not a test.
add_executable(dialogs_demo ${CMAKE_CURRENT_LIST_DIR}/dialogs_demo.cpp)
target_link_libraries(dialogs_demo PRIVATE kestrum_ui Qt6::Test)
kestrum_set_warnings(dialogs_demo)
