# The packages: a zip with the program and its read-me, and an installer made with NSIS, both in
# <build>/packages/ and both made by the windows_packages target.
find_program(TUNDRIX_MAKENSIS makensis)
set(_packages ${CMAKE_BINARY_DIR}/packages)
set(_name tundrix-${PROJECT_VERSION}-win64)
set(TUNDRIX_ZIP ${_packages}/${_name}.zip CACHE INTERNAL "the zip the windows_packages target makes")
set(TUNDRIX_SETUP ${_packages}/tundrix-${PROJECT_VERSION}-setup.exe)
set(TUNDRIX_SETUP ${TUNDRIX_SETUP} CACHE INTERNAL "the installer the windows_packages target makes")
set(TUNDRIX_README ${_gen}/README.txt)
set(TUNDRIX_ICON ${_gen}/tundrix.ico)
set(TUNDRIX_SIZE_KB 8192)
# Windows' own line ends in the read-me.
configure_file(README.txt.in ${TUNDRIX_README} @ONLY NEWLINE_STYLE CRLF)

set(_stage ${CMAKE_CURRENT_BINARY_DIR}/zip/${_name})
add_custom_command(
  OUTPUT ${_packages}/${_name}.zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_CURRENT_BINARY_DIR}/zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_stage} ${_packages}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tundrix> ${TUNDRIX_README} ${_stage}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_CURRENT_BINARY_DIR}/zip
          ${CMAKE_COMMAND} -E tar cf ${_packages}/${_name}.zip --format=zip ${_name}
  DEPENDS tundrix ${TUNDRIX_README}
  COMMENT "Packing ${_name}.zip"
  VERBATIM)
set(_package_files ${_packages}/${_name}.zip)

if(TUNDRIX_MAKENSIS)
  set(TUNDRIX_EXE $<TARGET_FILE:tundrix>)
  configure_file(installer.nsi.in ${_gen}/installer.nsi.in @ONLY)
  file(GENERATE OUTPUT ${_gen}/installer.nsi INPUT ${_gen}/installer.nsi.in)
  add_custom_command(
    OUTPUT ${TUNDRIX_SETUP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_packages}
    COMMAND ${TUNDRIX_MAKENSIS} -V2 -NOCD ${_gen}/installer.nsi
    DEPENDS tundrix ${TUNDRIX_README} ${_gen}/installer.nsi ${TUNDRIX_ICON}
    COMMENT "Making the installer with NSIS"
    VERBATIM)
  list(APPEND _package_files ${TUNDRIX_SETUP})
else()
  message(WARNING "makensis was not found: the installer is not made (bash tools/deps.sh installs nsis)")
endif()
add_custom_target(windows_packages ALL DEPENDS ${_package_files})
