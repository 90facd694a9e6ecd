# What `cmake --install` (and the Debian package) puts where: the programs in
# bin/, the resource folder in share/velmora (the programs find it as
# <their folder>/../share/velmora), and what the desktop needs: the launcher,
# the icon at the theme's sizes, the project file type and the AppStream
# data.
include(GNUInstallDirs)

install(TARGETS velmora velmora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${VELMORA_RESOURCE_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/velmora)

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${packaging}/org.velmora.Velmora.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/org.velmora.Velmora.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging}/velmora-project.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME velmora.xml)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${VELMORA_RESOURCE_DIR}/icons/${size}x${size}/velmora.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The manual's pictures are what the installed program shows: its screenshot
# mode takes them, offscreen, in a user folder of its own. Taking them needs
# the tools a build needs (it makes a short DVD) and some seconds; set
# VELMORA_SKIP_MANUAL_SCREENSHOTS to install without them.
install(CODE [[
  if(DEFINED ENV{VELMORA_SKIP_MANUAL_SCREENSHOTS})
    message(STATUS "The manual's screenshots are not taken")
  else()
    set(installed "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    set(home "${CMAKE_CURRENT_BINARY_DIR}/manual-screenshots-home")
    file(REMOVE_RECURSE "${home}")
    message(STATUS "Taking the manual's screenshots")
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen "VELMORA_HOME=${home}"
              "XDG_CONFIG_HOME=${home}/config" "${installed}/bin/velmora"
              --screenshots "${installed}/share/velmora/manual/images"
      RESULT_VARIABLE failed OUTPUT_QUIET ERROR_QUIET)
    file(REMOVE_RECURSE "${home}")
    if(failed)
      message(WARNING "The manual's screenshots could not all be taken (${failed})")
    endif()
  endif()
]])
