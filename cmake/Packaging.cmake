# What `cmake --install` lays out besides the programs, and the Debian package CPack makes of it.
#
#   PREFIX/lib/ombrel/        the program, its companion files and the package marker
#   PREFIX/bin/               the link ombrel, and ombrel-cli
#   PREFIX/share/fonts/truetype/ombrel/HP48.TTF   where fontconfig finds the font for every user
#   PREFIX/share/applications, icons/hicolor, mime/packages, metainfo, man/man1, doc/ombrel
#
# Nothing here needs a maintainer script: Debian's own triggers refresh the font, icon, desktop
# and MIME caches when these folders change.

include_guard(GLOBAL)

# Facts about the project that have no answer yet. The placeholders lie under the reserved
# example.org domain so that nothing points at somebody else's site; set the real ones before
# a package goes to other people.
set(OMBREL_APP_ID "org.example.ombrel" CACHE STRING
    "Reverse-DNS id of the desktop entry, the icon and the AppStream component")
set(OMBREL_HOMEPAGE "https://ombrel.example.org/" CACHE STRING "The project's home page")
set(OMBREL_SCREENSHOT_URL "${OMBREL_HOMEPAGE}docs/" CACHE STRING
    "Web folder holding the pictures of docs/, for the software centre")
set(OMBREL_MAINTAINER "Ombrel maintainers <maintainers@ombrel.example.org>" CACHE STRING
    "Maintainer of the Debian package")
# No licence has been granted for Ombrel yet, so all rights stay with its authors.
set(OMBREL_PROJECT_LICENSE "LicenseRef-proprietary" CACHE STRING
    "SPDX expression of the project's licence")
set(OMBREL_LICENCE_STATEMENT
    "No licence has been granted for Ombrel yet: all rights are reserved by its authors."
    CACHE STRING "The licence statement of the copyright file")

set(_ombrel_packaging "${PROJECT_SOURCE_DIR}/packaging")
set(_ombrel_generated "${CMAKE_BINARY_DIR}/packaging")
set(_ombrel_font_dir share/fonts/truetype/ombrel)

# The program directory: companion files, the package marker, and the font as a link to the
# one fontconfig knows (a first start then finds the font already there and leaves it alone).
install(FILES "${OMBREL_PROGDIR}/HP48-LICENSE.txt" "${OMBREL_PROGDIR}/file_id.diz"
              "${OMBREL_PROGDIR}/omhelp.html" "${_ombrel_packaging}/installed-by-package"
        DESTINATION lib/ombrel)
install(FILES "${OMBREL_PROGDIR}/HP48.TTF" DESTINATION ${_ombrel_font_dir})
install(CODE "file(CREATE_LINK ../../${_ombrel_font_dir}/HP48.TTF
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/ombrel/HP48.TTF\" SYMBOLIC)")

# Desktop entry, AppStream metainfo and MIME type, named by the application id: the entries a
# user's first start writes have names of their own.
configure_file("${_ombrel_packaging}/ombrel.desktop.in"
               "${_ombrel_generated}/${OMBREL_APP_ID}.desktop" @ONLY)
configure_file("${_ombrel_packaging}/ombrel.metainfo.xml.in"
               "${_ombrel_generated}/${OMBREL_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${_ombrel_generated}/${OMBREL_APP_ID}.desktop" DESTINATION share/applications)
install(FILES "${_ombrel_generated}/${OMBREL_APP_ID}.metainfo.xml" DESTINATION share/metainfo)
install(FILES "${_ombrel_packaging}/ombrel-mime.xml" DESTINATION share/mime/packages
        RENAME "${OMBREL_APP_ID}.xml")

# The icon in the hicolor theme, drawn by resources/images/draw-images.py and draw-app-icons.py.
set(_ombrel_images "${PROJECT_SOURCE_DIR}/resources/images")
foreach(size 16 32 48 64 128 256)
    set(icon "${_ombrel_images}/ombrel-${size}.png")
    if(size EQUAL 64)
        set(icon "${_ombrel_images}/ombrel.png")
    endif()
    install(FILES "${icon}" DESTINATION share/icons/hicolor/${size}x${size}/apps
            RENAME "${OMBREL_APP_ID}.png")
