# The Debian package "marvo": cpack -G DEB in the build folder. Its version is the project's.
set(CPACK_PACKAGE_NAME marvo)
set(CPACK_PACKAGE_VENDOR "Marvo IF")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Marvo IF developers <marvo-if@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop environment for writing and playing text adventures")
set(CPACK_PACKAGE_DESCRIPTION "\
Marvo IF plays and edits text adventures written in a small, line-oriented,
mostly Russian script language. The desktop program marvo holds the player
window, a code editor, a map editor, an NPC dialogue maker and an object
placer; marvo-cli plays games and replays saved games in a terminal.
The package brings the standard library, sample games and the web player
that marvo-cli publish copies into a published game.")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_PACKAGE_NAME marvo)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Where Debian files the other interpreters of text adventures (frotz, glulxe, gargoyle).
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Desktop, MIME and icon caches are refreshed by the triggers of the packages that own them; Qt's
# own Russian texts (the buttons of standard dialogs) come with qt6-translations-l10n. The spelling
# check reads Debian's Hunspell dictionaries; without them it is off with a note.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "shared-mime-info, desktop-file-utils, hicolor-icon-theme, qt6-translations-l10n, hunspell-ru, hunspell-en-us")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# What Debian asks of every package: the copyright file and the changelog.
set(MARVO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/marvo)
execute_process(COMMAND date -u -R -d ${MARVO_RELEASE_DATE} OUTPUT_VARIABLE MARVO_RELEASE_DATE_RFC2822
                OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
  COMMAND ${MARVO_GZIP} -9 -n -k -f ${CMAKE_CURRENT_BINARY_DIR}/changelog
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog VERBATIM)
add_custom_target(marvo_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
install(FILES copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${MARVO_DOC_DIR})
install(FILES lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME marvo)

include(CPack)
