# What `cmake --install` places on Linux: the two programs, the definition files and pages
# they look for in share/hushvault, and what the desktop needs to offer them (menu entry,
# icon, .vlt type, AppStream data, man pages, completion, file manager actions).
set(HUSHVAULT_APP_ID io.github.hushvault.Hushvault)
set(hushvault_data ${CMAKE_INSTALL_DATADIR}/hushvault)

if(TARGET hushvault)
  install(TARGETS hushvault RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET hushvault-cli)
  install(TARGETS hushvault-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(WIN32)
  file(GLOB config_files ${PROJECT_SOURCE_DIR}/config/windows/*.cln
       ${PROJECT_SOURCE_DIR}/config/windows/*.pick)
  install(FILES ${config_files} DESTINATION ${hushvault_data})
  return()
endif()
file(GLOB config_files ${PROJECT_SOURCE_DIR}/config/*.cln ${PROJECT_SOURCE_DIR}/config/*.pick)
install(FILES ${config_files} DESTINATION ${hushvault_data})

set(dist ${PROJECT_SOURCE_DIR}/dist)
install(FILES ${dist}/desktop/${HUSHVAULT_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${dist}/desktop/${HUSHVAULT_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${dist}/desktop/hushvault.mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${HUSHVAULT_APP_ID}.xml)
install(FILES ${PROJECT_SOURCE_DIR}/docs/hushvault.1 ${PROJECT_SOURCE_DIR}/docs/hushvault-cli.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${dist}/bash-completion/hushvault-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(PROGRAMS "${dist}/nautilus/Encrypt with Hushvault" "${dist}/nautilus/Wipe with Hushvault"
        DESTINATION ${hushvault_data}/nautilus)
install(FILES ${dist}/dolphin/hushvault.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/kio/servicemenus)
install(FILES ${dist}/systemd/hushvault-clean.service ${dist}/systemd/hushvault-clean.timer
        DESTINATION ${hushvault_data}/systemd)

# The icon: the scalable drawing, and the sizes menus ask for drawn from it.
set(icon_svg ${dist}/icons/${HUSHVAULT_APP_ID}.svg)
set(hicolor ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${icon_svg} DESTINATION ${hicolor}/scalable/apps)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(icon_pngs "")
foreach(size 16 24 32 48 64 128 256)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}/${HUSHVAULT_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg}
    DEPENDS ${icon_svg} VERBATIM)
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION ${hicolor}/${size}x${size}/apps)
endforeach()
add_custom_target(hushvault_icons ALL DEPENDS ${icon_pngs})
