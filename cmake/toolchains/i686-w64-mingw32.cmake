# Cross build for 32-bit Windows with MinGW-w64 (posix threads, for std::thread), tests run under
# Wine. SSE2 arithmetic instead of the x87 unit: x87 rounds intermediates to extended precision,
# so the same camera would give rays that differ in the last bits from the other builds.
set(VANTOREL_MINGW_TRIPLET i686-w64-mingw32)
set(VANTOREL_WINE_ARCH win32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
