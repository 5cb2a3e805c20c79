# The dialogs the main window opens: adding a task, changing its state, the school calendar
# and the about box, with their pictures.
target_sources(kestrum_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AddTaskDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/AddTaskDlg.h
    ${CMAKE_CURRENT_LIST_DIR}/TaskStateDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/TaskStateDlg.h
    ${CMAKE_CURRENT_LIST_DIR}/AboutDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/AboutDlg.h
    ${CMAKE_CURRENT_LIST_DIR}/../calendar/SchoolCalendarDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/../calendar/SchoolCalendarDlg.h
)

# Made by tools/make-dialog-art.py; the files are committed and the build only packs them.
qt_add_resources(kestrum_ui "dialog_art" PREFIX "/dialogs" BASE ${CMAKE_SOURCE_DIR}/res/dialogs FILES
    ${CMAKE_SOURCE_DIR}/res/dialogs/144.png
    ${CMAKE_SOURCE_DIR}/res/dialogs/145.png
    ${CMAKE_SOURCE_DIR}/res/dialogs/146.png
    ${CMAKE_SOURCE_DIR}/res/dialogs/147.png
    ${CMAKE_SOURCE_DIR}/res/dialogs/155.png
    ${CMAKE_SOURCE_DIR}/res/dialogs/160.png
    ${CMAKE_SOURCE_DIR}/res/dialogs/162.png
    ${CMAKE_SOURCE_DIR}/res/dialogs/171.png
    ${CMAKE_SOURCE_DIR}/res/dialogs/202.png
    ${CMAKE_SOURCE_DIR}/res/dialogs/203.png
)
