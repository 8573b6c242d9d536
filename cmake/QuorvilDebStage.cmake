# Run by cpack on the staged install, before the .deb is made from it: what
# Debian's packaging tools would do to it, so that lintian finds the package
# as Debian's policy wants it. `cmake --install` keeps plain files (a man
# page or licence beside a ~/.local install reads as it is).
set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(doc "${root}/share/doc/quorvil")
if(NOT IS_DIRECTORY "${doc}")
  message(FATAL_ERROR "No staged install at ${root}")
endif()

function(gzip_in_place path)
  # -n: no name or time stamp inside, so the package is reproducible.
  execute_process(COMMAND gzip -9nf "${path}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip -9n ${path} failed")
  endif()
endfunction()

# cpack's strip keeps the compiler's notes; dh_strip removes them too.
file(GLOB programs "${root}/bin/*" "${root}/libexec/quorvil/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND "${CPACK_QUORVIL_STRIP}" --remove-section=.comment --remove-section=.note "${program}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${CPACK_QUORVIL_STRIP} ${program} failed")
  endif()
endforeach()

file(GLOB pages "${root}/share/man/man*/*.[1-9]")
foreach(page IN LISTS pages)
  gzip_in_place("${page}")
endforeach()

# The copyright file in the machine-readable format, naming the licence text
# that every Debian system holds rather than repeating it.
file(COPY_FILE "${CPACK_QUORVIL_PACKAGING_DIR}/copyright" "${doc}/copyright")

# A package without a Debian revision is native, so its changelog is
# changelog.gz, in the format of debian/changelog.
execute_process(COMMAND date -u -R -d "${CPACK_QUORVIL_RELEASE_DATE}"
                OUTPUT_VARIABLE QUORVIL_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "Cannot read the release date ${CPACK_QUORVIL_RELEASE_DATE}")
endif()
set(PROJECT_VERSION "${CPACK_PACKAGE_VERSION}")
configure_file("${CPACK_QUORVIL_PACKAGING_DIR}/changelog.in" "${doc}/changelog" @ONLY)
gzip_in_place("${doc}/changelog")

# Documents over 4 kB compressed, as Debian's policy and dh_compress have it.
file(GLOB documents "${doc}/*")
foreach(document IN LISTS documents)
  file(SIZE "${document}" size)
  if(size GREATER 4096 AND NOT document MATCHES "/copyright$|\\.gz$")
    gzip_in_place("${document}")
  endif()
endforeach()

# Modes as dh_fixperms leaves them, whatever the umask of the build or of the
# clone was: folders and programs 0755, everything else 0644.
file(GLOB_RECURSE staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(path IN LISTS staged)
  if(IS_DIRECTORY "${path}" OR path MATCHES "/(bin|libexec/quorvil)/[^/]+$")
    file(CHMOD "${path}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                     WORLD_EXECUTE)
  else()
    file(CHMOD "${path}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
endforeach()
