# The part of the Windows cross builds both word sizes share; toolchain-mingw64.cmake and
# toolchain-mingw32.cmake set _kestrun_triplet and _kestrun_qt_name first.
#
# The prefix is KESTRUN_QT_WIN_PREFIX (cache or environment), by default build-win-qt/qt5-mingw64
# or build-win32-qt/qt5-mingw32 in the source tree, where scripts/test-windows.sh and
# scripts/test-windows32.sh unpack it. Tests run under wine through scripts/wine-run.sh with a
# wine prefix of their own inside the build folder.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${_kestrun_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_kestrun_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_kestrun_triplet}-windres)

if(NOT KESTRUN_QT_WIN_PREFIX)
  if(DEFINED ENV{KESTRUN_QT_WIN_PREFIX})
    set(KESTRUN_QT_WIN_PREFIX "$ENV{KESTRUN_QT_WIN_PREFIX}")
  else()
    get_filename_component(KESTRUN_QT_WIN_PREFIX "${CMAKE_CURRENT_LIST_DIR}/../${_kestrun_qt_name}" ABSOLUTE)
  endif()
endif()
if(NOT EXISTS "${KESTRUN_QT_WIN_PREFIX}/lib/cmake/Qt5")
  message(FATAL_ERROR "No Windows Qt prefix at ${KESTRUN_QT_WIN_PREFIX}: run scripts/test-windows.sh "
                      "(or test-windows32.sh) or pass -DKESTRUN_QT_WIN_PREFIX=<prefix>")
endif()
# try_compile projects read this file again: hand them the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KESTRUN_QT_WIN_PREFIX)

# Headers, libraries and CMake packages come from the mingw sysroot and the Qt prefix only;
# programs (moc, uic, rcc) are the host's ones in the prefix's bin/.
set(CMAKE_FIND_ROOT_PATH /usr/${_kestrun_triplet} "${KESTRUN_QT_WIN_PREFIX}")
list(APPEND CMAKE_PREFIX_PATH "${KESTRUN_QT_WIN_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# add_test() commands of executables run under wine, headless, in the build folder's own prefix.
if(NOT KESTRUN_WINEPREFIX)
  set(KESTRUN_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
endif()
get_filename_component(_kestrun_wine_run "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_kestrun_wine_run};${KESTRUN_QT_WIN_PREFIX};${KESTRUN_WINEPREFIX}")
