kestrum_add_test(tst_plannerdlg SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_plannerdlg.cpp)
