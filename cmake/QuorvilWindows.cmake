# What every Windows build of ours needs.
enable_language(RC)

# The application icon, made from the icon's PNGs at build time (Windows
# reads PNG entries); the editor and the installer show it.
set(QUORVIL_ICON ${CMAKE_BINARY_DIR}/quorvil.ico)
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  set(icon_pngs)
  foreach(size 16 24 32 48 64 128 256)
    list(APPEND icon_pngs ${PROJECT_SOURCE_DIR}/packaging/icons/quorvil_${size}.png)
  endforeach()
  add_custom_command(OUTPUT ${QUORVIL_ICON}
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/windows/make_ico.py ${QUORVIL_ICON} ${icon_pngs}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/windows/make_ico.py ${icon_pngs} VERBATIM)
  add_custom_target(quorvil_icon DEPENDS ${QUORVIL_ICON})
else()
  message(STATUS "No Python 3: the Windows programs are built without the application icon.")
endif()

# Every Windows program of ours gets one resource script: the manifest that
# asks for the UTF-8 process code page (file names, arguments and the C
# library's narrow calls in UTF-8, Windows 10 1903 and later) and the version
# resource. quorvil_windows_executable(target [DESCRIPTION text] [ICON])
# names the program in that resource; ICON adds the application icon.
math(EXPR QUORVIL_RC_MAJOR "0${PROJECT_VERSION_MAJOR}")
math(EXPR QUORVIL_RC_MINOR "0${PROJECT_VERSION_MINOR}")
math(EXPR QUORVIL_RC_PATCH "0${PROJECT_VERSION_PATCH}")
math(EXPR QUORVIL_RC_TWEAK "0${PROJECT_VERSION_TWEAK}")
set(QUORVIL_RC_VERSION "${QUORVIL_RC_MAJOR},${QUORVIL_RC_MINOR},${QUORVIL_RC_PATCH},${QUORVIL_RC_TWEAK}")
function(quorvil_windows_executable target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "ICON" "DESCRIPTION" "")
  set(QUORVIL_RC_TARGET ${target})
  set(QUORVIL_RC_FILE_NAME ${target}${CMAKE_EXECUTABLE_SUFFIX})
  set(QUORVIL_RC_DESCRIPTION ${target})
  if(arg_DESCRIPTION)
    set(QUORVIL_RC_DESCRIPTION ${arg_DESCRIPTION})
  endif()
  set(QUORVIL_RC_MANIFEST ${PROJECT_SOURCE_DIR}/cmake/windows/utf8.manifest)
  set(QUORVIL_RC_ICON "")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  if(arg_ICON AND TARGET quorvil_icon)
    # The first icon of a program is the one Explorer and its shortcuts show.
    set(QUORVIL_RC_ICON "1 ICON \"${QUORVIL_ICON}\"")
    add_dependencies(${target} quorvil_icon)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${QUORVIL_ICON})
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  if(MSVC)
    # The manifest is ours; the linker's default one would clash with it.
    target_link_options(${target} PRIVATE /MANIFEST:NO)
  endif()
endfunction()

# windows.h would otherwise define min and max as macros.
add_compile_definitions(NOMINMAX)

if(MINGW AND CMAKE_CROSSCOMPILING)
  # Programs run under Wine or copied to a Windows machine need no DLL
  # beside them but the system's. Libraries are found as archives, not as
  # the import libraries of DLLs (zlib's), and the link ends in static mode:
  # Qt's ODBC driver switches back to -Bdynamic after its own library, which
  # would take the compiler's runtime (libstdc++, winpthread) as DLLs.
  add_link_options(-static)
  set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
  string(APPEND CMAKE_CXX_STANDARD_LIBRARIES " -Wl,-Bstatic")
  string(APPEND CMAKE_C_STANDARD_LIBRARIES " -Wl,-Bstatic")
endif()

# A cross build reaches the host's header-only libraries through a folder
# that holds them alone, since the host's include folder is Linux's.
if(CMAKE_CROSSCOMPILING)
  set(host_headers ${CMAKE_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${host_headers})
  foreach(header nlohmann SimpleIni.h)
    if(NOT EXISTS ${host_headers}/${header})
      file(CREATE_LINK /usr/include/${header} ${host_headers}/${header} SYMBOLIC)
    endif()
  endforeach()
  include_directories(SYSTEM ${host_headers})
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
endif()
