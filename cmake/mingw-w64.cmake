# Cross-building the Qt-free part for 64-bit Windows with Debian's MinGW-w64
# (the POSIX-threads variant, for std::thread) and running what it builds
# under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The host's .pc files describe Linux libraries.
set(ENV{PKG_CONFIG_LIBDIR} /usr/x86_64-w64-mingw32/lib/pkgconfig)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
# A prefix of Windows libraries built here (scripts/windows-qt.sh: Qt,
# libxlsxwriter), given as CMAKE_PREFIX_PATH: searched like the compiler's
# own folder, its .pc files before the compiler's.
foreach(prefix IN LISTS CMAKE_PREFIX_PATH)
  list(APPEND CMAKE_FIND_ROOT_PATH ${prefix})
  set(ENV{PKG_CONFIG_LIBDIR} "${prefix}/lib/pkgconfig:$ENV{PKG_CONFIG_LIBDIR}")
endforeach()
# Such a Qt runs its tools (moc, rcc, uic) from the host's Qt of the same
# version.
if(CMAKE_PREFIX_PATH AND NOT DEFINED QT_HOST_PATH)
  file(GLOB host_qt_info /usr/lib/*/cmake/Qt6HostInfo /usr/lib/cmake/Qt6HostInfo)
  if(host_qt_info)
    list(GET host_qt_info 0 host_qt_info)
    get_filename_component(QT_HOST_PATH_CMAKE_DIR ${host_qt_info} DIRECTORY)
    set(QT_HOST_PATH /usr)
  endif()
endif()
