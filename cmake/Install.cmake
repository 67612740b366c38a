# Installed layout: the executable, libsensorsdk.so and configDir in one folder.
include(GNUInstallDirs)
set(KESTRUN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/kestrun)
install(TARGETS kestrun RUNTIME DESTINATION ${KESTRUN_INSTALL_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/configDir DESTINATION ${KESTRUN_INSTALL_DIR})
# The display's udev rule goes where udev reads packaged rules (/usr/lib/udev/rules.d for prefix /usr).
if(NOT WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/60-kestrun-display.rules DESTINATION lib/udev/rules.d)
endif()
