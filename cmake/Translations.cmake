# Each subsystem registers its .ts file with pv_translation(<file> [UPDATER]);
# pv_add_qm() then compiles a list of them into one .qm in build/tr.
set(PV_TS_MAIN "" CACHE INTERNAL "")
set(PV_TS_UPDATER "" CACHE INTERNAL "")

function(pv_translation ts_file)
  cmake_parse_arguments(arg "UPDATER" "" "" ${ARGN})
  get_filename_component(abs "${ts_file}" ABSOLUTE)
  set(PV_TS_MAIN ${PV_TS_MAIN} ${abs} CACHE INTERNAL "")
  if(arg_UPDATER)
    set(PV_TS_UPDATER ${PV_TS_UPDATER} ${abs} CACHE INTERNAL "")
  endif()
endfunction()

function(pv_add_qm name)
  if(NOT ARGN)
    message(WARNING "No translation sources for ${name}")
    return()
  endif()
  set(out "${CMAKE_BINARY_DIR}/tr/${name}.qm")
  add_custom_command(OUTPUT "${out}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/tr"
    COMMAND Qt6::lrelease -silent ${ARGN} -qm "${out}"
    DEPENDS ${ARGN}
    COMMENT "Compiling translation ${name}.qm")
  add_custom_target(${name}_qm ALL DEPENDS "${out}")
  install(FILES "${out}" DESTINATION tr)
endfunction()
