# Installs the build into a fresh prefix and checks that the desktop
# integration is all there. Called as:
# cmake -DBUILD_DIR=<build> -DPREFIX=<folder> -P install_check.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
set(id example.calvex.calvex)
foreach(file bin/calvex bin/calvex-convert share/applications/${id}.desktop
        share/metainfo/${id}.metainfo.xml share/dbus-1/interfaces/Calvex.ICalvex.xml
        share/dbus-1/services/Calvex.Application.service
        share/icons/hicolor/48x48/apps/${id}.png share/icons/hicolor/256x256/apps/${id}.png
        share/man/man1/calvex.1.gz share/man/man1/calvex-convert.1.gz)
  if(NOT result EQUAL 0 OR NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "cmake --install (${result}) did not install ${file}")
  endif()
endforeach()
file(READ "${PREFIX}/share/applications/${id}.desktop" desktop)
if(NOT desktop MATCHES "\nExec=calvex\n" OR NOT desktop MATCHES "\nIcon=${id}\n")
  message(FATAL_ERROR "${id}.desktop does not start calvex with its icon")
endif()
# The service file starts the calvex of this prefix, not of the configured one.
file(READ "${PREFIX}/share/dbus-1/services/Calvex.Application.service" service)
string(FIND "${service}" "\nExec=${PREFIX}/bin/calvex /Automation\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the service file does not start ${PREFIX}/bin/calvex:\n${service}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
