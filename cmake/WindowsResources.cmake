# The Windows program's resources: its icon (rendered from the SVG: the exe's, the window's, the
# Start-menu entry's and the installer's) and its version information. Included after src/app.
find_program(VEXA_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(VEXA_MAGICK_CONVERT convert REQUIRED)
set(VEXA_ICO ${CMAKE_BINARY_DIR}/vexaview.ico)
set(_vexa_icon_pngs "")
foreach(size 16 24 32 48 64 256)
    set(png ${CMAKE_BINARY_DIR}/icon/vexaview-${size}.png)
    add_custom_command(
        OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icon
        COMMAND ${VEXA_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${PROJECT_SOURCE_DIR}/packaging/vexaview.svg
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/vexaview.svg
        VERBATIM)
    list(APPEND _vexa_icon_pngs ${png})
endforeach()
add_custom_command(
    OUTPUT ${VEXA_ICO}
    COMMAND ${VEXA_MAGICK_CONVERT} ${_vexa_icon_pngs} ${VEXA_ICO}
    DEPENDS ${_vexa_icon_pngs}
    COMMENT "Making the Windows icon"
    VERBATIM)
add_custom_target(vexa_windows_icon DEPENDS ${VEXA_ICO})

# Qt gives its windows the icon resource named IDI_ICON1.
set(VEXA_RC_VERSION "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/vexaview.rc.in ${CMAKE_BINARY_DIR}/vexaview.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/vexaview.rc DIRECTORY ${PROJECT_SOURCE_DIR}/src/app
                            PROPERTIES OBJECT_DEPENDS ${VEXA_ICO})
target_sources(vexaview PRIVATE ${CMAKE_BINARY_DIR}/vexaview.rc)
add_dependencies(vexaview vexa_windows_icon)
# A window program: no console window opens with it (--help and --version use the caller's console).
set_target_properties(vexaview PROPERTIES WIN32_EXECUTABLE ON)
