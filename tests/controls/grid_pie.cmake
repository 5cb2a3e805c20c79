kestrum_add_test(tst_gridctrl SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_gridctrl.cpp)
kestrum_add_test(tst_piechartctrl SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_piechartctrl.cpp)

# Not a test: fills both controls like the program does and saves pictures of them.
add_executable(controls_demo ${CMAKE_CURRENT_LIST_DIR}/controls_demo.cpp)
target_link_libraries(controls_demo PRIVATE kestrum_test_support Qt6::Test)
kestrum_set_warnings(controls_demo)
