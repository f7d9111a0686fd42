# `cmake --install` lays out a complete program folder: both executables and
# the launcher (their own install rules), "tr" with the compiled translations,
# "Elements" with the starter element pictures, a "system.ini" whose "service"
# section points at the stand-in service, and "program.version", the release the
# launcher compares. An existing system.ini is kept: it holds the stored
# account, the recent folder and the version the user was told about.
#
# Beside the folder, under share/, go the desktop menu entry (it starts the
# launcher) and the application icon at the icon theme's sizes. The package
# moves those two to the system's share folder (cmake/DebMenu.cmake).

set(PV_ELEMENTS_DIR "${CMAKE_BINARY_DIR}/Elements")
if(TARGET mkelements)
  add_custom_command(OUTPUT "${PV_ELEMENTS_DIR}/.made"
    COMMAND mkelements "${PV_ELEMENTS_DIR}"
    COMMAND ${CMAKE_COMMAND} -E touch "${PV_ELEMENTS_DIR}/.made"
    DEPENDS mkelements
    COMMENT "Drawing the starter element pictures")
  # Part of every build, so that a plain build can be installed.
  add_custom_target(elements ALL DEPENDS "${PV_ELEMENTS_DIR}/.made")
  install(DIRECTORY "${PV_ELEMENTS_DIR}/" DESTINATION Elements PATTERN ".made" EXCLUDE)
else()
  add_custom_target(elements)
endif()

set(PV_SYSTEM_INI "${PROJECT_SOURCE_DIR}/resources/system.ini")
install(CODE "
  set(folder \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  if(NOT EXISTS \"\${folder}/system.ini\")
    file(COPY \"${PV_SYSTEM_INI}\" DESTINATION \"\${folder}\")
  endif()")

file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/program.version" CONTENT "${PROJECT_VERSION}\n")
install(FILES "${CMAKE_BINARY_DIR}/program.version" DESTINATION .)

# The menu entry names the launcher by the folder it is installed in.
install(CODE "set(PV_DESKTOP_IN \"${PROJECT_SOURCE_DIR}/resources/pixelvane.desktop.in\")")
install(SCRIPT "${CMAKE_CURRENT_LIST_DIR}/InstallDesktopEntry.cmake")
install(DIRECTORY "${CMAKE_BINARY_DIR}/resources/icons/" DESTINATION share/icons)

set(program_parts elements pixelvane-launcher)
foreach(t pixvane_zh_qm quillmere_zh_qm pixvane_en_qm quillmere_en_qm)
  if(TARGET ${t})
    list(APPEND program_parts ${t})
  endif()
endforeach()
add_custom_target(program_folder DEPENDS ${program_parts})
