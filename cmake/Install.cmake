# Installed layout: the executable, libsensorsdk.so and configDir in one folder. It is lib/kestrun
# for every prefix on Linux (GNUInstallDirs' libdir turns into lib/<multiarch> for /usr); on Windows
# that folder is the installation itself, with the Qt and compiler runtime DLLs beside the program.
include(GNUInstallDirs)
if(WIN32)
  set(KESTRUN_INSTALL_DIR .)
else()
  set(KESTRUN_INSTALL_DIR lib/kestrun)
endif()
# Puts a program of the install folder on the PATH as a relative link (valid under DESTDIR too):
# $ORIGIN and applicationDirPath follow it to the folder with the library and configDir.
function(kestrun_install_path_link program)
  file(RELATIVE_PATH link /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${KESTRUN_INSTALL_DIR}/${program})
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK ${link}
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" SYMBOLIC)")
endfunction()

install(TARGETS kestrun RUNTIME DESTINATION ${KESTRUN_INSTALL_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/configDir DESTINATION ${KESTRUN_INSTALL_DIR})
if(NOT WIN32)
  kestrun_install_path_link(kestrun)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/kestrun.desktop
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/configDir/images/kestrun.png
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/256x256/apps)
endif()
# The display's udev rule, written with the display's IDs (CMakeLists.txt), goes where udev reads
# packaged rules (/usr/lib/udev/rules.d for prefix /usr).
if(NOT WIN32)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/linux/60-kestrun-display.rules.in
                 ${PROJECT_BINARY_DIR}/packaging/linux/60-kestrun-display.rules @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/linux/60-kestrun-display.rules DESTINATION lib/udev/rules.d)
endif()
if(TARGET sensorsdk)
  install(TARGETS sensorsdk LIBRARY DESTINATION ${KESTRUN_INSTALL_DIR})
  install(TARGETS kestrun-sensors RUNTIME DESTINATION ${KESTRUN_INSTALL_DIR})
  kestrun_install_path_link(kestrun-sensors)
endif()
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/PackageWindows.cmake)
endif()
