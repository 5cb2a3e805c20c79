# Animated picture, balloon tip and notification pop-up, with the GIF block parser and the GBK
# length helper they share with the rest of the program.
target_sources(kestrum_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/GbkLength.cpp ${CMAKE_CURRENT_LIST_DIR}/GbkLength.h
    ${CMAKE_CURRENT_LIST_DIR}/GifBlocks.cpp ${CMAKE_CURRENT_LIST_DIR}/GifBlocks.h
)
target_sources(kestrum_controls PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BalloonTip.cpp ${CMAKE_CURRENT_LIST_DIR}/BalloonTip.h
    ${CMAKE_CURRENT_LIST_DIR}/GifPicture.cpp ${CMAKE_CURRENT_LIST_DIR}/GifPicture.h
    ${CMAKE_CURRENT_LIST_DIR}/NotifyWnd.cpp ${CMAKE_CURRENT_LIST_DIR}/NotifyWnd.h
)

# Made by tools/make-artwork.py; the files are committed and the build only packs them.
qt_add_resources(kestrum_controls "controls_art" PREFIX "/art" BASE ${CMAKE_SOURCE_DIR}/res FILES
    ${CMAKE_SOURCE_DIR}/res/art/167.gif
    ${CMAKE_SOURCE_DIR}/res/art/172.gif
    ${CMAKE_SOURCE_DIR}/res/art/184.gif
    ${CMAKE_SOURCE_DIR}/res/art/229.gif
    ${CMAKE_SOURCE_DIR}/res/art/191.png
    ${CMAKE_SOURCE_DIR}/res/art/192.png
    ${CMAKE_SOURCE_DIR}/res/art/196.png
    ${CMAKE_SOURCE_DIR}/res/art/197.png
)
