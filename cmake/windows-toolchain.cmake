# 64-bit Windows with Debian's MinGW-w64 (POSIX threads, as Qt for Windows was built with).
# Qt's own toolchain file loads this one; THREADGAUGE_WINDOWS_DEPS names the folder the
# small dependencies (SQLite, libxlsxwriter, libmdb, googletest) were built into.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${THREADGAUGE_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES THREADGAUGE_WINDOWS_DEPS)
# pkg-config answers for the Windows libraries, never the system's own.
if(THREADGAUGE_WINDOWS_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} ${THREADGAUGE_WINDOWS_DEPS}/lib/pkgconfig)
endif()
