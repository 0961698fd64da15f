# Dialogs before the game starts: a platform-free model of the controls and
# an SDL window that draws it in the engine font.
target_sources(karsk_engine PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DialogModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogWindow.cpp
)
