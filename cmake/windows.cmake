# The Windows build, cross-compiled with mingw-w64 (cmake/mingw-w64-x86_64.cmake): the game's logic, its
# Win32 side, the program with its resources and packages, and the tests that run under Wine. No SDL,
# ImGui or curl; zlib, libstdc++, libgcc and winpthread are linked in, so the program needs no DLL beyond
# Windows' own.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 _USE_MATH_DEFINES)
add_link_options(-static -static-libgcc -static-libstdc++)
enable_language(RC)

# The tools that run while the Windows build builds (the angle tables' writer, the asset generator, the menu
# script, the icon file) and the native twins the tests compare with come from a native build of the same
# project: one made here, or one given in TUNDRIX_HOST_BUILD that has built them already.
set(TUNDRIX_HOST_BUILD "" CACHE PATH "A native build folder of this project that has built its host tools")
set(_host_targets tundrix_angles tundrix_assetgen tundrix_menu_script tundrix_icon_file tundrix_post_score
    tundrix_same_picture tundrix_replay_digests)
if(TUNDRIX_HOST_BUILD)
  set(TUNDRIX_HOST_DIR ${TUNDRIX_HOST_BUILD})
  add_custom_target(tundrix_host_tools)
else()
  include(ExternalProject)
  set(TUNDRIX_HOST_DIR ${CMAKE_BINARY_DIR}/host)
  set(_byproducts
      ${TUNDRIX_HOST_DIR}/tools/angles/tundrix_angles ${TUNDRIX_HOST_DIR}/tools/assetgen/tundrix_assetgen
      ${TUNDRIX_HOST_DIR}/tundrix_menu_script
      ${TUNDRIX_HOST_DIR}/tundrix_icon_file ${TUNDRIX_HOST_DIR}/tests/browser/tundrix_post_score
      ${TUNDRIX_HOST_DIR}/tests/win32/tundrix_same_picture ${TUNDRIX_HOST_DIR}/tests/win32/tundrix_replay_digests)
  ExternalProject_Add(tundrix_host_tools
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${TUNDRIX_HOST_DIR}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DTUNDRIX_BENCH=OFF -DTUNDRIX_WERROR=${TUNDRIX_WERROR}
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${TUNDRIX_HOST_DIR} --target ${_host_targets}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${_byproducts}
    USES_TERMINAL_BUILD ON)
endif()
function(tundrix_host_tool name path)
  add_executable(${name} IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${TUNDRIX_HOST_DIR}/${path})
  add_dependencies(${name} tundrix_host_tools)
endfunction()
tundrix_host_tool(tundrix_angles tools/angles/tundrix_angles)
tundrix_host_tool(tundrix_assetgen tools/assetgen/tundrix_assetgen)
tundrix_host_tool(tundrix_menu_script tundrix_menu_script)
tundrix_host_tool(tundrix_icon_file tundrix_icon_file)
tundrix_host_tool(tundrix_native_post_score tests/browser/tundrix_post_score)
tundrix_host_tool(tundrix_native_same_picture tests/win32/tundrix_same_picture)
tundrix_host_tool(tundrix_native_replay_digests tests/win32/tundrix_replay_digests)

foreach(dir platform graphics core input rink actors sound game feedback replay protocol net resources bots shell)
  add_subdirectory(${dir})
endforeach()
if(TUNDRIX_TESTS)
  enable_testing()
  add_subdirectory(tests)
endif()
