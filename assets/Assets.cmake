# Artwork and the demo library are generated at build time by programs whose sources are kept in
# tools/assets. The programs only run during the build, so they are built plain and optimised in
# every configuration (no sanitizer or fuzzer instrumentation) and compile the codec's source
# themselves instead of linking the instrumented core library.

function(mp_asset_program target)
    add_executable(${target} ${ARGN})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src
        ${CMAKE_SOURCE_DIR}/tools/assets ${CMAKE_SOURCE_DIR}/tools/assets/art)
    target_link_libraries(${target} PRIVATE mp_dependencies)
    set_target_properties(${target} PROPERTIES COMPILE_OPTIONS "-O2;-Wall;-Wextra" LINK_OPTIONS "")
endfunction()

set(MP_ASSET_KIT
    ${CMAKE_SOURCE_DIR}/tools/assets/Canvas.cpp
    ${CMAKE_SOURCE_DIR}/tools/assets/ArtOutput.cpp
    ${CMAKE_SOURCE_DIR}/src/ui/ThemeAssetCodec.cpp
    ${CMAKE_SOURCE_DIR}/src/core/Log.cpp)

# The pictures: icons/ (plain) and the scrambled skin folders.
file(GLOB MP_ART_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/assets/art/*.cpp)
mp_asset_program(mp-artgen ${CMAKE_SOURCE_DIR}/tools/assets/ArtGenerator.cpp ${MP_ART_SOURCES}
    ${MP_ASSET_KIT})
# Ninja creates the folders of a rule's outputs, the other generators do not.
set(MP_STAMP_DIR ${CMAKE_BINARY_DIR}/stamps)
file(MAKE_DIRECTORY ${MP_STAMP_DIR})
set(MP_ART_STAMP ${MP_STAMP_DIR}/artwork.stamp)
# Besides the stamp, one drawn file is named, so that a deleted runtime folder is drawn again.
add_custom_command(OUTPUT ${MP_ART_STAMP} ${MP_RUNTIME_DIR}/icons/bg.png
    COMMAND mp-artgen ${MP_RUNTIME_DIR} ${MP_UI_FONT} ${MP_COVER_FONT}
    COMMAND ${CMAKE_COMMAND} -E touch ${MP_ART_STAMP}
    DEPENDS mp-artgen
    COMMENT "Drawing the artwork"
    VERBATIM)
list(APPEND MP_STAGED_FILES ${MP_ART_STAMP})

# The demo library in music/, encoded with the ffmpeg command-line tool.
find_program(MP_FFMPEG ffmpeg REQUIRED)
file(GLOB MP_DEMO_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/assets/demo/*.cpp)
mp_asset_program(mp-demolib ${MP_DEMO_SOURCES} ${MP_ASSET_KIT})
set(MP_DEMO_WORK ${CMAKE_BINARY_DIR}/demo-library)
set(MP_DEMO_STAMP ${MP_STAMP_DIR}/demo-library.stamp)
add_custom_command(OUTPUT ${MP_DEMO_STAMP} "${MP_RUNTIME_DIR}/music/Pixel Harbor/Neon Arcade/01 Insert Coin.flac"
    COMMAND mp-demolib ${MP_RUNTIME_DIR} ${MP_DEMO_WORK} ${MP_UI_FONT} ${MP_COVER_FONT}
    COMMAND ${CMAKE_COMMAND} -E touch ${MP_DEMO_STAMP}
    DEPENDS mp-demolib
    COMMENT "Synthesizing the demo library"
    VERBATIM)
list(APPEND MP_STAGED_FILES ${MP_DEMO_STAMP})
set(MP_DEMO_COVERS ${MP_DEMO_WORK}/cover-1.png ${MP_DEMO_WORK}/cover-2.png
    ${MP_DEMO_WORK}/cover-3.png)

# Composed previews of the main screens, for judging the artwork together (not part of the build):
#   cmake --build build/<config> --target previews      → build/<config>/previews/*.png
mp_asset_program(mp-previews ${CMAKE_SOURCE_DIR}/tools/assets/preview/Previews.cpp
    ${CMAKE_SOURCE_DIR}/src/ui/ThemeAssetCodec.cpp ${CMAKE_SOURCE_DIR}/src/core/Log.cpp)
set_target_properties(mp-previews PROPERTIES EXCLUDE_FROM_ALL TRUE)
add_custom_target(previews
    COMMAND mp-previews ${MP_RUNTIME_DIR} ${CMAKE_BINARY_DIR}/previews ${MP_DEMO_COVERS}
    DEPENDS mp-previews runtime
    COMMENT "Rendering previews into ${CMAKE_BINARY_DIR}/previews"
    VERBATIM)
