# KissFFT (float), the FFT of the analysis: Debian's libkissfft-dev here; for a cross build, a KissFFT
# built for the target and found under CMAKE_FIND_ROOT_PATH. Defines the target vexa_kissfft.
find_path(KISSFFT_INCLUDE_DIR kiss_fftr.h PATH_SUFFIXES kissfft)
find_library(KISSFFT_LIBRARY NAMES kissfft-float)
if(KISSFFT_INCLUDE_DIR AND KISSFFT_LIBRARY)
    add_library(vexa_kissfft INTERFACE IMPORTED)
    set_target_properties(vexa_kissfft PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${KISSFFT_INCLUDE_DIR}"
                                                  INTERFACE_LINK_LIBRARIES "${KISSFFT_LIBRARY}")
    # A shared library on Windows needs its imports marked; Debian's Linux build is shared too.
    if(KISSFFT_LIBRARY MATCHES "\\.(so|dll\\.a)$")
        set_property(TARGET vexa_kissfft PROPERTY INTERFACE_COMPILE_DEFINITIONS KISS_FFT_SHARED)
    endif()
elseif(WIN32)
    # The Windows cross build gets its own KissFFT; until it is there, the analysis is not part of it.
    message(WARNING "KissFFT not found for this target: the analysis library and its tests are left out")
else()
    message(FATAL_ERROR "KissFFT not found: scripts/setup installs Debian's libkissfft-dev")
endif()
