# Stages the self-contained runtime folder next to the executable.
# Every file is produced by a rule, so an incremental build only redoes what changed.

set(MP_STAGED_FILES "")

# mp_stage_file(<source> <destination relative to the runtime folder>)
function(mp_stage_file source destination)
    set(target_path ${MP_RUNTIME_DIR}/${destination})
    add_custom_command(OUTPUT ${target_path}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${target_path}
        DEPENDS ${source}
        COMMENT "Staging ${destination}"
        VERBATIM)
    set(MP_STAGED_FILES ${MP_STAGED_FILES} ${target_path} PARENT_SCOPE)
endfunction()

# mp_stage_tree(<source directory> <destination directory relative to the runtime folder>)
function(mp_stage_tree source_dir destination_dir)
    file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE ${source_dir} ${source_dir}/*)
    foreach(file IN LISTS files)
        mp_stage_file(${source_dir}/${file} ${destination_dir}/${file})
    endforeach()
    set(MP_STAGED_FILES ${MP_STAGED_FILES} PARENT_SCOPE)
endfunction()

# Fonts come from Debian's font packages, copied with their licences.
set(MP_UI_FONT /usr/share/fonts/truetype/wqy/wqy-microhei.ttc)
set(MP_COVER_FONT /usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc)
foreach(font IN ITEMS ${MP_UI_FONT} ${MP_COVER_FONT})
    if(NOT EXISTS ${font})
        message(FATAL_ERROR "Missing font ${font}: run tools/setup.sh to install the font packages")
    endif()
endforeach()
mp_stage_file(${MP_UI_FONT} resources/font.ttf)
mp_stage_file(${MP_COVER_FONT} resources/cover.ttf)
mp_stage_file(/usr/share/doc/fonts-wqy-microhei/copyright resources/licenses/font.ttf-copyright.txt)
mp_stage_file(/usr/share/doc/fonts-noto-cjk/copyright resources/licenses/cover.ttf-copyright.txt)

# Default configuration and language files.
if(EXISTS ${CMAKE_SOURCE_DIR}/assets/config)
    mp_stage_tree(${CMAKE_SOURCE_DIR}/assets/config config)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/assets/lan)
    mp_stage_tree(${CMAKE_SOURCE_DIR}/assets/lan lan)
endif()

# Artwork, demo music and anything else the assets build adds to MP_STAGED_FILES. A cross build
# cannot run the generators it would build, so it stages what a native build generated.
if(MP_HOST_RUNTIME_DIR)
    foreach(generated IN ITEMS icons music)
        if(NOT EXISTS ${MP_HOST_RUNTIME_DIR}/${generated})
            message(FATAL_ERROR "Missing ${MP_HOST_RUNTIME_DIR}/${generated}: build the native runtime first")
        endif()
        mp_stage_tree(${MP_HOST_RUNTIME_DIR}/${generated} ${generated})
    endforeach()
elseif(EXISTS ${CMAKE_SOURCE_DIR}/assets/Assets.cmake)
    include(${CMAKE_SOURCE_DIR}/assets/Assets.cmake)
endif()

add_custom_target(runtime ALL DEPENDS ${MP_STAGED_FILES})
add_dependencies(music-player runtime)
