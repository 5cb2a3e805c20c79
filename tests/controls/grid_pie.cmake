kestrum_add_test(tst_gridctrl SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_gridctrl.cpp)
kestrum_add_test(tst_piechartctrl SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_piechartctrl.cpp)
