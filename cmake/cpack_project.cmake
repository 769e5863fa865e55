# Read by cpack for each generator (CPACK_PROJECT_CONFIG_FILE). The man page,
# and whatever else the build writes the prefix into, names the configured
# prefix: a package that installs elsewhere would send readers to the wrong
# folder.
if(CPACK_GENERATOR STREQUAL "DEB" AND
   NOT CPACK_TINTGROVE_CONFIGURED_PREFIX STREQUAL CPACK_PACKAGING_INSTALL_PREFIX)
  message(WARNING "The build is configured for ${CPACK_TINTGROVE_CONFIGURED_PREFIX}, "
          "the package installs under ${CPACK_PACKAGING_INSTALL_PREFIX}: configure "
          "with -DCMAKE_INSTALL_PREFIX=${CPACK_PACKAGING_INSTALL_PREFIX}.")
endif()
