# Run by CPack on its staging folder before it packs: the menu entry and the
# icon move from the program folder's share/ to the system's, where desktops
# look for them.
file(GLOB_RECURSE staged LIST_DIRECTORIES false
  "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PV_PREFIX}/share/*")
if(NOT staged)
  message(FATAL_ERROR "No menu entry staged under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PV_PREFIX}/share")
endif()
file(COPY "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PV_PREFIX}/share/"
  DESTINATION "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/share")
file(REMOVE_RECURSE "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PV_PREFIX}/share")
