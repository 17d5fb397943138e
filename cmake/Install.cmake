# Installs Listoro as a Linux desktop application and packages it as a Debian package.
# Included from the top CMakeLists.txt after add_subdirectory(src), once the three programs exist.
#
#   cmake --install build [--prefix DIR]      installs under CMAKE_INSTALL_PREFIX (/usr/local)
#   cpack -G DEB  (in the build directory)    writes listoro_<version>_<arch>.deb, under /usr
#
# What goes where, relative to the prefix:
#   bin/                                     listoro, listoro-scrape, listoro-demo-site
#   share/applications/                      com.listoro.Listoro.desktop
#   share/metainfo/                          com.listoro.Listoro.metainfo.xml
#   share/icons/hicolor/scalable/apps/       com.listoro.Listoro.svg
#   share/icons/hicolor/NxN/apps/            com.listoro.Listoro.png, drawn by scripts/draw-icons
#   share/man/man1/                          the manual pages, compressed with gzip -9n as
#                                            Debian wants them (CPack does not compress them)

include(GNUInstallDirs)

set(LISTORO_APP_ID com.listoro.Listoro)
# The hicolor sizes scripts/draw-icons renders; tests/install/check-install.sh checks the same.
set(LISTORO_ICON_SIZES 16 22 24 32 48 64 128 256 512)
set(LISTORO_MAN_PAGES listoro.1 listoro-scrape.1 listoro-demo-site.1)

install(TARGETS listoro listoro-scrape listoro-demo-site
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
)

# The licence, where Debian looks for it.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/listoro
    RENAME copyright
)

install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${LISTORO_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${LISTORO_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
)

install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/${LISTORO_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
)
foreach(size IN LISTS LISTORO_ICON_SIZES)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${size}x${size}/apps/${LISTORO_APP_ID}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    )
endforeach()

# Manual pages: compressed at build time. -n leaves the name and time out of the gzip header,
# so the same page gives the same bytes on every build.
find_program(LISTORO_GZIP gzip REQUIRED)
set(listoro_man_outputs)
foreach(page IN LISTS LISTORO_MAN_PAGES)
    set(source ${PROJECT_SOURCE_DIR}/docs/man/${page})
    set(copy ${PROJECT_BINARY_DIR}/man/${page})
    add_custom_command(
        OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
        COMMAND ${LISTORO_GZIP} -9nf ${copy}
        DEPENDS ${source}
        COMMENT "Compressing the manual page ${page}"
        VERBATIM
    )
    list(APPEND listoro_man_outputs ${copy}.gz)
endforeach()
add_custom_target(listoro_man_pages ALL DEPENDS ${listoro_man_outputs})
install(FILES ${listoro_man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package. dpkg-shlibdeps (dpkg-dev) and file find the libraries the programs link;
# the image format plugins are loaded at run time, so they are named here: WebP photos are
# decoded by qt6-image-formats-plugins.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME listoro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Listoro")
set(CPACK_PACKAGE_CONTACT "Listoro developers <dev@listoro.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://listoro.com/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "browse classified-ad sites as a grid of listings with photos")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${CPACK_PACKAGE_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins")
# xdg-open hands a listing to the mail program; qt6-wayland runs the windows natively on Wayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The summary above becomes the first line; CPack indents these lines and turns the empty one
# into the " ." that separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Listoro makes online classified-ad sites such as Craigslist and Kijiji
pleasant to browse. You browse a site in the embedded browser; on a page
of search results one button, Zesto, turns the page into a scrolling grid
of listing tiles, each with its title and its photos, fetched and cached
in the background. Listings can be kept as favorites, results pages can be
bookmarked and opened straight into the grid, and a listing can be sent by
e-mail.

listoro --demo runs the application on a small built-in classifieds site,
with no network. listoro-scrape runs the same scraping without windows and
prints JSON; listoro-demo-site serves the demo site on its own.")

include(CPack)
