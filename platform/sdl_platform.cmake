# The SDL side of the platform: the window with its ImGui layer, the keys, the gamepads and the clock.
find_package(SDL2 CONFIG REQUIRED)
find_package(X11 REQUIRED)
pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui)

# Debian ships ImGui's SDL backends only as example sources; they are compiled into the game.
set(TUNDRIX_IMGUI_BACKENDS /usr/share/doc/libimgui-dev/examples/backends CACHE PATH
    "Folder holding imgui_impl_sdl.cpp and imgui_impl_sdlrenderer.cpp")
foreach(_backend imgui_impl_sdl.cpp imgui_impl_sdlrenderer.cpp)
  if(NOT EXISTS ${TUNDRIX_IMGUI_BACKENDS}/${_backend})
    message(FATAL_ERROR "ImGui's SDL backend ${_backend} was not found in ${TUNDRIX_IMGUI_BACKENDS}. "
                        "Install libimgui-dev (bash tools/deps.sh) or set TUNDRIX_IMGUI_BACKENDS.")
  endif()
endforeach()

add_library(tundrix_imgui_sdl STATIC
  ${TUNDRIX_IMGUI_BACKENDS}/imgui_impl_sdl.cpp
  ${TUNDRIX_IMGUI_BACKENDS}/imgui_impl_sdlrenderer.cpp)
target_include_directories(tundrix_imgui_sdl PUBLIC /usr/include/imgui/backends)
target_link_libraries(tundrix_imgui_sdl PUBLIC PkgConfig::IMGUI SDL2::SDL2)

# The fonts of the ImGui layer and their check (no SDL), apart so the tests and the build's font check can
# load them without a window.
add_library(tundrix_imgui_fonts STATIC ${CMAKE_CURRENT_LIST_DIR}/imgui_fonts.cpp
            ${CMAKE_CURRENT_LIST_DIR}/truetype_check.cpp)
target_link_libraries(tundrix_imgui_fonts PUBLIC tundrix_seam PkgConfig::IMGUI)

add_library(tundrix_sdl_platform STATIC
  ${CMAKE_CURRENT_LIST_DIR}/sdl_video.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_renderer_choice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_keys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_gamepad.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_window_icon.cpp)
target_link_libraries(tundrix_sdl_platform PUBLIC tundrix_seam tundrix_imgui_fonts tundrix_imgui_sdl SDL2::SDL2
                      PRIVATE X11::X11)
