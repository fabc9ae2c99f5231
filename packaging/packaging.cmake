# SPDX-License-Identifier: MIT
# Installing Vandrel and building its Debian package (`cpack -G DEB` in the build folder, or the
# `package` target). Included from the top-level CMakeLists.txt right after project().

# The program knows at build time which folder it is installed to, so the package must put it
# exactly there: the install prefix defaults to /usr, where the package installs, and the
# package is laid out under the configured prefix.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "Install prefix" FORCE)
endif()
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(VANDREL_HOMEPAGE "https://github.com/vandrel/vandrel")
set(VANDREL_MAINTAINER "Vandrel developers <vandrel@users.noreply.github.com>"
    CACHE STRING "Maintainer field of the Debian package")

# Set up after the targets exist: called at the end of the top-level CMakeLists.txt.
function(vandrel_packaging)
    install(TARGETS vandrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

    # Debian wants a manual page, the copyright and a changelog, the last two compressed
    # without a time stamp so that the package is reproducible.
    set(src ${PROJECT_SOURCE_DIR}/packaging)
    set(out ${PROJECT_BINARY_DIR}/packaging)
    find_program(GZIP gzip REQUIRED)
    foreach(file vandrel.1 changelog)
        add_custom_command(OUTPUT ${out}/${file}.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
            COMMAND ${GZIP} -9 -n -c ${src}/${file} > ${out}/${file}.gz
            DEPENDS ${src}/${file}
            COMMENT "Compressing ${file}")
    endforeach()
    add_custom_target(vandrel_package_docs ALL DEPENDS ${out}/vandrel.1.gz ${out}/changelog.gz)
    install(FILES ${out}/vandrel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${src}/copyright ${out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vandrel)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_NAME vandrel)
    set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
    set(CPACK_PACKAGE_VENDOR "Vandrel developers")
    set(CPACK_PACKAGE_CONTACT ${VANDREL_MAINTAINER})
    set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
    set(CPACK_STRIP_FILES ON)
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make HTML colour codes")
    set(CPACK_PACKAGE_DESCRIPTION
        "Vandrel is a small desktop tool for people who write web pages by hand.\n"
        "Set a colour with sliders, spin buttons or decimal and hexadecimal\n"
        "channel values, take it from a palette or from any pixel on the screen,\n"
        "and copy its code to the clipboard, bare or as an HTML attribute, in\n"
        "upper or lower case. A second window builds a complete BODY tag with\n"
        "its five colours.\n"
        "\n"
        "The user interface is in Japanese.")
    string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VANDREL_MAINTAINER})
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VANDREL_HOMEPAGE})
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    # Libraries from dpkg-shlibdeps; Qt's platform plugins are loaded at run time, so no
    # library dependency names them. The captions need a Japanese gothic; the program asks for
    # IPA's and falls back to Noto's. Qt's own dialogs and context menus speak Japanese through
    # Qt's translations. Qt's Wayland platform and the desktop portal are only used in a Wayland
    # session, where the program also runs through Xwayland without them.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "qt6-qpa-plugins, qt6-translations-l10n, fonts-ipafont-gothic | fonts-noto-cjk")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-desktop-portal")
    include(CPack)
endfunction()
