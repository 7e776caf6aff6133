# Installs Vesk Plot where Linux desktops look for applications, and packs it
# as a Debian package (cpack -G DEB).

include(GNUInstallDirs)

set(vesk_app_id com.example.VeskPlot)

install(TARGETS vesk-plot RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vesk-plot-window vesk-plot-sound LIBRARY DESTINATION ${VESK_MODULE_DIR})
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${vesk_app_id}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${vesk_app_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/resources/icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${vesk_app_id}.svg)
foreach(size 48 256)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/resources/icon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${vesk_app_id}.png)
endforeach()
# Debian's documents: the copyright in its machine-readable form, the changelog
# and the manual page compressed as Debian's policy asks (no time stamp).
set(vesk_packaging_out ${CMAKE_CURRENT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${vesk_packaging_out})
foreach(pair "changelog;changelog.Debian.gz" "vesk-plot.1;vesk-plot.1.gz")
  list(GET pair 0 source)
  list(GET pair 1 compressed)
  add_custom_command(OUTPUT ${vesk_packaging_out}/${compressed}
    COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${source} > ${vesk_packaging_out}/${compressed}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${source})
  list(APPEND vesk_compressed ${vesk_packaging_out}/${compressed})
endforeach()
add_custom_target(vesk_documents ALL DEPENDS ${vesk_compressed})
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/packaging/copyright ${vesk_packaging_out}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${vesk_packaging_out}/vesk-plot.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME vesk-plot)
set(CPACK_PACKAGE_VENDOR "Vesk")
set(CPACK_PACKAGE_CONTACT "Vesk <vesk@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "Vesk Plot draws the graph of f(x) = x^4 + x^3 - 2x^2 + 3x over the range
you type, with both axes and a grid line at every integer, as red segments or
points at the density you choose. Any range plots at once and exactly. The
wheel, a drag and the keys explore it, with a history; the curve's roots,
minimum and inflection points are found exactly, marked and traced. Plots save
as BMP, JPEG, PNG, SVG or PDF, from the window or the command line, and a
failed save never loses the earlier file.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.vesk.example.com/")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Dependencies from the libraries the binary really links (dpkg-shlibdeps),
# and the fonts its windows use, which no library names.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-dejavu-extra")
# Wayland desktops run it with the toolkit's Wayland platform.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
# Reproducible: every date in the package is the last commit's (or the
# release's, outside a checkout), whenever and wherever it is packed: asked for
# when cpack runs, so a commit after configuring counts.
file(WRITE ${vesk_packaging_out}/cpack_dates.cmake "
execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY [[${CMAKE_CURRENT_SOURCE_DIR}]]
                OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
if(failed OR NOT date)
  set(date 1796601600)  # 2026-12-07, the release
endif()
set(ENV{SOURCE_DATE_EPOCH} \${date})
")
set(CPACK_PROJECT_CONFIG_FILE ${vesk_packaging_out}/cpack_dates.cmake)
include(CPack)
