# The start-up dialog and the file that remembers its last answer (read with
# inih).
pkg_check_modules(INIH REQUIRED IMPORTED_TARGET inih)
target_sources(karsk_game PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/LaunchDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LaunchDialogRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LaunchDialogStore.cpp
)
target_link_libraries(karsk_game PRIVATE PkgConfig::INIH)

# Pictures of the dialog for the docs (scripts/screenshots.sh).
add_executable(karsk-dialog-shot EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/LaunchDialogShot.cpp)
target_link_libraries(karsk-dialog-shot PRIVATE karsk_game)
add_dependencies(karsk-dialog-shot karsk_data)