endforeach()
install(FILES "${_ombrel_images}/ombrel.svg" DESTINATION share/icons/hicolor/scalable/apps
        RENAME "${OMBREL_APP_ID}.svg")

# Manual pages and the changelog with the version of project(), compressed as Debian keeps them
# (gzip -n: no name or time in the header).
configure_file("${_ombrel_packaging}/changelog.in" "${_ombrel_generated}/changelog" @ONLY)
configure_file("${PROJECT_SOURCE_DIR}/docs/man/ombrel.1" "${_ombrel_generated}/ombrel.1" @ONLY)
configure_file("${PROJECT_SOURCE_DIR}/docs/man/ombrel-cli.1" "${_ombrel_generated}/ombrel-cli.1"
               @ONLY)
set(_ombrel_compressed "")
foreach(source "${_ombrel_generated}/ombrel.1" "${_ombrel_generated}/ombrel-cli.1"
               "${_ombrel_generated}/changelog")
    get_filename_component(name "${source}" NAME)
    set(compressed "${_ombrel_generated}/${name}.gz")
    add_custom_command(
        OUTPUT "${compressed}"
        COMMAND sh -c "gzip -9n -c \"$1\" >\"$2\"" sh "${source}" "${compressed}"
        DEPENDS "${source}"
        VERBATIM)
    list(APPEND _ombrel_compressed "${compressed}")
endforeach()

# The copyright file: Ombrel's statement, then the licence of the fonts HP48.TTF is made from.
set(_ombrel_copyright "${_ombrel_generated}/copyright")
configure_file("${_ombrel_packaging}/copyright.in" "${_ombrel_generated}/copyright.head" @ONLY)
add_custom_command(
    OUTPUT "${_ombrel_copyright}"
    COMMAND sh -c "cat \"$1\" \"$2\" >\"$3\"" sh "${_ombrel_generated}/copyright.head"
            "${OMBREL_PROGDIR}/HP48-LICENSE.txt" "${_ombrel_copyright}"
    DEPENDS "${_ombrel_generated}/copyright.head" "${OMBREL_PROGDIR}/HP48-LICENSE.txt"
    VERBATIM)
add_custom_target(ombrel_package_files ALL DEPENDS ${_ombrel_compressed} "${_ombrel_copyright}")
add_dependencies(ombrel_package_files hp48_font)
install(FILES "${_ombrel_generated}/ombrel.1.gz" "${_ombrel_generated}/ombrel-cli.1.gz"
        DESTINATION share/man/man1)
install(FILES "${_ombrel_copyright}" "${_ombrel_generated}/changelog.gz"
        DESTINATION share/doc/ombrel)

# The Debian package: ombrel_VERSION_amd64.deb, the version of project().
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ombrel)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the text databases of the HP48 calculator")
set(CPACK_PACKAGE_DESCRIPTION
    "Ombrel edits the text databases that owners of the HP48 calculator keep
with the Tarvo library: lists of topics, each up to ten rows of the
calculator's characters, stored as HP48 ASCII transfer files. Several
databases open at once; topics are sorted, searched and dragged between them,
and a text is counted in every file of a folder. Databases go to and from the
calculator over a serial cable through C-Kermit. German and English.

ombrel-cli checks, exports to JSON, imports from JSON and searches database
files without windows.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${OMBREL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${OMBREL_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Run by the first start and the removal: fc-list and fc-cache, update-mime-database, xdg-mime.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fontconfig, shared-mime-info, xdg-utils")
# Without C-Kermit the start stops with the list of missing files; xdg-user-dir finds the
# desktop folder where it is not ~/Desktop.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ckermit, xdg-user-dirs")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}")
include(CPack)
