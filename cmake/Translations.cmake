# Each subsystem registers its Chinese .ts file with pv_translation(<file> [UPDATER]);
# its English sibling (the same name with "_en" for "_zh") is registered with it.
# pv_add_qm() then compiles a list of them into one .qm in build/tr.
set(PV_TS_MAIN_ZH "" CACHE INTERNAL "")
set(PV_TS_MAIN_EN "" CACHE INTERNAL "")
set(PV_TS_UPDATER_ZH "" CACHE INTERNAL "")
set(PV_TS_UPDATER_EN "" CACHE INTERNAL "")

function(pv_translation ts_file)
  cmake_parse_arguments(arg "UPDATER" "" "" ${ARGN})
  get_filename_component(zh "${ts_file}" ABSOLUTE)
  string(REGEX REPLACE "_zh\\.ts$" "_en.ts" en "${zh}")
  set(PV_TS_MAIN_ZH ${PV_TS_MAIN_ZH} ${zh} CACHE INTERNAL "")
  if(arg_UPDATER)
    set(PV_TS_UPDATER_ZH ${PV_TS_UPDATER_ZH} ${zh} CACHE INTERNAL "")
  endif()
  if(NOT en STREQUAL zh AND EXISTS "${en}")
    set(PV_TS_MAIN_EN ${PV_TS_MAIN_EN} ${en} CACHE INTERNAL "")
    if(arg_UPDATER)
      set(PV_TS_UPDATER_EN ${PV_TS_UPDATER_EN} ${en} CACHE INTERNAL "")
    endif()
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
