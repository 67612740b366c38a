# The Debian package: `cpack -G DEB` in the build folder, or scripts/package-deb.sh for the whole
# run. It carries what `cmake --install` puts under /usr (cmake/Install.cmake) and the Debian
# files below.
if(WIN32)
  return()
endif()

set(KESTRUN_PACKAGE_MAINTAINER "Kestrun <packages@kestrun.example>" CACHE STRING
    "Maintainer field of the Debian package")
set(KESTRUN_PACKAGE_HOMEPAGE "https://kestrun.example/" CACHE STRING
    "Homepage field of the Debian package")

set(debian_dir ${PROJECT_SOURCE_DIR}/packaging/debian)
set(KESTRUN_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/kestrun)

# Debian wants the changelog and manual pages compressed at maximum, without a time stamp in the
# header so the package builds the same twice.
set(compressed_dir ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${compressed_dir})
function(kestrun_gzip source target)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  execute_process(COMMAND gzip -9nc ${source} OUTPUT_FILE ${target} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${source}: ${failed}")
  endif()
endfunction()
kestrun_gzip(${debian_dir}/changelog ${compressed_dir}/changelog.gz)
install(FILES ${debian_dir}/copyright ${compressed_dir}/changelog.gz DESTINATION ${KESTRUN_DOC_DIR})
foreach(page kestrun.1 kestrun-sensors.1)
  kestrun_gzip(${PROJECT_SOURCE_DIR}/packaging/linux/${page} ${compressed_dir}/${page}.gz)
  install(FILES ${compressed_dir}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrun)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${KESTRUN_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# kestrun_<version>_<arch>.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_KESTRUN_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebStrip.cmake)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KESTRUN_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KESTRUN_PACKAGE_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "desktop hardware monitor that feeds a USB display
Kestrun reads the CPU and GPU sensors once a second (temperatures, usage,
clocks, power and fans, with memory and disk use) and shows them in a branded
window and a tray icon. While its USB HID display (vendor 5131, product 2007)
is plugged in, it sends the display the same figures with the date and time.
The package also carries kestrun-sensors, which lists the sensors Kestrun sees
and why a figure has no source, and the udev rule that lets the user at the
seat write to the display.")
# Depends from the binaries' own libraries; libsensorsdk.so is the package's own, found in its
# private folder (dpkg-shlibdeps runs in the staging folder).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CPACK_PACKAGING_INSTALL_PREFIX}/${KESTRUN_INSTALL_DIR})
string(REGEX REPLACE "^/" "" CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
       ${CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS})
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${debian_dir}/postinst ${debian_dir}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
