# The desktop entry and its icon, installed beside the game for menus and
# launchers. Included from data/CMakeLists.txt, so that the icon's command can
# depend on the art it is drawn from. The icon is the start-up dialog's own
# (dialog/icon.bmp, 32x32) with magenta made see-through, and enlarged pixel
# for pixel for bigger menus; it is written outside KARSK_DATA_DIR, which
# holds only what the game loads.
set(KARSK_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
set(icon_outputs)
foreach(scale 1 2 4 8)
  math(EXPR size "32 * ${scale}")
  set(icon ${KARSK_ICON_DIR}/${size}x${size}/apps/karsk.png)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND karsk-topng ${KARSK_DATA_DIR}/dialog/icon.bmp ${icon} --scale ${scale} --transparent
    DEPENDS karsk-topng ${KARSK_DATA_DIR}/sprite.def
    COMMENT "Drawing the ${size}x${size} desktop icon"
    VERBATIM)
  list(APPEND icon_outputs ${icon})
  install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(karsk_icons ALL DEPENDS ${icon_outputs})
# The art's command belongs to karsk_data; running it first keeps this target
# from running it a second time at once.
add_dependencies(karsk_icons karsk_data)

install(FILES ${CMAKE_CURRENT_LIST_DIR}/karsk.desktop DESTINATION share/applications)
