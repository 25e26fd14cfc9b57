# Install rules and the Debian package.
#   cmake --install <build> --prefix /usr        (DESTDIR=... for a staging folder)
#   cmake --build <build> --target package       -> <build>/gemlode_<version>_<arch>.deb
# The executable goes to <prefix>/games, the game data to <prefix>/share/gemlode;
# the program finds its data there (beside its own folder, or in the folder this
# build was configured for) and writes the player's files under XDG_DATA_HOME.
include(GNUInstallDirs)

set(GEMLODE_APP_ID com.zandrel.Gemlode)
set(GEMLODE_INSTALL_GAMESDIR games CACHE STRING "Where the executable goes, below the prefix")
set(GEMLODE_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/gemlode)
set(GEMLODE_DIST_DIR ${CMAKE_BINARY_DIR}/dist)

# Icons in the hicolor sizes, the manual page and the changelog, made at build time.
configure_file(${PROJECT_SOURCE_DIR}/dist/gemlode.6 ${GEMLODE_DIST_DIR}/gemlode.6 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/dist/changelog ${GEMLODE_DIST_DIR}/changelog @ONLY)

# The AppStream releases, one a changelog entry, newest first.
function(gemlode_releases_from_changelog changelog out)
  file(STRINGS ${changelog} lines REGEX "^(gemlode \\(| -- )")
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  set(releases "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^gemlode \\(([^)]+)\\)")
      set(version ${CMAKE_MATCH_1})
    elseif(line MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
      list(FIND months ${CMAKE_MATCH_2} month)
      math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
      if(month LESS 10)
        set(month 0${month})
      endif()
      string(APPEND releases
             "    <release version=\"${version}\" date=\"${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1}\"/>\n")
    endif()
  endforeach()
  string(REGEX REPLACE "\n$" "" releases "${releases}")
  set(${out} "${releases}" PARENT_SCOPE)
endfunction()
gemlode_releases_from_changelog(${GEMLODE_DIST_DIR}/changelog GEMLODE_RELEASES)
# OARS: the update check asks for the latest version (social-info mild); the
# downloaded advertisements name the maker's products (money-advertising
# moderate). A build without the network does neither.
if(GEMLODE_ONLINE)
  set(GEMLODE_CONTENT_RATING "
    <content_attribute id=\"social-info\">mild</content_attribute>
    <content_attribute id=\"money-advertising\">moderate</content_attribute>
  ")
else()
  set(GEMLODE_CONTENT_RATING "")
endif()
configure_file(${PROJECT_SOURCE_DIR}/dist/${GEMLODE_APP_ID}.metainfo.xml
               ${GEMLODE_DIST_DIR}/${GEMLODE_APP_ID}.metainfo.xml @ONLY)
find_program(GZIP_PROGRAM gzip REQUIRED)
add_custom_command(
  OUTPUT ${GEMLODE_DIST_DIR}/gemlode.6.gz ${GEMLODE_DIST_DIR}/changelog.gz
  COMMAND ${GZIP_PROGRAM} -9nkf ${GEMLODE_DIST_DIR}/gemlode.6 ${GEMLODE_DIST_DIR}/changelog
  DEPENDS ${GEMLODE_DIST_DIR}/gemlode.6 ${GEMLODE_DIST_DIR}/changelog
  VERBATIM)
add_custom_command(
  OUTPUT ${GEMLODE_DIST_DIR}/icons.stamp
  COMMAND $<TARGET_FILE:gemlode_datagen> --desktop-icons ${GEMLODE_DIST_DIR}/icons ${GEMLODE_APP_ID}
  COMMAND ${CMAKE_COMMAND} -E touch ${GEMLODE_DIST_DIR}/icons.stamp
  DEPENDS gemlode_datagen
  VERBATIM)
add_custom_target(desktop_files ALL
  DEPENDS ${GEMLODE_DIST_DIR}/gemlode.6.gz ${GEMLODE_DIST_DIR}/changelog.gz
          ${GEMLODE_DIST_DIR}/icons.stamp)

# Folders made by the install are 0755 whatever the umask (Debian wants no
# group-writable folders).
# Installing and packaging need only the program and its files, not every test.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS gemlode RUNTIME DESTINATION ${GEMLODE_INSTALL_GAMESDIR})
install(DIRECTORY ${GEMLODE_GAME_DIR}/images ${GEMLODE_GAME_DIR}/sounds ${GEMLODE_GAME_DIR}/music
                  ${GEMLODE_GAME_DIR}/data ${GEMLODE_GAME_DIR}/resources
        DESTINATION ${GEMLODE_INSTALL_DATADIR})
install(FILES ${PROJECT_SOURCE_DIR}/dist/${GEMLODE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${GEMLODE_DIST_DIR}/${GEMLODE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${GEMLODE_DIST_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${GEMLODE_DIST_DIR}/gemlode.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_SOURCE_DIR}/debian/copyright ${GEMLODE_DIST_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/gemlode)

# The Debian package: dependencies come from the shared libraries the program
# links (dpkg-shlibdeps), plus the font the system-font text is drawn with.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gemlode)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Zandrel)
set(CPACK_PACKAGE_CONTACT "Zandrel <games@zandrel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "puzzle game of swapping gems into rows of three or more")
# The summary above is the synopsis; this is the extended description below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Gemlode shows an eight-by-eight board of gems. Swap two neighbouring gems so
that three or more equal gems line up: they vanish and score, and new gems
fall in. It has a normal and a timed mode, high-score tables and a saved game.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.zandrel.example/gemlode/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcurl is opened at run time, only for the update check and the advertisement
# downloads, so the shared-library scan cannot see it and the game runs without it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
if(GEMLODE_ONLINE)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libcurl4 (>= 7.85.0), xdg-utils")
else()
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
endif()
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
