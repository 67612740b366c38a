# Cross-build for Windows x86 (32-bit), the build that can load the 32-bit sensor SDK library:
#
#   cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake
#
# The compiler's i686 default is x87 floating point, whose wider intermediates could truncate a
# figure differently from the 64-bit build; SSE2 arithmetic (as Qt's own DLLs use) keeps both
# builds computing the same values. A large-address-aware program may use up to 4 GiB on 64-bit
# Windows instead of 2 GiB.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_kestrun_triplet i686-w64-mingw32)
set(_kestrun_qt_name build-win32-qt/qt5-mingw32)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--large-address-aware")
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
