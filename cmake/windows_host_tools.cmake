# The build tools the Windows build runs on the build machine, besides the asset generator: the menu bar
# written as a resource script, and the icon file packed from the icon's pictures.
add_executable(tundrix_menu_script ${PROJECT_SOURCE_DIR}/shell/win32/menu_script.cpp)
target_link_libraries(tundrix_menu_script PRIVATE tundrix_shell)
add_executable(tundrix_icon_file ${PROJECT_SOURCE_DIR}/shell/win32/icon_file.cpp)
