# Sets up a target that uses Qt: moc for its QObject classes, and every
# conversion between bytes and QString through the one helper (cell values
# are Windows-1252 bytes, so an implicit conversion would be a silent bug).
# PUBLIC, so that whatever links a Qt library of ours is held to the same.
function(quorvil_qt_target target)
  target_compile_definitions(${target} PUBLIC QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII
                                              QT_NO_CAST_FROM_BYTEARRAY)
  set_target_properties(${target} PROPERTIES AUTOMOC ON)
endfunction()

# A static Qt (the Windows build's) links its plugins into each program, the
# platform's own by default; the window tests and the monkey run on the
# offscreen platform, so they take that one too.
function(quorvil_qt_offscreen target)
  if(TARGET Qt6::Core)
    get_target_property(core_type Qt6::Core TYPE)
    if(core_type STREQUAL "STATIC_LIBRARY")
      qt_import_plugins(${target} INCLUDE Qt6::QOffscreenIntegrationPlugin)
    endif()
  endif()
endfunction()
