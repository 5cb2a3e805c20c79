# Grid (with its printing) and pie chart controls.
target_sources(kestrum_controls PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/GridCell.h
    ${CMAKE_CURRENT_LIST_DIR}/GridCtrl.cpp ${CMAKE_CURRENT_LIST_DIR}/GridCtrl.h
    ${CMAKE_CURRENT_LIST_DIR}/GridItems.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GridDelegate.cpp ${CMAKE_CURRENT_LIST_DIR}/GridDelegate.h
    ${CMAKE_CURRENT_LIST_DIR}/GridModel.cpp ${CMAKE_CURRENT_LIST_DIR}/GridModel.h
    ${CMAKE_CURRENT_LIST_DIR}/GridPrinter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PieChartCtrl.cpp ${CMAKE_CURRENT_LIST_DIR}/PieChartCtrl.h
)
