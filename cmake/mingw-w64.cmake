# Cross build of the Qt-free layers for 64-bit Windows: self-contained programs run under Wine.
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-base.cmake")
# Self-contained programs: no runtime DLLs to copy next to them or to put on Wine's path.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
