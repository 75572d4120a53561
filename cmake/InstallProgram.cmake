# lq_install_program(target): installs an executable into
# LQ_INSTALL_PROGRAM_DIR, where the data files it reads from its own directory
# are installed too, and puts a relative symbolic link of the same name into
# the bin directory. The program finds its directory through /proc/self/exe,
# which names the real file, so starting it through the link still works.
function(lq_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${LQ_INSTALL_PROGRAM_DIR})

  # The paths are resolved at install time, because "cmake --install --prefix"
  # may name another prefix than the one configured. The link is relative so
  # that the installed tree can be moved or packaged.
  install(CODE "
    set(lq_program_dir \"${LQ_INSTALL_PROGRAM_DIR}\")
    set(lq_bin_dir \"${CMAKE_INSTALL_BINDIR}\")
    if(NOT IS_ABSOLUTE \"\${lq_program_dir}\")
      set(lq_program_dir \"\${CMAKE_INSTALL_PREFIX}/\${lq_program_dir}\")
    endif()
    if(NOT IS_ABSOLUTE \"\${lq_bin_dir}\")
      set(lq_bin_dir \"\${CMAKE_INSTALL_PREFIX}/\${lq_bin_dir}\")
    endif()
    file(RELATIVE_PATH lq_link_target \"\${lq_bin_dir}\"
      \"\${lq_program_dir}/$<TARGET_FILE_NAME:${target}>\")
    set(lq_link \"\$ENV{DESTDIR}\${lq_bin_dir}/$<TARGET_FILE_NAME:${target}>\")
    message(STATUS \"Installing: \${lq_link} -> \${lq_link_target}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${lq_bin_dir}\")
    file(REMOVE \"\${lq_link}\")
    file(CREATE_LINK \"\${lq_link_target}\" \"\${lq_link}\" SYMBOLIC)
  ")
endfunction()
