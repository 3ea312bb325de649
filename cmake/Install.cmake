# Installation, the manual page and the packages.
#
#   cmake --install build/release --strip --prefix /usr/local
#   cpack --config build/release/CPackConfig.cmake            # .deb and .tar.gz
#   cpack --config build/windows-release/CPackConfig.cmake    # .zip
#
# The .deb's maintainer: -DCARDLIFT_PACKAGE_CONTACT="Name <address>" at the
# first configure; without it DEBFULLNAME and DEBEMAIL are used when set.
include(GNUInstallDirs)

set(cardlift_man_page "${PROJECT_SOURCE_DIR}/docs/cardlift.1")
find_program(CARDLIFT_GZIP gzip)
find_program(CARDLIFT_GROFF groff)
mark_as_advanced(CARDLIFT_GZIP CARDLIFT_GROFF)

if(NOT "$ENV{DEBEMAIL}" STREQUAL "")
  if(NOT "$ENV{DEBFULLNAME}" STREQUAL "")
    set(cardlift_default_contact "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
  else()
    set(cardlift_default_contact "cardlift maintainers <$ENV{DEBEMAIL}>")
  endif()
else()
  # A reserved domain: a package for others should name a real address.
  set(cardlift_default_contact "cardlift maintainers <maintainers@cardlift.example>")
endif()
set(CARDLIFT_PACKAGE_CONTACT "${cardlift_default_contact}"
  CACHE STRING "Maintainer named in the packages, as Name <address>")
# Earlier builds cached a local address that no mail reaches.
if(CARDLIFT_PACKAGE_CONTACT STREQUAL "cardlift team <cardlift@localhost>")
  set(CARDLIFT_PACKAGE_CONTACT "${cardlift_default_contact}" CACHE STRING
    "Maintainer named in the packages, as Name <address>" FORCE)
endif()

# Makes `output` from `input` at build time with `script`, a script of this
# folder run by cmake -P that reads -DINPUT and writes -DOUTPUT; any further
# arguments are more -D settings for it.
function(cardlift_script_output output input script comment)
  set(script "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${script}")
  add_custom_command(OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} ${ARGN} -DINPUT=${input} -DOUTPUT=${output} -P ${script}
    DEPENDS "${input}" "${script}"
    COMMENT "${comment}"
    VERBATIM)
endfunction()

if(WIN32)
  # A flat folder for Windows users: the program, a README, the licence
  # and the manual as plain text in its Windows form (TextForWindows.cmake),
  # all with CRLF line ends.
  install(TARGETS cardlift RUNTIME DESTINATION .)
  set(cardlift_windows_texts
    "${PROJECT_SOURCE_DIR}/packaging/windows/README.txt=README.txt"
    "${PROJECT_SOURCE_DIR}/LICENSE=LICENSE.txt"
    "${PROJECT_SOURCE_DIR}/NOTICE=NOTICE.txt")
  set(cardlift_windows_outputs "")
  foreach(pair IN LISTS cardlift_windows_texts)
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 name)
    set(target_file "${PROJECT_BINARY_DIR}/windows-texts/${name}")
    cardlift_script_output("${target_file}" "${source}" TextForWindows.cmake
      "Writing ${name} with CRLF line ends")
    list(APPEND cardlift_windows_outputs "${target_file}")
  endforeach()
  if(CARDLIFT_GROFF)
    set(target_file "${PROJECT_BINARY_DIR}/windows-texts/cardlift.txt")
    cardlift_script_output("${target_file}" "${cardlift_man_page}" TextForWindows.cmake
      "Rendering the manual for Windows as plain text" -DGROFF=${CARDLIFT_GROFF})
    list(APPEND cardlift_windows_outputs "${target_file}")
  else()
    message(WARNING "groff not found: the Windows package will lack the manual (cardlift.txt)")
  endif()
  add_custom_target(cardlift_windows_texts ALL DEPENDS ${cardlift_windows_outputs})
  install(FILES ${cardlift_windows_outputs} DESTINATION .)
else()
  install(TARGETS cardlift RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  # The manual page and the changelog are installed compressed, as Debian
  # wants them; the copyright file is Debian's machine-readable form.
  set(cardlift_changelog "${PROJECT_BINARY_DIR}/changelog")
  cardlift_script_output("${cardlift_changelog}" "${PROJECT_SOURCE_DIR}/CHANGELOG.md"
    DebianChangelog.cmake "Writing the changelog in Debian's form"
    -DPACKAGE=cardlift "-DMAINTAINER=${CARDLIFT_PACKAGE_CONTACT}")
  set(cardlift_compressed "")
  foreach(pair IN ITEMS "${cardlift_man_page}=cardlift.1.gz" "${cardlift_changelog}=changelog.gz")
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 name)
    set(target_file "${PROJECT_BINARY_DIR}/${name}")
    if(CARDLIFT_GZIP)
      cardlift_script_output("${target_file}" "${source}" GzipFile.cmake "Compressing ${name}"
        -DGZIP=${CARDLIFT_GZIP})
      list(APPEND cardlift_compressed "${target_file}")
    else()
      list(APPEND cardlift_compressed "${source}")
    endif()
  endforeach()
  list(GET cardlift_compressed 0 cardlift_installed_man_page)
  list(GET cardlift_compressed 1 cardlift_installed_changelog)
  add_custom_target(cardlift_compressed_docs ALL DEPENDS ${cardlift_compressed})
  install(FILES "${cardlift_installed_man_page}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES "${cardlift_installed_changelog}" "${PROJECT_SOURCE_DIR}/packaging/debian/copyright"
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES "${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides"
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME cardlift)
endif()

set(CPACK_PACKAGE_NAME cardlift)
set(CPACK_PACKAGE_VENDOR "The cardlift authors")
set(CPACK_PACKAGE_CONTACT "${CARDLIFT_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "air-quality card image to transaction converter")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # CPack puts the summary in front as the synopsis line.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "cardlift converts air-quality monitoring data from legacy 80-column card
images, one per line, into pipe-delimited transaction lines (RD, RC, RP
and RA records). Every card that cannot be converted is shown on the
console and written to an error log with the reason, and a summary counts
the cards read, the errors and the lines written.")
  find_program(CARDLIFT_DPKG_SHLIBDEPS dpkg-shlibdeps)
  mark_as_advanced(CARDLIFT_DPKG_SHLIBDEPS)
  if(CARDLIFT_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
  endif()
endif()

include(CPack)
