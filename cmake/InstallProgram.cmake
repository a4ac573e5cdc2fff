# How both programs are installed: each keeps the tree it has in the build (the program, with
# the help pages beside velmo) under lib/velmo, and a relative link to it goes where programs
# are looked for. Under /usr and /usr/local, the FHS places of games, that is games/ (the
# package's /usr/games); under any other prefix bin/, which is on the user's PATH. The choice is
# made when installing, as the prefix is only known then (cmake --install --prefix, cpack).
#
# Beside the installed programs lies the marker velmo.installed: a program that finds it keeps
# its settings in the user's configuration folder (src/settings/settings_location.h).
#
#   velmo_install_program(<target>)

include(GNUInstallDirs)
set(VELMO_INSTALL_PROGRAM_DIR lib/velmo)

function(velmo_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${VELMO_INSTALL_PROGRAM_DIR})
  install(CODE "
    if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\" OR CMAKE_INSTALL_PREFIX STREQUAL \"/usr/local\")
      set(link_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/games\")
    else()
      set(link_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    endif()
    file(MAKE_DIRECTORY \"\${link_dir}\")
    file(CREATE_LINK ../${VELMO_INSTALL_PROGRAM_DIR}/${target} \"\${link_dir}/${target}\" SYMBOLIC)
    message(STATUS \"Linking: \${link_dir}/${target}\")")
endfunction()

file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/velmo.installed @ONLY CONTENT
"This folder holds an installed Velmo Cube. Installed, the program keeps its settings in
the user's configuration folder ($XDG_CONFIG_HOME/velmo/velmo.ini, else
~/.config/velmo/velmo.ini); a velmo.ini put here is read as every user's starting point.
")
install(FILES ${PROJECT_BINARY_DIR}/velmo.installed DESTINATION ${VELMO_INSTALL_PROGRAM_DIR})
