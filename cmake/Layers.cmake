# The folders of src/ are layers, each built as a library of its own, lowest first:
#   core; model; settings, audio, library; ui; nowplaying; pages; app.
# A layer sees only its own headers and those of the layers it links: each library's include
# folder holds a link to its own source folder alone, and linking a lower layer brings that
# layer's folder along. An include of a higher layer's header therefore fails to compile.

set(MP_LAYER_INCLUDE_ROOT ${CMAKE_BINARY_DIR}/layers)

# mp_add_layer(<name> [SOURCES <extra sources>...] [DEPENDS <lower layers>...])
function(mp_add_layer name)
    cmake_parse_arguments(LAYER "" "" "SOURCES;DEPENDS" ${ARGN})
    set(folder ${CMAKE_SOURCE_DIR}/src/${name})
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/src/app/main.cpp)
    set(include_dir ${MP_LAYER_INCLUDE_ROOT}/${name})
    file(MAKE_DIRECTORY ${include_dir})
    if(NOT EXISTS ${include_dir}/${name})
        file(CREATE_LINK ${folder} ${include_dir}/${name} SYMBOLIC)
    endif()
    set(target mp_${name})
    add_library(${target} STATIC ${sources} ${LAYER_SOURCES})
    target_include_directories(${target} PUBLIC ${include_dir})
    target_link_libraries(${target} PUBLIC mp_dependencies Threads::Threads)
    foreach(lower IN LISTS LAYER_DEPENDS)
        target_link_libraries(${target} PUBLIC mp_${lower})
    endforeach()
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    target_compile_definitions(${target} PRIVATE MP_VERSION="${PROJECT_VERSION}")
endfunction()
