# What `cmake --install` puts where (GNU install folders), and the Debian
# package CPack makes of it.
#
#   bin/                       zumbrel, zumbrel-calc, the skin tools
#   share/zumbrel/             Skins/ and Help.html, found by the program from
#                              its own folder (ZUMBREL_OWN_DATA_DIR)
#   share/applications/        the desktop entry
#   share/icons/hicolor/       the icon, scalable and 16..256 pixels
#   share/metainfo/            the AppStream metadata
#   share/man/man1/            the programs' manual pages, compressed
#   share/doc/zumbrel/         copyright (the licence) and changelog.gz

set(ZUMBREL_APP_ID org.zumbrel.Zumbrel)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
# The package's name, not the project's capitalised one.
set(ZUMBREL_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/zumbrel)

set(programs zumbrel zumbrel-calc zumbrel-outline zumbrel-skingen zumbrel-skinview)
# The system's libraries only: no search path of our own ($ORIGIN/../lib,
# which the Qt project setup adds) in an installed program.
set_target_properties(${programs} PROPERTIES INSTALL_RPATH "")
install(TARGETS ${programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/Skins DESTINATION ${ZUMBREL_INSTALL_DATADIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/Help.html DESTINATION ${ZUMBREL_INSTALL_DATADIR})
install(FILES ${packaging}/${ZUMBREL_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/${ZUMBREL_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${packaging}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
  FILES_MATCHING PATTERN "*.png" PATTERN "*.svg")

# Manual pages and the changelog compressed as Debian wants them: gzip -9
# without a name or time stamp, so the same sources give the same bytes.
find_program(ZUMBREL_GZIP gzip REQUIRED)
set(compressed)
set(man_pages zumbrel zumbrel-calc zumbrel-outline zumbrel-skingen zumbrel-skinview)
list(TRANSFORM man_pages PREPEND docs/man/ OUTPUT_VARIABLE man_sources)
list(TRANSFORM man_sources APPEND .1)
foreach(source ${man_sources} packaging/debian/changelog)
  get_filename_component(name ${source} NAME)
  set(out ${PROJECT_BINARY_DIR}/compressed/${name}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/compressed
    COMMAND ${ZUMBREL_GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/${source} > ${out}
    DEPENDS ${PROJECT_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND compressed ${out})
endforeach()
add_custom_target(zumbrel_compressed_docs ALL DEPENDS ${compressed})
list(TRANSFORM man_pages PREPEND ${PROJECT_BINARY_DIR}/compressed/ OUTPUT_VARIABLE man_files)
list(TRANSFORM man_files APPEND .1.gz)
install(FILES ${man_files} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/compressed/changelog.gz
  DESTINATION ${ZUMBREL_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${ZUMBREL_INSTALL_DOCDIR} RENAME copyright)

# ---- The Debian package: cpack -G DEB in the build folder ----
set(CPACK_PACKAGE_NAME zumbrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Zumbrel developers")
set(CPACK_PACKAGE_CONTACT "The Zumbrel developers <developers@zumbrel.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "skinnable scientific calculator for formulas")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://zumbrel.org/)
# The libraries the programs need, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The extended description; CPack puts the summary first and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zumbrel is a scientific calculator for formulas, in 80-bit extended
arithmetic: operators, a factorial and 31 functions, degrees, radians and
gradians, results in decimal, engineering notation, hexadecimal, octal or
binary, memory keys, variables, a graph window and named presets. Its look
comes from a skin; three are included, with tools to make new ones.

zumbrel-calc is the same engine on the command line, for scripts and
terminals.")
include(CPack)
