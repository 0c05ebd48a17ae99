# Installation in the GNU layout: programs in bin/, their data in
# share/pelmora/ (found relative to the programs, see core/base/app_paths),
# desktop integration in share/applications, share/metainfo and share/icons,
# manual pages and documents. `cpack -G DEB` makes the Debian package from it.

# Directories made by the installation are 755 whatever the umask, as a
# package's must be.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(pelmora_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(pelmora_generated ${PROJECT_BINARY_DIR}/packaging)

install(TARGETS pelmora-check RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(shipped Languages Help Skins)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${shipped}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/pelmora
          FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()

# Compressed for good, without a time stamp, so two builds give one package.
function(pelmora_gzip source destination)
  get_filename_component(name ${source} NAME)
  set(packed ${pelmora_generated}/${name}.gz)
  add_custom_command(OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${pelmora_generated}
    COMMAND gzip -9nc ${source} > ${packed}
    DEPENDS ${source}
    COMMENT "Compressing ${name}")
  string(MAKE_C_IDENTIFIER "gzip_${name}" target)
  add_custom_target(${target} ALL DEPENDS ${packed})
  install(FILES ${packed} DESTINATION ${destination}
          PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endfunction()

pelmora_gzip(${pelmora_packaging}/man/pelmora-check.1 ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${pelmora_packaging}/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME pelmora
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${pelmora_packaging}/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
# Debian's name for the packaging's own change log.
configure_file(${pelmora_packaging}/debian/changelog ${pelmora_generated}/changelog.Debian COPYONLY)
pelmora_gzip(${pelmora_generated}/changelog.Debian ${CMAKE_INSTALL_DOCDIR})

if(TARGET Pelmora)
  install(TARGETS Pelmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  pelmora_gzip(${pelmora_packaging}/man/Pelmora.1 ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${pelmora_packaging}/${PELMORA_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  install(FILES ${pelmora_packaging}/${PELMORA_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
          PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  install(FILES ${pelmora_packaging}/${PELMORA_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  # The fixed sizes panels and menus ask for, drawn from the one picture.
  find_program(PELMORA_RSVG_CONVERT rsvg-convert REQUIRED)
  set(icons "")
  foreach(size 16 22 24 32 48 64 128 256)
    set(icon ${pelmora_generated}/icons/${size}x${size}/${PELMORA_APP_ID}.png)
    add_custom_command(OUTPUT ${icon}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${pelmora_generated}/icons/${size}x${size}
      COMMAND ${PELMORA_RSVG_CONVERT} -w ${size} -h ${size}
              -o ${icon} ${pelmora_packaging}/${PELMORA_APP_ID}.svg
      DEPENDS ${pelmora_packaging}/${PELMORA_APP_ID}.svg
      COMMENT "Drawing the ${size} px icon")
    list(APPEND icons ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endforeach()
  add_custom_target(icons ALL DEPENDS ${icons})
endif()

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelmora)
set(CPACK_PACKAGE_VENDOR "Tamsel Software")
set(CPACK_PACKAGE_CONTACT "Tamsel Software <support@tamsel.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.tamsel.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# setcap, for the postinst.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libcap2-bin)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "watch network hosts from the notification area")
# CPack puts the summary first and indents these lines itself; an empty line
# becomes the paragraph mark.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tamsel Vexmon (Pelmora) sits in the notification area and checks a list of
network hosts once per check period: IP addresses, host names and LAN
computer names by one ICMP echo request, web addresses by a TCP connection
or a GET request through a proxy. When a host goes away or comes back, the
tray menu, an event log window and a small pop-up near the tray say so.

The package also holds pelmora-check, which runs the same checks from a
terminal, a script or cron.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${pelmora_packaging}/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
