# Each Windows program carries its icon, its version as Explorer shows it, and a manifest
# (Windows 10 and 11, per-monitor DPI, long paths).
set(THREADGAUGE_WINDOWS_DIR ${PROJECT_SOURCE_DIR}/packaging/windows)

function(threadgauge_windows_resources target description)
  set(THREADGAUGE_RC_FILE "${target}.exe")
  set(THREADGAUGE_RC_DESCRIPTION "${description}")
  set(THREADGAUGE_ICON "${THREADGAUGE_WINDOWS_DIR}/threadgauge.ico")
  set(THREADGAUGE_MANIFEST "${THREADGAUGE_WINDOWS_DIR}/threadgauge.manifest")
  configure_file(${THREADGAUGE_WINDOWS_DIR}/version.rc.in
                 ${CMAKE_BINARY_DIR}/resources/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/resources/${target}.rc)
endfunction()

