# A runtime folder for a machine that may lack the player's libraries (the arm64 build): lib/
# beside the executable holds every shared library it needs beyond the C library, the executable
# looks there first, a launcher starts it from its own folder, and the folder is packed as one
# archive named with the version and the processor.

set(MP_LIB_DIR ${MP_RUNTIME_DIR}/lib)
set_target_properties(music-player PROPERTIES BUILD_RPATH "\$ORIGIN/lib")
# The card gets no debugging symbols.
add_custom_command(TARGET music-player POST_BUILD
    COMMAND ${CMAKE_STRIP} --strip-unneeded $<TARGET_FILE:music-player>
    VERBATIM)
# The test programs built after this point load the same bundled libraries. When they are linked
# again after the folder exists, the linker resolves the bundled libraries' own dependencies
# there too (the cross linker does not follow their $ORIGIN run paths).
set(CMAKE_BUILD_RPATH ${MP_LIB_DIR})
add_link_options(LINKER:-rpath-link,${MP_LIB_DIR})

set(MP_BUNDLE_STAMP_DIR ${CMAKE_BINARY_DIR}/stamps)
file(MAKE_DIRECTORY ${MP_BUNDLE_STAMP_DIR})
set(MP_LIBRARIES_STAMP ${MP_BUNDLE_STAMP_DIR}/libraries.stamp)
add_custom_command(OUTPUT ${MP_LIBRARIES_STAMP}
    COMMAND bash ${CMAKE_SOURCE_DIR}/tools/bundle-libraries.sh copy ${CMAKE_READELF}
        ${CMAKE_C_COMPILER} $<TARGET_FILE:music-player> ${MP_LIB_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${MP_LIBRARIES_STAMP}
    DEPENDS music-player ${CMAKE_SOURCE_DIR}/tools/bundle-libraries.sh
    COMMENT "Bundling the shared libraries into ${MP_LIB_DIR}"
    VERBATIM)

# A static FFmpeg travels with its licence (LGPL; the README says how to relink the player).
if(MP_FFMPEG_PREFIX)
    mp_stage_file(${MP_FFMPEG_PREFIX}/share/licenses/COPYING.LGPLv2.1
        resources/licenses/ffmpeg-COPYING.LGPLv2.1.txt)
    mp_stage_file(${MP_FFMPEG_PREFIX}/share/licenses/LICENSE.md
        resources/licenses/ffmpeg-LICENSE.md)
endif()

set(MP_LAUNCHER ${MP_RUNTIME_DIR}/music-player.sh)
add_custom_command(OUTPUT ${MP_LAUNCHER}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/tools/runtime-launcher.sh ${MP_LAUNCHER}
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/runtime-launcher.sh
    COMMENT "Staging the launcher"
    VERBATIM)

# The archive unpacks into a folder named music-player.
set(MP_ARCHIVE ${CMAKE_BINARY_DIR}/music-player-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR}.tar.gz)
get_filename_component(MP_RUNTIME_PARENT ${MP_RUNTIME_DIR} DIRECTORY)
get_filename_component(MP_RUNTIME_NAME ${MP_RUNTIME_DIR} NAME)
add_custom_command(OUTPUT ${MP_ARCHIVE}
    COMMAND tar -czf ${MP_ARCHIVE} -C ${MP_RUNTIME_PARENT}
        --transform "s,^${MP_RUNTIME_NAME},music-player," ${MP_RUNTIME_NAME}
    DEPENDS music-player ${MP_LIBRARIES_STAMP} ${MP_LAUNCHER} ${MP_STAGED_FILES}
    COMMENT "Packing ${MP_ARCHIVE}"
    VERBATIM)

add_custom_target(bundle ALL DEPENDS ${MP_LIBRARIES_STAMP} ${MP_LAUNCHER} ${MP_ARCHIVE})
# Programs linked against lib/ wait until it is complete: a half-copied folder would hand the
# linker a bundled library without its own dependencies.
add_custom_target(bundled_libraries DEPENDS ${MP_LIBRARIES_STAMP})

# The loader, run under the emulator, finds every library it needs in lib/ (or the C library).
if(MP_BUILD_TESTS)
    add_test(NAME bundle_libraries
        COMMAND bash ${CMAKE_SOURCE_DIR}/tools/bundle-libraries.sh check ${CMAKE_READELF}
            ${CMAKE_C_COMPILER} $<TARGET_FILE:music-player> ${MP_LIB_DIR}
            "${CMAKE_CROSSCOMPILING_EMULATOR}")
    set_tests_properties(bundle_libraries PROPERTIES LABELS bundle)
endif()
