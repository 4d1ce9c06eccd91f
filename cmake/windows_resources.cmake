# Windows resources for the program: the icon (made from the project's SVG at
# build time) that Explorer, the title bar and the taskbar show, and the
# version information Explorer's properties page shows.

enable_language(RC)

find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ICOTOOL icotool REQUIRED)

function(corvala_add_windows_resources target)
    set(svg ${PROJECT_SOURCE_DIR}/data/corvala.svg)
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/windows)
    set(ico ${dir}/corvala.ico)
    set(pngs)
    foreach(size 16 24 32 48 64 256)
        list(APPEND pngs ${dir}/corvala-${size}.png)
        add_custom_command(OUTPUT ${dir}/corvala-${size}.png
            COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
            COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${dir}/corvala-${size}.png ${svg}
            DEPENDS ${svg} VERBATIM)
    endforeach()
    # The largest size goes in PNG-compressed, as Windows expects it.
    list(POP_BACK pngs big)
    add_custom_command(OUTPUT ${ico}
        COMMAND ${ICOTOOL} -c -o ${ico} ${pngs} -r ${big}
        DEPENDS ${pngs} ${big} VERBATIM)

    set(CORVALA_ICON_FILE ${ico})
    set(CORVALA_VERSION_COMMA ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0)
    configure_file(${PROJECT_SOURCE_DIR}/data/corvala.rc.in ${dir}/corvala.rc @ONLY)
    set_source_files_properties(${dir}/corvala.rc PROPERTIES OBJECT_DEPENDS ${ico})
    target_sources(${target} PRIVATE ${dir}/corvala.rc)
endfunction()
