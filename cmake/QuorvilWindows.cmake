# What every Windows build of ours needs.
enable_language(RC)

# File names, arguments and the C library's narrow calls in UTF-8: the
# process code page that this manifest asks for (Windows 10 1903 and later).
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/utf8.rc.in ${CMAKE_BINARY_DIR}/utf8.rc @ONLY)
function(quorvil_windows_executable target)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/utf8.rc)
  if(MSVC)
    # The manifest is ours; the linker's default one would clash with it.
    target_link_options(${target} PRIVATE /MANIFEST:NO)
  endif()
endfunction()

# windows.h would otherwise define min and max as macros.
add_compile_definitions(NOMINMAX)

if(MINGW AND CMAKE_CROSSCOMPILING)
  # Programs run under Wine need none of the compiler's DLLs beside them.
  add_link_options(-static)
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
