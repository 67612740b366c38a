# What a Windows installation holds besides kestrun.exe and configDir, and the two packages made of
# it by scripts/package-windows.sh: an NSIS installer and a portable zip of the same folder.
# The sensor SDK library is the user's own copy and is never shipped.

# Packaging builds the program alone (scripts/package-windows.sh), not every test program first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# The Qt DLLs the program links, and the plugins Qt loads from the program's folder: the platform,
# the native style and the image formats a branding's images and icon may use.
foreach(module Core Gui Widgets)
  install(FILES $<TARGET_FILE:Qt5::${module}> DESTINATION .)
endforeach()
foreach(plugin "platforms|QWindowsIntegrationPlugin" "styles|QWindowsVistaStylePlugin"
               "imageformats|QICOPlugin" "imageformats|QJpegPlugin" "imageformats|QGifPlugin")
  string(REPLACE "|" ";" parts "${plugin}")
  list(GET parts 0 folder)
  list(GET parts 1 target)
  install(FILES $<TARGET_FILE:Qt5::${target}> DESTINATION ${folder})
endforeach()

# The compiler's runtime, as the Qt prefix ships it: libgcc_s_seh-1 (64-bit) or libgcc_s_dw2-1
# (32-bit), libstdc++-6 and libwinpthread-1.
get_target_property(_kestrun_qtcore Qt5::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(_kestrun_qt_bin "${_kestrun_qtcore}" DIRECTORY)
file(GLOB _kestrun_runtime "${_kestrun_qt_bin}/libgcc_s_*.dll")
list(APPEND _kestrun_runtime "${_kestrun_qt_bin}/libstdc++-6.dll" "${_kestrun_qt_bin}/libwinpthread-1.dll")
install(FILES ${_kestrun_runtime} DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/README.txt DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(_kestrun_arch win32)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
else()
  set(_kestrun_arch win64)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
endif()

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME Kestrun)
set(CPACK_PACKAGE_VENDOR Kestrun)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Hardware monitor for the USB sensor display")
set(CPACK_PACKAGE_FILE_NAME kestrun-${PROJECT_VERSION}-${_kestrun_arch})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Kestrun)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Kestrun)
set(CPACK_PACKAGE_EXECUTABLES kestrun Kestrun)
set(CPACK_NSIS_PACKAGE_NAME Kestrun)
set(CPACK_NSIS_DISPLAY_NAME Kestrun)
set(CPACK_NSIS_INSTALLED_ICON_NAME kestrun.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/configDir/images/kestrun.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/configDir/images/kestrun.ico)
set(CPACK_NSIS_MENU_LINKS README.txt "Kestrun README")
# The installer's last page says where the sensor library goes; NSIS wants \\r\\n for a line break.
set(CPACK_NSIS_DEFINES "!define MUI_FINISHPAGE_TEXT \\\"Kestrun reads its sensors through the HWiNFO SDK library HWiNFO32.dll, which is not part of this package.$\\\\r$\\\\n$\\\\r$\\\\nCopy your HWiNFO32.dll into $INSTDIR, beside kestrun.exe, before the first start.\\\"")
set(CPACK_ZIP_COMPONENT_INSTALL OFF)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
