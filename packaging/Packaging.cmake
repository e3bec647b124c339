# Installing Vellumar as a desktop program, and its Debian package (`cpack` in the build folder).
#
# The program goes to bin/, the delivered library, report layouts and "Read Me.txt" to
# share/vellumar/: the program looks for them at ../share/vellumar from its own folder
# (src/store/AppFolder.cpp) and copies them to each user's data folder on the first start.
# The folders are fixed rather than taken from GNUInstallDirs so that the two always agree.

set(VELLUMAR_APP_ID org.example.vellumar.Vellumar)
set(VELLUMAR_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

add_executable(vellumar-drawicon ${CMAKE_SOURCE_DIR}/tools/drawicon.cpp)
target_link_libraries(vellumar-drawicon PRIVATE vellumar_gui)

# The installed library is made afresh from the content, never taken from the build folder:
# that one is the developer's own and may hold their changes.
file(GLOB_RECURSE VELLUMAR_LIBRARY_CONTENT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/library/*)
add_custom_command(OUTPUT ${VELLUMAR_PACKAGING_OUT}/Spells.mdb
    COMMAND ${CMAKE_COMMAND} -E rm -f ${VELLUMAR_PACKAGING_OUT}/Spells.mdb
    COMMAND vellumar-makedb ${VELLUMAR_PACKAGING_OUT}/Spells.mdb ${CMAKE_SOURCE_DIR}/data/library
    DEPENDS vellumar-makedb ${VELLUMAR_LIBRARY_CONTENT}
    COMMENT "Making the library to install"
    VERBATIM)
add_custom_command(OUTPUT ${VELLUMAR_PACKAGING_OUT}/icon-48.png ${VELLUMAR_PACKAGING_OUT}/icon-128.png
    COMMAND vellumar-drawicon 48 ${VELLUMAR_PACKAGING_OUT}/icon-48.png 128 ${VELLUMAR_PACKAGING_OUT}/icon-128.png
    DEPENDS vellumar-drawicon
    COMMENT "Painting the menu icons"
    VERBATIM)
configure_file(${CMAKE_SOURCE_DIR}/packaging/${VELLUMAR_APP_ID}.metainfo.xml
               ${VELLUMAR_PACKAGING_OUT}/${VELLUMAR_APP_ID}.metainfo.xml @ONLY)
# Debian's own files: the copyright and, compressed as Debian wants it, the changelog.
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${VELLUMAR_PACKAGING_OUT}/changelog @ONLY)
add_custom_command(OUTPUT ${VELLUMAR_PACKAGING_OUT}/changelog.gz
    COMMAND gzip -9 -n -k -f ${VELLUMAR_PACKAGING_OUT}/changelog
    DEPENDS ${VELLUMAR_PACKAGING_OUT}/changelog
    COMMENT "Compressing the package changelog"
    VERBATIM)
add_custom_target(installed_files ALL
    DEPENDS ${VELLUMAR_PACKAGING_OUT}/Spells.mdb ${VELLUMAR_PACKAGING_OUT}/icon-48.png
            ${VELLUMAR_PACKAGING_OUT}/icon-128.png ${VELLUMAR_PACKAGING_OUT}/changelog.gz)

install(TARGETS vellumar RUNTIME DESTINATION bin)
file(GLOB VELLUMAR_REPORTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/reports/*.rpt)
install(FILES ${VELLUMAR_PACKAGING_OUT}/Spells.mdb "${CMAKE_SOURCE_DIR}/data/Read Me.txt"
        ${CMAKE_SOURCE_DIR}/data/spells.schema.json ${VELLUMAR_REPORTS}
        DESTINATION share/vellumar)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${VELLUMAR_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${VELLUMAR_PACKAGING_OUT}/${VELLUMAR_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${VELLUMAR_APP_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${VELLUMAR_PACKAGING_OUT}/changelog.gz
        DESTINATION share/doc/vellumar)
foreach(size 48 128)
    install(FILES ${VELLUMAR_PACKAGING_OUT}/icon-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${VELLUMAR_APP_ID}.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellumar)
set(CPACK_PACKAGE_VENDOR "The Vellumar developers")
set(CPACK_PACKAGE_CONTACT "The Vellumar developers <vellumar@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://vellumar.example.org/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "library of spells and spellbooks for tabletop role-playing games")
# One text with its own line breaks: a list of texts would reach the control file joined by ";".
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Vellumar keeps a library of spells and the spellbooks of the characters who"
    "know them: browse, build spellbooks by drag and drop, print and trade spells."
    "Each user gets a library of their own on the first start.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Debian keeps "games" for packages whose programs live in /usr/games; a tool that keeps a
# game's spells is "misc" there, though the desktop menu still lists it under Games.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# dpkg-shlibdeps finds the libraries the program links (Qt, SQLCipher, OpenSSL); Qt loads its
# platform plugins at run time, where no linker sees them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The Read Me and web links open through the desktop's handlers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
