# Works out the program's version text (project version and, in a git checkout, the commit) and
# writes it into a C++ file. Included at configure time (the package takes VEXA_VERSION_TEXT from
# here) and run again at every build with -P, so a new commit shows up without configuring again;
# the file is only rewritten when the text changes, so nothing recompiles needlessly.
# Inputs: VEXA_SOURCE_DIR, VEXA_PROJECT_VERSION, VEXA_VERSION_OUTPUT.
# Outputs: VEXA_VERSION_TEXT, VEXA_COMMIT.
set(VEXA_VERSION_TEXT "${VEXA_PROJECT_VERSION}")
set(VEXA_COMMIT "")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS "${VEXA_SOURCE_DIR}/.git")
    execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --short=10 HEAD
                    WORKING_DIRECTORY "${VEXA_SOURCE_DIR}"
                    OUTPUT_VARIABLE VEXA_COMMIT OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE _vexa_git_status ERROR_QUIET)
    if(NOT _vexa_git_status EQUAL 0)
        set(VEXA_COMMIT "")
    endif()
endif()
# "+g<commit>" keeps the text a valid Debian version, so the package carries the same one.
if(VEXA_COMMIT)
    string(APPEND VEXA_VERSION_TEXT "+g${VEXA_COMMIT}")
endif()
set(_vexa_version_source "// Generated at build time from the project version and the commit; do not edit.
#include \"version/Version.h\"

const char* VexaVersion() { return \"${VEXA_VERSION_TEXT}\"; }
const char* VexaCommit() { return \"${VEXA_COMMIT}\"; }
")
set(_vexa_version_old "")
if(EXISTS "${VEXA_VERSION_OUTPUT}")
    file(READ "${VEXA_VERSION_OUTPUT}" _vexa_version_old)
endif()
if(NOT _vexa_version_old STREQUAL _vexa_version_source)
    file(WRITE "${VEXA_VERSION_OUTPUT}" "${_vexa_version_source}")
endif()
