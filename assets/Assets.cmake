# Artwork and the demo library are generated at build time by programs whose sources are kept in
# tools/assets. The programs only run during the build, so they are built plain and optimised in
# every configuration (no sanitizer or fuzzer instrumentation) and link the codec's source
# directly instead of the instrumented core library.

file(GLOB MP_ART_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/tools/assets/*.cpp
    ${CMAKE_SOURCE_DIR}/tools/assets/art/*.cpp)
add_executable(mp-artgen ${MP_ART_SOURCES}
    ${CMAKE_SOURCE_DIR}/src/ui/ThemeAssetCodec.cpp
    ${CMAKE_SOURCE_DIR}/src/app/Log.cpp)
target_include_directories(mp-artgen PRIVATE
    ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tools/assets ${CMAKE_SOURCE_DIR}/tools/assets/art)
target_link_libraries(mp-artgen PRIVATE PkgConfig::MP_DEPS)
set_target_properties(mp-artgen PROPERTIES COMPILE_OPTIONS "-O2;-Wall;-Wextra" LINK_OPTIONS "")

set(MP_ART_STAMP ${CMAKE_BINARY_DIR}/stamps/artwork.stamp)
add_custom_command(OUTPUT ${MP_ART_STAMP}
    COMMAND mp-artgen ${MP_RUNTIME_DIR} ${MP_UI_FONT} ${MP_COVER_FONT}
    COMMAND ${CMAKE_COMMAND} -E touch ${MP_ART_STAMP}
    DEPENDS mp-artgen
    COMMENT "Drawing the artwork"
    VERBATIM)
list(APPEND MP_STAGED_FILES ${MP_ART_STAMP})

# Composed previews of the main screens, for judging the artwork together (not part of the build):
#   cmake --build build/<config> --target previews      → build/<config>/previews/*.png
add_executable(mp-previews EXCLUDE_FROM_ALL
    ${CMAKE_SOURCE_DIR}/tools/assets/preview/Previews.cpp
    ${CMAKE_SOURCE_DIR}/src/ui/ThemeAssetCodec.cpp
    ${CMAKE_SOURCE_DIR}/src/app/Log.cpp)
target_include_directories(mp-previews PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(mp-previews PRIVATE PkgConfig::MP_DEPS)
set_target_properties(mp-previews PROPERTIES COMPILE_OPTIONS "-O2;-Wall;-Wextra" LINK_OPTIONS "")
add_custom_target(previews
    COMMAND mp-previews ${MP_RUNTIME_DIR} ${CMAKE_BINARY_DIR}/previews ${MP_DEMO_COVERS}
    DEPENDS mp-previews runtime
    COMMENT "Rendering previews into ${CMAKE_BINARY_DIR}/previews"
    VERBATIM)
