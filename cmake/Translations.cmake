# The interface's translations: each .ts file of the repository compiled by lrelease into a .qm file and
# carried by the program as the resource ":/i18n/<name>.qm".
find_package(Qt6 QUIET COMPONENTS LinguistTools)

function(vexa_add_translations target)
    set(qm_dir ${CMAKE_CURRENT_BINARY_DIR}/i18n)
    if(TARGET Qt6::lrelease)
        set_source_files_properties(${ARGN} PROPERTIES OUTPUT_LOCATION ${qm_dir})
        qt_add_lrelease(${target} TS_FILES ${ARGN} QM_FILES_OUTPUT_VARIABLE qm_files)
    else()
        # A cross build whose Qt carries no translation tools takes the build machine's lrelease.
        find_program(VEXA_LRELEASE NAMES lrelease lrelease-qt6 PATHS /usr/lib/qt6/bin NO_CMAKE_FIND_ROOT_PATH)
        if(NOT VEXA_LRELEASE)
            message(FATAL_ERROR "lrelease not found: scripts/setup installs it (Debian package qt6-l10n-tools)")
        endif()
        file(MAKE_DIRECTORY ${qm_dir})
        set(qm_files "")
        foreach(ts ${ARGN})
            get_filename_component(name ${ts} NAME_WLE)
            add_custom_command(OUTPUT ${qm_dir}/${name}.qm
                               COMMAND ${VEXA_LRELEASE} -silent ${ts} -qm ${qm_dir}/${name}.qm
                               DEPENDS ${ts} VERBATIM)
            list(APPEND qm_files ${qm_dir}/${name}.qm)
        endforeach()
        add_custom_target(${target}_lrelease DEPENDS ${qm_files})
        add_dependencies(${target} ${target}_lrelease)
    endif()
    qt_add_resources(${target} "translations" PREFIX "/i18n" BASE ${qm_dir} FILES ${qm_files})
endfunction()
