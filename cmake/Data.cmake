# What the program reads beside the executable, made from data/ at build time.
#
# - data/<path>/<name>.svg           -> <build>/<path>/<name>.png (rsvg-convert, at the
#                                        drawing's own size)
# - data/<path>/<name>.frame<N>.svg  -> frames N = 0, 1, ... of <build>/<path>/<name>.png,
#                                        side by side in frame order (a state strip)
# - data/skins/generate_skin.py      -> the skin theme's pictures, animations and icons
#                                        (python3 + rsvg-convert + ImageMagick), see there
# - every other file below data/ is copied as it is, except sources: scripts (*.py),
#   notes (*.md, *.txt) and anything listed in KESTROVA_DATA_SOURCES.
# Each file is its own build step, so a change rebuilds only what depends on it.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(MAGICK_CONVERT convert REQUIRED)
find_program(PYTHON3 python3 REQUIRED)

set(KESTROVA_DATA_SOURCES "" CACHE STRING "Further data/ files that are sources, not copied")
set(DATA_DIR ${CMAKE_SOURCE_DIR}/data)
set(DATA_OUTPUTS "")

if(IS_DIRECTORY ${DATA_DIR})
  file(GLOB_RECURSE DATA_FILES CONFIGURE_DEPENDS RELATIVE ${DATA_DIR} ${DATA_DIR}/*)
  set(STRIPS "")
  foreach(rel ${DATA_FILES})
    if(rel MATCHES "\\.frame[0-9]+\\.svg$")
      string(REGEX REPLACE "\\.frame[0-9]+\\.svg$" "" strip ${rel})
      list(APPEND STRIPS ${strip})
      list(APPEND STRIP_FRAMES_${strip} ${rel})
    elseif(rel MATCHES "\\.svg$")
      string(REGEX REPLACE "\\.svg$" ".png" out ${rel})
      get_filename_component(out_dir ${CMAKE_BINARY_DIR}/${out} DIRECTORY)
      add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
        COMMAND ${RSVG_CONVERT} -f png -o ${CMAKE_BINARY_DIR}/${out} ${DATA_DIR}/${rel}
        DEPENDS ${DATA_DIR}/${rel}
        COMMENT "Rendering ${rel}" VERBATIM)
      list(APPEND DATA_OUTPUTS ${CMAKE_BINARY_DIR}/${out})
    elseif(rel MATCHES "\\.(py|md|txt)$" OR rel IN_LIST KESTROVA_DATA_SOURCES)
      # a source, not a run-time file
    else()
      add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${rel}
        COMMAND ${CMAKE_COMMAND} -E copy ${DATA_DIR}/${rel} ${CMAKE_BINARY_DIR}/${rel}
        DEPENDS ${DATA_DIR}/${rel}
        COMMENT "Copying ${rel}" VERBATIM)
      list(APPEND DATA_OUTPUTS ${CMAKE_BINARY_DIR}/${rel})
    endif()
  endforeach()

  # State strips: every frame rendered, then joined left to right.
  list(REMOVE_DUPLICATES STRIPS)
  foreach(strip ${STRIPS})
    set(frames ${STRIP_FRAMES_${strip}})
    # Natural sort, so frame10 follows frame9.
    list(SORT frames COMPARE NATURAL)
    set(pngs "")
    set(cmds "")
    foreach(f ${frames})
      string(MAKE_C_IDENTIFIER ${f} id)
      set(tmp ${CMAKE_BINARY_DIR}/CMakeFiles/data-frames/${id}.png)
      list(APPEND pngs ${tmp})
      list(APPEND cmds COMMAND ${RSVG_CONVERT} -f png -o ${tmp} ${DATA_DIR}/${f})
    endforeach()
    list(TRANSFORM frames PREPEND ${DATA_DIR}/)
    get_filename_component(out_dir ${CMAKE_BINARY_DIR}/${strip}.png DIRECTORY)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${strip}.png
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir} ${CMAKE_BINARY_DIR}/CMakeFiles/data-frames
      ${cmds}
      COMMAND ${MAGICK_CONVERT} ${pngs} -background none +append +repage
        PNG32:${CMAKE_BINARY_DIR}/${strip}.png
      DEPENDS ${frames}
      COMMENT "Rendering the strip ${strip}.png" VERBATIM)
    list(APPEND DATA_OUTPUTS ${CMAKE_BINARY_DIR}/${strip}.png)
  endforeach()

  # The skin theme's generated pictures. The script lists what it writes
  # (--outputs), so the build knows every file and reruns it only when one of its
  # sources changes.
  set(SKIN_GENERATOR ${DATA_DIR}/skins/generate_skin.py)
  if(EXISTS ${SKIN_GENERATOR})
    file(GLOB SKIN_GENERATOR_SOURCES CONFIGURE_DEPENDS ${DATA_DIR}/skins/*.py
      ${DATA_DIR}/skins/*.txt)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SKIN_GENERATOR_SOURCES})
    execute_process(COMMAND ${PYTHON3} ${SKIN_GENERATOR} --outputs
      OUTPUT_VARIABLE SKIN_OUTPUTS RESULT_VARIABLE skin_rc
      OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT skin_rc EQUAL 0)
      message(FATAL_ERROR "data/skins/generate_skin.py --outputs failed")
    endif()
    string(REPLACE "\n" ";" SKIN_OUTPUTS "${SKIN_OUTPUTS}")
    list(TRANSFORM SKIN_OUTPUTS PREPEND ${CMAKE_BINARY_DIR}/)
    add_custom_command(OUTPUT ${SKIN_OUTPUTS}
      COMMAND ${PYTHON3} ${SKIN_GENERATOR} --out ${CMAKE_BINARY_DIR}
        --work ${CMAKE_BINARY_DIR}/CMakeFiles/skin-work --rsvg ${RSVG_CONVERT} --convert ${MAGICK_CONVERT}
      DEPENDS ${SKIN_GENERATOR_SOURCES}
      COMMENT "Generating the skin theme" VERBATIM)
    list(APPEND DATA_OUTPUTS ${SKIN_OUTPUTS})
  endif()
endif()

add_custom_target(data_files ALL DEPENDS ${DATA_OUTPUTS})

# The program icon resource of Kestrova.exe comes from the generator too.
if(TARGET Kestrova AND EXISTS ${SKIN_GENERATOR})
  target_include_directories(Kestrova PRIVATE ${CMAKE_BINARY_DIR}/res)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/app/Kestrova.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/res/Kestrova.ico)
  # So are its "PNG" resources; test programs that show them link the same file.
  set_source_files_properties(${CMAKE_SOURCE_DIR}/app/KestrovaPictures.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/res/menu_record.png)
endif()
