# Installs the built programs into one folder and packs it twice: as the setup program
# (NSIS, setup.nsi) and as a zip that runs from wherever it is unpacked.
# cmake -DBUILD_DIR=… -DVERSION=… -DMAKENSIS=… -DSCRIPT=…/setup.nsi -P make-setup.cmake
set(name threadgauge-${VERSION}-win64)
set(work ${BUILD_DIR}/setup)
set(stage ${work}/${name})
file(REMOVE_RECURSE ${work})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${stage} --strip
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

# What the setup installs, and what its uninstaller removes again: these files and no other.
file(GLOB_RECURSE files RELATIVE ${stage} ${stage}/*)
list(SORT files)
set(install_lines "")
set(remove_lines "")
set(folders "")
set(current_folder "-")
foreach(file ${files})
  get_filename_component(folder "${file}" DIRECTORY)
  string(REPLACE "/" "\\" windows_file "${file}")
  string(REPLACE "/" "\\" windows_folder "${folder}")
  if(NOT folder STREQUAL current_folder)
    set(current_folder "${folder}")
    if(folder STREQUAL "")
      string(APPEND install_lines "SetOutPath \"$INSTDIR\"\n")
    else()
      string(APPEND install_lines "SetOutPath \"$INSTDIR\\${windows_folder}\"\n")
      list(APPEND folders "${folder}")
    endif()
  endif()
  string(APPEND install_lines "File \"${stage}/${file}\"\n")
  string(APPEND remove_lines "Delete \"$INSTDIR\\${windows_file}\"\n")
endforeach()
# Deepest folders first; a folder left with files in it stays.
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING)
foreach(folder ${folders})
  string(REPLACE "/" "\\" windows_folder "${folder}")
  string(APPEND remove_lines "RMDir \"$INSTDIR\\${windows_folder}\"\n")
endforeach()
file(WRITE ${work}/install-files.nsh "${install_lines}")
file(WRITE ${work}/remove-files.nsh "${remove_lines}")

execute_process(COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${VERSION} -DSTAGE=${stage}
                        -DFILES=${work}/install-files.nsh -DUNFILES=${work}/remove-files.nsh
                        -DOUTFILE=${BUILD_DIR}/${name}-setup.exe ${SCRIPT}
                COMMAND_ERROR_IS_FATAL ANY)
# Chinese names (公差表\) are stored as UTF-8 and marked so (general purpose bit 11), which
# Windows' Explorer reads; Info-ZIP's zip does not mark them.
file(REMOVE ${BUILD_DIR}/${name}.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8
                        ${CMAKE_COMMAND} -E tar cf ${BUILD_DIR}/${name}.zip --format=zip ${name}
                WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "${BUILD_DIR}/${name}-setup.exe")
message(STATUS "${BUILD_DIR}/${name}.zip")
