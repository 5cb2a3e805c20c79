# The main window's dialogs: adding a task, changing its state, the school calendar, the about box.
kestrum_add_test(tst_taskdialogs SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_taskdialogs.cpp)
