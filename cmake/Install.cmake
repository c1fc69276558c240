# Installation in the usual places and the Debian package.
include(GNUInstallDirs)

set(ORLAMO_MANUAL_DIR ${CMAKE_INSTALL_DOCDIR}/manual)
install(TARGETS orlamo orlamo-cli modemsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Help looks for the manual in ../share/doc/orlamo/manual beside the program.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/manual/ DESTINATION ${ORLAMO_MANUAL_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.example.Orlamo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.example.Orlamo.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/orlamo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/orlamo-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME orlamo.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/man/orlamo.1 ${PROJECT_SOURCE_DIR}/packaging/man/orlamo-cli.1
              ${PROJECT_SOURCE_DIR}/packaging/man/modemsim.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The manual links the manual pages as HTML, rendered from the same sources (groff's html device).
find_program(ORLAMO_GROFF groff)
if(ORLAMO_GROFF)
    set(man_html)
    foreach(page orlamo orlamo-cli modemsim)
        set(out ${PROJECT_BINARY_DIR}/manual-man/${page}.1.html)
        add_custom_command(OUTPUT ${out}
                           COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/manual-man
                           COMMAND ${ORLAMO_GROFF} -man -Thtml -P-l ${PROJECT_SOURCE_DIR}/packaging/man/${page}.1 > ${out}
                           DEPENDS ${PROJECT_SOURCE_DIR}/packaging/man/${page}.1 VERBATIM)
        list(APPEND man_html ${out})
    endforeach()
    add_custom_target(orlamo_man_html ALL DEPENDS ${man_html})
    install(FILES ${man_html} DESTINATION ${ORLAMO_MANUAL_DIR}/man)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/completion/orlamo-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# The recorder as a systemd user service; the udev rule that keeps ModemManager off the modem.
# The unit names the programs by the prefix of the installation being made (cpack installs to /usr).
install(CODE "
    set(ORLAMO_BIN_DIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    set(ORLAMO_MANUAL_DIR_FULL \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DOCDIR}/manual\")
    configure_file(\"${PROJECT_SOURCE_DIR}/packaging/systemd/orlamo-recorder.service.in\"
                   \"${PROJECT_BINARY_DIR}/packaging/orlamo-recorder.service\" @ONLY)")
# systemd and udev look in <prefix>/lib, never in a multiarch library folder.
set(ORLAMO_SYSTEM_LIB lib)
install(FILES ${PROJECT_BINARY_DIR}/packaging/orlamo-recorder.service DESTINATION ${ORLAMO_SYSTEM_LIB}/systemd/user)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/udev/70-orlamo-modem.rules DESTINATION ${ORLAMO_SYSTEM_LIB}/udev/rules.d)

# cpack -G DEB: dependencies computed by dpkg-shlibdeps from the programs' libraries.
set(CPACK_PACKAGE_NAME orlamo)
set(CPACK_PACKAGE_VENDOR "Orlamo")
set(CPACK_PACKAGE_CONTACT "Orlamo maintainers <maintainers@orlamo.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Telephone-call recorder for voice modems")
set(CPACK_PACKAGE_DESCRIPTION
    "Orlamo records telephone calls through a voice modem: it counts the rings, shows the caller's number, records when the handset is lifted and keeps the calls as WAV files in lists, with playback, memos, search and post-processing. orlamo-cli runs the recorder without a window.")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plugins, so invisible to dpkg-shlibdeps: the window system's platform plugin.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The sound server and the desktop's hand-over to a mail program are used at run time, not linked.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, pulseaudio | pipewire-pulse")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orlamo.example.org/")
include(CPack)
