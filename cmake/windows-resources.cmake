# The Windows resources: an icon drawn from data/molagirlik.svg at the sizes
# Explorer, the taskbar and the Start menu ask for, and a .rc for each
# program (packaging/windows/program.rc.in) naming it, its encoding, the
# project's version and the licence's copyright in Turkish.
enable_language(RC)
find_program(MOLAGIRLIK_RSVG_CONVERT rsvg-convert)
find_program(MOLAGIRLIK_ICOTOOL icotool)
if(NOT MOLAGIRLIK_RSVG_CONVERT OR NOT MOLAGIRLIK_ICOTOOL)
  message(FATAL_ERROR "The Windows programs' icon needs rsvg-convert "
    "(librsvg2-bin) and icotool (icoutils): scripts/install-deps --windows.")
endif()

set(icon ${CMAKE_BINARY_DIR}/molagirlik.ico)
set(icon_images)
foreach(size 16 24 32 48 256)
  set(image ${CMAKE_BINARY_DIR}/icon/${size}.png)
  add_custom_command(OUTPUT ${image}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icon
    COMMAND ${MOLAGIRLIK_RSVG_CONVERT} -w ${size} -h ${size}
      ${PROJECT_SOURCE_DIR}/data/molagirlik.svg -o ${image}
    DEPENDS ${PROJECT_SOURCE_DIR}/data/molagirlik.svg VERBATIM)
  list(APPEND icon_images ${image})
endforeach()
# The small images as bitmaps, which every Windows reads; the 256 px one as
# PNG, as Windows itself stores it.
list(POP_BACK icon_images large_image)
add_custom_command(OUTPUT ${icon}
  COMMAND ${MOLAGIRLIK_ICOTOOL} -c -o ${icon} ${icon_images} -r ${large_image}
  DEPENDS ${icon_images} ${large_image} VERBATIM)
add_custom_target(windows_icon DEPENDS ${icon})

# "Copyright (c) 2004-2026 The molagirlik developers", in Turkish.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE copyright REGEX "^Copyright")
string(REGEX REPLACE "^Copyright \\(c\\) ([0-9-]+) .*" "\\1" copyright_years "${copyright}")
set(copyright "Telif hakkı © ${copyright_years} molagirlik geliştiricileri (MIT lisansı)")

foreach(program molagirlik molagirlik-utf8)
  if(program STREQUAL "molagirlik")
    set(description "Molekül ağırlığı hesaplama (Türkçe harfler kod sayfası 857 ile)")
  else()
    set(description "Molekül ağırlığı hesaplama (Türkçe harfler UTF-8 ile)")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/program.rc.in
    ${CMAKE_BINARY_DIR}/${program}.rc @ONLY)
  set_source_files_properties(${CMAKE_BINARY_DIR}/${program}.rc
    PROPERTIES OBJECT_DEPENDS ${icon})
endforeach()
