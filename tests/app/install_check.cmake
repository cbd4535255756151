# Installs the build into a fresh prefix and checks that the desktop
# integration is all there. Called as:
# cmake -DBUILD_DIR=<build> -DPREFIX=<folder> -P install_check.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
foreach(file bin/calvex bin/calvex-convert share/applications/calvex.desktop
        share/metainfo/example.calvex.Calvex.metainfo.xml share/dbus-1/interfaces/Calvex.ICalvex.xml
        share/icons/hicolor/48x48/apps/calvex.png share/icons/hicolor/256x256/apps/calvex.png)
  if(NOT result EQUAL 0 OR NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "cmake --install (${result}) did not install ${file}")
  endif()
endforeach()
file(READ "${PREFIX}/share/applications/calvex.desktop" desktop)
if(NOT desktop MATCHES "\nExec=calvex\n" OR NOT desktop MATCHES "\nIcon=calvex\n")
  message(FATAL_ERROR "calvex.desktop does not start calvex with its icon")
endif()
file(REMOVE_RECURSE "${PREFIX}")
