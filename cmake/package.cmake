# The download, vistrel-<version>-win64.zip: the program, the read-me, the licence and a note
# on the watermark picture. `cmake --build --preset mingw --target package` writes it.

# The text files get Windows line ends, so that Notepad on older Windows shows their lines.
foreach(text README.md LICENSE resources/WATERMARK.txt)
  get_filename_component(name ${text} NAME)
  file(READ ${CMAKE_SOURCE_DIR}/${text} content)
  string(REPLACE "\r\n" "\n" content "${content}")
  string(REPLACE "\n" "\r\n" content "${content}")
  file(WRITE ${CMAKE_BINARY_DIR}/package/${name} "${content}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${text})
  install(FILES ${CMAKE_BINARY_DIR}/package/${name} DESTINATION .
      PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
# Fixed modes, whatever the builder's umask: the zip records them.
install(TARGETS vistrel RUNTIME DESTINATION . PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vistrel)
set(CPACK_PACKAGE_FILE_NAME vistrel-${PROJECT_VERSION}-win64)
# The files at the top of the zip: Explorer's "Extract All" already makes a folder for them.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/package_times.cmake)
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)
