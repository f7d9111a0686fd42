# Run by `cmake --install` (see ProgramFolder.cmake, which sets PV_DESKTOP_IN):
# writes the desktop menu entry with the launcher's installed path.
set(launcher "${CMAKE_INSTALL_PREFIX}/pixelvane-launcher")
string(REPLACE "%" "%%" launcher "${launcher}")
if(NOT launcher MATCHES "^[A-Za-z0-9/._+%-]+$")
  # A quoted argument of Exec; the string escapes apply first, so a backslash
  # takes four and the other special characters two.
  string(REPLACE "\\" "\\\\\\\\" launcher "${launcher}")
  foreach(c "\"" "`" "$")
    string(REPLACE "${c}" "\\\\${c}" launcher "${launcher}")
  endforeach()
  set(launcher "\"${launcher}\"")
endif()
file(READ "${PV_DESKTOP_IN}" entry)
string(REPLACE "@PV_LAUNCHER@" "${launcher}" entry "${entry}")
set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/pixelvane.desktop")
message(STATUS "Installing: ${target}")
file(WRITE "${target}" "${entry}")
