# Installing and the Debian package (make package).
#
# The programs find their language file beside themselves, so both go with
# it to one folder of their own, lib/lodsmith, and bin holds links to them
# (the programs resolve the link to find that folder). What the programs
# store goes to the user's settings folder, since an installed folder is not
# writable.
include(GNUInstallDirs)

# A program's private folder is lib/<name>, never the multiarch library
# folder.
set(LODSMITH_INSTALL_DIR lib/lodsmith)
set(programs lodsmith-cli)
if(TARGET lodsmith)
  list(APPEND programs lodsmith)
endif()
install(TARGETS ${programs} RUNTIME DESTINATION ${LODSMITH_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/lang/Lodsmith_L.INI DESTINATION ${LODSMITH_INSTALL_DIR})
foreach(program ${programs})
  file(RELATIVE_PATH target /${CMAKE_INSTALL_BINDIR} /${LODSMITH_INSTALL_DIR}/${program})
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"${target}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" SYMBOLIC)")
endforeach()
if(TARGET lodsmith)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/lodsmith.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/lodsmith-shape.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/lodsmith.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lodsmith)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lodsmith)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lodsmith")
set(CPACK_PACKAGE_CONTACT "Lodsmith developers <lodsmith@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Splits train-simulator shapes into LODs and sub-objects")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Opens a shape file (.s) exported with one level of detail and one sub-object, lets the modeller assign "
       "every element per LOD to a sub-object, and rewrites the shape with those LODs and sub-objects. Also "
       "merges near-equal points and normals, corrects material errors, deletes surplus animations and converts "
       "between the shape forms. Includes the batch program lodsmith-cli.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries come from the binaries; Liberation is what the window's
# captions are laid out for, DejaVu Sans Mono what the PDF print-out embeds
# for scripts beyond Latin (read from /usr/share/fonts/truetype/dejavu).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core")
# Qt's own dialogs in German.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_SOURCE_DIR}/dist)
set(CPACK_STRIP_FILES ON)
include(CPack)
