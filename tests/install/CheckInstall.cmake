# cmake -DBUILD_DIR=... -DSTAGE=... -DPHOTO=... -DGUI=ON|OFF -DAPPSTREAM_ID=... -P CheckInstall.cmake
#
# Installs the build into STAGE as "cmake --install --prefix" does, checks
# that every file a desktop and a user need is there, and runs the installed
# renderer through its link in bin/ on PHOTO with the shipped cartoon preset.
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}
  RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(expected
  bin/lumenquilla-render
  lib/lumenquilla/lumenquilla-render
  lib/lumenquilla/cartoon.set
  lib/lumenquilla/default.set
  lib/lumenquilla/default.ctb
  share/man/man1/lumenquilla-render.1.gz)
if(GUI)
  list(APPEND expected
    bin/lumenquilla
    lib/lumenquilla/lumenquilla
    lib/lumenquilla/help/index.html
    share/applications/lumenquilla.desktop
    share/mime/packages/lumenquilla.xml
    share/metainfo/${APPSTREAM_ID}.metainfo.xml
    share/icons/hicolor/scalable/apps/lumenquilla.svg
    share/icons/hicolor/48x48/apps/lumenquilla.png
    share/man/man1/lumenquilla.1.gz)
endif()
foreach(file IN LISTS expected)
  # GNUInstallDirs may put the libraries under lib64 or a multiarch folder.
  string(REPLACE "lib/lumenquilla/" "" name ${file})
  if(NOT file STREQUAL name)
    file(GLOB_RECURSE found ${STAGE}/lib*/lumenquilla/${name})
  elseif(EXISTS ${STAGE}/${file})
    set(found ${STAGE}/${file})
  else()
    set(found "")
  endif()
  if(NOT found)
    message(FATAL_ERROR "${file} was not installed into ${STAGE}")
  endif()
endforeach()
if(NOT IS_SYMLINK ${STAGE}/bin/lumenquilla-render)
  message(FATAL_ERROR "bin/lumenquilla-render is not a link to the program beside its presets")
endif()

execute_process(COMMAND ${STAGE}/bin/lumenquilla-render -q -p cartoon ${PHOTO} ${STAGE}/cartoon.jpg
  RESULT_VARIABLE status ERROR_VARIABLE error)
if(NOT status EQUAL 0 OR NOT EXISTS ${STAGE}/cartoon.jpg)
  message(FATAL_ERROR "the installed lumenquilla-render failed (${status}): ${error}")
endif()
file(REMOVE_RECURSE ${STAGE})
