# Turns a UTF-8 text file into a C++ source that defines
#   extern const unsigned char SYMBOL[];   (the whole file, NUL-terminated)
# so the document core and the command-line tool carry their tables without a resource system.

set(_ombrel_embed_script "${CMAKE_CURRENT_LIST_DIR}/EmbedTextScript.cmake")

function(ombrel_embed_text input output symbol)
    add_custom_command(
        OUTPUT "${output}"
        COMMAND "${CMAKE_COMMAND}" -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=${symbol}
                -P "${_ombrel_embed_script}"
        DEPENDS "${input}" "${_ombrel_embed_script}"
        COMMENT "Embedding ${input}"
        VERBATIM)
endfunction()
