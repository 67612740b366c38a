# Cross-build for Windows x86_64 with Debian's mingw-w64 (posix threads, for std::thread and
# std::mutex) against a Qt 5 / hidapi prefix built with the same compilers.
#
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_kestrun_triplet x86_64-w64-mingw32)
set(_kestrun_qt_name build-win-qt/qt5-mingw64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
