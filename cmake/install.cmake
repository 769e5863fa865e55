# Installation and packages, included at the end of the top-level
# CMakeLists.txt:
#   cmake --install BUILD [--prefix DIR]
#   cpack -G DEB   (in a Linux build; installs under /usr)
#   cpack -G ZIP   (in a Windows build; one folder)
# Configure a Linux build that becomes a package with
# -DCMAKE_INSTALL_PREFIX=/usr, so that what is written into the man page
# matches where the package puts the files.
include(GNUInstallDirs)

set(tintgrove_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(tintgrove_generated ${PROJECT_BINARY_DIR}/packaging)
file(GLOB tintgrove_examples CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/*.json)

# The version resource of tintgrove.exe takes four numbers.
set(tintgrove_numbers)
foreach(part MAJOR MINOR PATCH TWEAK)
  if("${PROJECT_VERSION_${part}}" STREQUAL "")
    list(APPEND tintgrove_numbers 0)
  else()
    list(APPEND tintgrove_numbers ${PROJECT_VERSION_${part}})
  endif()
endforeach()
list(JOIN tintgrove_numbers "," TINTGROVE_VERSION_NUMBERS)
configure_file(${tintgrove_packaging}/tintgrove_version.h.in
               ${tintgrove_generated}/tintgrove_version.h @ONLY)

if(WIN32)
  # Everything in one folder: started from there, the program finds the
  # table next to it.
  set_property(SOURCE src/run/tintgrove.rc APPEND PROPERTY
               INCLUDE_DIRECTORIES ${tintgrove_generated} ${tintgrove_packaging}/icons)
  set_property(SOURCE src/run/tintgrove.rc APPEND PROPERTY OBJECT_DEPENDS
               ${tintgrove_generated}/tintgrove_version.h
               ${tintgrove_packaging}/icons/tintgrove.ico)
  configure_file(${tintgrove_packaging}/README-windows.txt
                 ${tintgrove_generated}/README.txt @ONLY NEWLINE_STYLE CRLF)
  install(TARGETS tintgrove RUNTIME DESTINATION .)
  install(FILES data/hex-bin.txt ${tintgrove_examples}
                ${tintgrove_generated}/README.txt
          DESTINATION .)
else()
  set(TINTGROVE_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/tintgrove)
  configure_file(${tintgrove_packaging}/tintgrove.1.in
                 ${tintgrove_generated}/tintgrove.1 @ONLY)
  install(TARGETS tintgrove RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES data/hex-bin.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/tintgrove)
  install(FILES ${tintgrove_examples}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/tintgrove/examples)
  install(FILES ${tintgrove_packaging}/tintgrove.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${tintgrove_generated}/tintgrove.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${tintgrove_packaging}/icons/tintgrove-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME tintgrove.png)
  endforeach()
  install(FILES ${tintgrove_packaging}/icons/tintgrove.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

set(CPACK_PACKAGE_NAME tintgrove)
set(CPACK_PACKAGE_VENDOR orlavex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "colour gradient to POV-Ray color_map converter")
# Lines of the Debian package's long description.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Tintgrove reads a colour gradient as a gradient editor writes it (.json)"
  "and writes a POV-Ray include file next to it that declares the gradient"
  "as a color_map. It asks for the file with a dialog (zenity) or in the"
  "terminal, or takes it on the command line.")
# No real address has been chosen yet: set one when making a release.
set(TINTGROVE_PACKAGE_MAINTAINER "Tintgrove maintainers <maintainers@tintgrove.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT ${TINTGROVE_PACKAGE_MAINTAINER})
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The program is linked statically: nothing is needed at run time. The
  # dialogs need zenity, rendering the result needs POV-Ray.
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "zenity, povray")
endif()
set(CPACK_TINTGROVE_CONFIGURED_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_project.cmake)
include(CPack)
