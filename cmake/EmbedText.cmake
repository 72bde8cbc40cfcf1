# Helpers of the scripts that compile shipped text files into the program.

# Sets <out> to a C++ raw string literal of the file's text.
function(mp_raw_string_literal file out)
    set(delimiter "mp_text")
    file(READ ${file} text)
    string(FIND "${text}" ")${delimiter}\"" clash)
    if(NOT clash EQUAL -1)
        message(FATAL_ERROR "${file} contains the raw-string delimiter )${delimiter}\"")
    endif()
    set(${out} "R\"${delimiter}(${text})${delimiter}\"" PARENT_SCOPE)
endfunction()

# Writes the source only when it changed, so an unchanged file does not rebuild the library.
function(mp_write_if_changed output source)
    if(EXISTS ${output})
        file(READ ${output} previous)
    endif()
    if(NOT "${previous}" STREQUAL "${source}")
        file(WRITE ${output} "${source}")
    endif()
endfunction()
