# `cmake --install` lays out a complete program folder: both executables (their
# own install rules), "tr" with the compiled translations, "Elements" with the
# starter element pictures, and a "system.ini" whose "service" section points at
# the stand-in service. An existing system.ini is kept: it holds the stored
# account, the recent folder and the version the user was told about.

set(PV_ELEMENTS_DIR "${CMAKE_BINARY_DIR}/Elements")
if(TARGET mkelements)
  add_custom_command(OUTPUT "${PV_ELEMENTS_DIR}/.made"
    COMMAND mkelements "${PV_ELEMENTS_DIR}"
    COMMAND ${CMAKE_COMMAND} -E touch "${PV_ELEMENTS_DIR}/.made"
    DEPENDS mkelements
    COMMENT "Drawing the starter element pictures")
  add_custom_target(elements DEPENDS "${PV_ELEMENTS_DIR}/.made")
  install(DIRECTORY "${PV_ELEMENTS_DIR}/" DESTINATION Elements PATTERN ".made" EXCLUDE)
else()
  add_custom_target(elements)
endif()

set(PV_SYSTEM_INI "${PROJECT_SOURCE_DIR}/resources/system.ini")
install(CODE "
  set(target \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/system.ini\")
  if(NOT EXISTS \"\${target}\")
    file(COPY \"${PV_SYSTEM_INI}\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}\")
  endif()")

set(program_parts elements)
foreach(t pixvane_zh_qm quillmere_zh_qm pixvane_en_qm quillmere_en_qm)
  if(TARGET ${t})
    list(APPEND program_parts ${t})
  endif()
endforeach()
add_custom_target(program_folder DEPENDS ${program_parts})
