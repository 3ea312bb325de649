# Installation and packages: the program and its manual page.
#
#   cmake --install build/release --prefix /usr/local
#   cpack --config build/release/CPackConfig.cmake   # .deb and .tar.gz
#   cpack --config build/windows-release/CPackConfig.cmake   # .zip
include(GNUInstallDirs)

install(TARGETS cardlift RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(cardlift_man_page "${PROJECT_SOURCE_DIR}/docs/cardlift.1")
find_program(CARDLIFT_GZIP gzip)
mark_as_advanced(CARDLIFT_GZIP)
if(NOT WIN32 AND CARDLIFT_GZIP)
  # Installed compressed, as Debian's manual pages are.
  set(cardlift_man_page_gz "${PROJECT_BINARY_DIR}/cardlift.1.gz")
  add_custom_command(OUTPUT "${cardlift_man_page_gz}"
    COMMAND ${CMAKE_COMMAND} -DGZIP=${CARDLIFT_GZIP} -DINPUT=${cardlift_man_page}
      -DOUTPUT=${cardlift_man_page_gz} -P ${CMAKE_CURRENT_LIST_DIR}/GzipFile.cmake
    DEPENDS "${cardlift_man_page}" "${CMAKE_CURRENT_LIST_DIR}/GzipFile.cmake"
    COMMENT "Compressing the manual page"
    VERBATIM)
  add_custom_target(cardlift_man_page ALL DEPENDS "${cardlift_man_page_gz}")
  install(FILES "${cardlift_man_page_gz}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  install(FILES "${cardlift_man_page}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CARDLIFT_PACKAGE_CONTACT "cardlift team <cardlift@localhost>"
  CACHE STRING "Maintainer named in the packages")

set(CPACK_PACKAGE_NAME cardlift)
set(CPACK_PACKAGE_VENDOR "cardlift team")
set(CPACK_PACKAGE_CONTACT "${CARDLIFT_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
  "Converts air-quality monitoring data from legacy 80-column card images into pipe-delimited transaction lines (RD, RC, RP, RA), logging every rejected card.")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  find_program(CARDLIFT_DPKG_SHLIBDEPS dpkg-shlibdeps)
  mark_as_advanced(CARDLIFT_DPKG_SHLIBDEPS)
  if(CARDLIFT_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
  endif()
endif()

include(CPack)
