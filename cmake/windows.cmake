# Windows: what the programs need at run time (Qt's libraries and plugins, the MinGW-w64
# runtime, Qt's Chinese texts, the Song face for print and PDF) lies beside them in the build
# tree, so that the tests run there under Wine, and in the installed folder, which runs as it
# lies from any folder.
# Qt's folder: the toolchain file it loads lies in <Qt>/lib/cmake/Qt6.
find_package(Qt6 REQUIRED COMPONENTS Core)
get_filename_component(qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)

set(runtime_libraries)
foreach(library Qt6Core Qt6Gui Qt6Widgets Qt6PrintSupport)
  list(APPEND runtime_libraries ${qt_prefix}/bin/${library}.dll)
endforeach()
foreach(library libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${library}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(found "${found}" ABSOLUTE)
  if(NOT EXISTS "${found}")
    message(FATAL_ERROR "The MinGW-w64 runtime ${library} is not where the compiler says")
  endif()
  list(APPEND runtime_libraries ${found})
endforeach()
set(runtime_plugins platforms/qwindows.dll platforms/qoffscreen.dll platforms/qminimal.dll
                    styles/qwindowsvistastyle.dll imageformats/qico.dll)
set(qt_translation /usr/share/qt6/translations/qtbase_zh_CN.qm)
set(song_face /usr/share/fonts/truetype/arphic/uming.ttc)
foreach(needed ${qt_translation} ${song_face})
  if(NOT EXISTS ${needed})
    message(FATAL_ERROR "${needed} is missing (Debian's qt6-translations-l10n, fonts-arphic-uming)")
  endif()
endforeach()

# Qt looks for its plugins and translations beside the program, wherever it was put.
file(WRITE ${CMAKE_BINARY_DIR}/qt.conf "[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n")

set(runtime_copies)
set(build_tree_libraries ${runtime_libraries})
if(THREADGAUGE_BUILD_TESTS)
  list(APPEND build_tree_libraries ${qt_prefix}/bin/Qt6Test.dll)  # the window's tests only
endif()
# The libraries are copied without their symbol tables, which only a debugger reads: the
# compiler's runtime alone carries 20 MB of them.
foreach(file ${build_tree_libraries})
  get_filename_component(name ${file} NAME)
  list(APPEND runtime_copies ${CMAKE_BINARY_DIR}/${name})
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${name}
                     COMMAND ${CMAKE_STRIP} --strip-all -o ${CMAKE_BINARY_DIR}/${name} ${file}
                     DEPENDS ${file} VERBATIM)
endforeach()
foreach(plugin ${runtime_plugins})
  list(APPEND runtime_copies ${CMAKE_BINARY_DIR}/${plugin})
  get_filename_component(folder ${CMAKE_BINARY_DIR}/${plugin} DIRECTORY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${plugin}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
                     COMMAND ${CMAKE_STRIP} --strip-all -o ${CMAKE_BINARY_DIR}/${plugin}
                             ${qt_prefix}/plugins/${plugin}
                     DEPENDS ${qt_prefix}/plugins/${plugin} VERBATIM)
endforeach()
foreach(pair "${qt_translation}|translations/qtbase_zh_CN.qm" "${song_face}|fonts/uming.ttc")
  string(REPLACE "|" ";" pair ${pair})
  list(GET pair 0 from)
  list(GET pair 1 to)
  list(APPEND runtime_copies ${CMAKE_BINARY_DIR}/${to})
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${to}
                     COMMAND ${CMAKE_COMMAND} -E copy ${from} ${CMAKE_BINARY_DIR}/${to}
                     DEPENDS ${from} VERBATIM)
endforeach()
add_custom_target(windows_runtime ALL DEPENDS ${runtime_copies})
# The tool that builds the database, and every test program as it is listed, run during the
# build, under Wine, beside them.
add_dependencies(tolerance_database windows_runtime)
foreach(tests tolerance_tests register_tests calculation_tests cli_tests window_tests
              shared_data_tests windows_tests)
  if(TARGET ${tests})
    add_dependencies(${tests} windows_runtime)
  endif()
endforeach()

foreach(file ${runtime_libraries})
  get_filename_component(name ${file} NAME)
  install(FILES ${CMAKE_BINARY_DIR}/${name} DESTINATION .)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/qt.conf DESTINATION .)
foreach(plugin ${runtime_plugins})
  get_filename_component(folder ${plugin} DIRECTORY)
  install(FILES ${CMAKE_BINARY_DIR}/${plugin} DESTINATION ${folder})
endforeach()
install(FILES ${qt_translation} DESTINATION translations)
install(FILES ${song_face} DESTINATION fonts)
# The face's licence as Debian's fonts-arphic-uming carries it, in English and Chinese.
set(font_doc /usr/share/doc/fonts-arphic-uming)
foreach(pair "english/ARPHICPL.TXT.gz|ARPHIC-PUBLIC-LICENSE.txt"
             "zh_CN.utf-8/ARPHICPL.txt.gz|ARPHIC-PUBLIC-LICENSE-zh_CN.txt")
  string(REPLACE "|" ";" pair ${pair})
  list(GET pair 0 from)
  list(GET pair 1 to)
  execute_process(COMMAND gzip -dc ${font_doc}/license/${from}
                  OUTPUT_FILE ${CMAKE_BINARY_DIR}/fonts-licence-${to} RESULT_VARIABLE unpacked)
  if(NOT unpacked EQUAL 0)
    message(FATAL_ERROR "${font_doc}/license/${from} cannot be read")
  endif()
  install(FILES ${CMAKE_BINARY_DIR}/fonts-licence-${to} DESTINATION fonts RENAME ${to})
endforeach()
install(FILES ${font_doc}/copyright DESTINATION fonts RENAME AR-PL-UMing-copyright.txt)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${THREADGAUGE_WINDOWS_DIR}/threadgauge.ico DESTINATION .)

# The other libraries' licences: Qt and the MinGW-w64 runtime as Debian carries them, and
# those of the libraries built into the programs (THREADGAUGE_WINDOWS_DEPS/licences).
install(FILES /usr/share/doc/libqt6core6/copyright DESTINATION licences RENAME Qt.txt)
install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright DESTINATION licences
        RENAME MinGW-w64-GCC-runtime.txt)
install(FILES /usr/share/doc/mingw-w64-common/copyright DESTINATION licences
        RENAME MinGW-w64-winpthreads.txt)
install(DIRECTORY ${THREADGAUGE_WINDOWS_DEPS}/licences/ DESTINATION licences)

# The setup program and the zip, packed from one installed tree: the zip unpacked anywhere
# runs from there. Build the programs first; `cmake --build . --target setup` packs them.
find_program(MAKENSIS makensis REQUIRED)
add_custom_target(setup
  COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DVERSION=${PROJECT_VERSION}
          -DMAKENSIS=${MAKENSIS} -DSCRIPT=${THREADGAUGE_WINDOWS_DIR}/setup.nsi
          -P ${THREADGAUGE_WINDOWS_DIR}/make-setup.cmake
  VERBATIM)
