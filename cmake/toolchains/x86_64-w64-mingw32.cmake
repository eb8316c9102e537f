# Cross build for 64-bit Windows with MinGW-w64 (posix threads, for std::thread), tests run under
# Wine.
set(VANTOREL_MINGW_TRIPLET x86_64-w64-mingw32)
set(VANTOREL_WINE_ARCH win64)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
