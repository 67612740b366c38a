# Installed layout: the executable, libsensorsdk.so and configDir in one folder.
include(GNUInstallDirs)
set(KESTRUN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/kestrun)
install(TARGETS kestrun RUNTIME DESTINATION ${KESTRUN_INSTALL_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/configDir DESTINATION ${KESTRUN_INSTALL_DIR})
# The display's udev rule goes where udev reads packaged rules (/usr/lib/udev/rules.d for prefix /usr).
if(NOT WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/60-kestrun-display.rules DESTINATION lib/udev/rules.d)
endif()
if(TARGET sensorsdk)
  install(TARGETS sensorsdk LIBRARY DESTINATION ${KESTRUN_INSTALL_DIR})
  install(TARGETS kestrun-sensors RUNTIME DESTINATION ${KESTRUN_INSTALL_DIR})
  # On the PATH as a relative link (valid under DESTDIR too): $ORIGIN follows it to the library.
  file(RELATIVE_PATH KESTRUN_SENSORS_LINK /prefix/${CMAKE_INSTALL_BINDIR}
       /prefix/${KESTRUN_INSTALL_DIR}/kestrun-sensors)
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK ${KESTRUN_SENSORS_LINK}
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/kestrun-sensors\" SYMBOLIC)")
endif()
