# What `cmake --install` puts under the prefix, and the Debian package CPack makes of it.
# Every destination is relative to the prefix, so the same tree installs into /usr (the package),
# /usr/local or a scratch directory (the install test).
include(GNUInstallDirs)

set(VEXA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VEXA_MAINTAINER "V-EXAVIEW developers <vexaview@example.org>")
set(VEXA_DATA_DIR ${CMAKE_BINARY_DIR}/install-data)
file(MAKE_DIRECTORY ${VEXA_DATA_DIR})

# Icon: the SVG for every size, and PNGs rendered from it for desktops that want bitmaps.
set(VEXA_ICON_PNG_SIZES 16 32 48 64 128 256)
find_program(VEXA_RSVG_CONVERT rsvg-convert)
set(VEXA_GENERATED_DATA "")
set(VEXA_ICON_SIZES "")
if(VEXA_RSVG_CONVERT)
    foreach(size ${VEXA_ICON_PNG_SIZES})
        set(png ${VEXA_DATA_DIR}/icons/${size}x${size}/vexaview.png)
        add_custom_command(
            OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${VEXA_DATA_DIR}/icons/${size}x${size}
            COMMAND ${VEXA_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${VEXA_PACKAGING_DIR}/vexaview.svg
            DEPENDS ${VEXA_PACKAGING_DIR}/vexaview.svg
            COMMENT "Rendering the ${size}x${size} icon"
            VERBATIM)
        list(APPEND VEXA_GENERATED_DATA ${png})
        list(APPEND VEXA_ICON_SIZES ${size})
        install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
else()
    message(WARNING "rsvg-convert not found (scripts/setup installs librsvg2-bin): only the SVG icon is installed")
endif()
install(FILES ${VEXA_PACKAGING_DIR}/vexaview.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages and the package's change log, compressed as Debian wants them (-n: no time stamp).
string(TIMESTAMP VEXA_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${VEXA_PACKAGING_DIR}/changelog.in ${VEXA_DATA_DIR}/changelog @ONLY)
foreach(source ${VEXA_PACKAGING_DIR}/vexaview.1 ${VEXA_PACKAGING_DIR}/vexa.1 ${VEXA_PACKAGING_DIR}/vexa-sim.1
               ${VEXA_DATA_DIR}/changelog)
    get_filename_component(name ${source} NAME)
    set(gz ${VEXA_DATA_DIR}/${name}.gz)
    add_custom_command(
        OUTPUT ${gz}
        COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${source} ${gz}
        DEPENDS ${source}
        COMMENT "Compressing ${name}"
        VERBATIM)
    list(APPEND VEXA_GENERATED_DATA ${gz})
endforeach()
add_custom_target(vexa_install_data ALL DEPENDS ${VEXA_GENERATED_DATA})

install(TARGETS vexaview vexa vexa-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VEXA_PACKAGING_DIR}/vexaview.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VEXA_DATA_DIR}/vexaview.1.gz ${VEXA_DATA_DIR}/vexa.1.gz ${VEXA_DATA_DIR}/vexa-sim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# udev reads /usr/lib/udev/rules.d whatever the library directory of the architecture is.
install(FILES ${VEXA_PACKAGING_DIR}/70-vexaview.rules DESTINATION lib/udev/rules.d)
install(FILES ${VEXA_PACKAGING_DIR}/copyright ${VEXA_DATA_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package (scripts/package): same version text as `vexaview --version`.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexaview)
set(CPACK_PACKAGE_VERSION ${VEXA_VERSION_TEXT})
set(CPACK_PACKAGE_CONTACT ${VEXA_MAINTAINER})
set(CPACK_PACKAGE_VENDOR "V-EXAVIEW developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop tool for the VEXA acceleration and temperature logger")
set(CPACK_PACKAGE_DESCRIPTION
    "V-EXAVIEW finds the VEXA three-axis acceleration and temperature data
logger on USB, reads and changes its settings, shows live readings,
downloads the recorded data, saves it as CSV files and draws them as graphs.
The command vexa does the same without a window (status, download, 5-ms
capture, clock), for scripts and remote shells. A udev rule gives the user
at the desktop access to the logger without membership in group dialout.
Includes vexa-sim, a simulated logger on a pseudo-terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${VEXA_VERSION_TEXT})
set(CPACK_DEBIAN_PACKAGE_RELEASE "")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VEXA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# uaccess needs udev and logind; every desktop has them, a container may not.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${VEXA_PACKAGING_DIR}/postinst ${VEXA_PACKAGING_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
