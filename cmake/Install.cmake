# Installed layout: the executable, libsensorsdk.so and configDir in one folder.
include(GNUInstallDirs)
set(KESTRUN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/kestrun)
install(TARGETS kestrun RUNTIME DESTINATION ${KESTRUN_INSTALL_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/configDir DESTINATION ${KESTRUN_INSTALL_DIR})
if(TARGET sensorsdk)
  install(TARGETS sensorsdk LIBRARY DESTINATION ${KESTRUN_INSTALL_DIR})
  install(TARGETS kestrun-sensors RUNTIME DESTINATION ${KESTRUN_INSTALL_DIR})
endif()
