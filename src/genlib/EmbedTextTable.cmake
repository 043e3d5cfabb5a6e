# Compiles a text table (.tsv) into the library as a byte array.
#
# Included from a CMakeLists.txt it defines
#   qor_embed_text_table(INPUT <file.tsv> OUTPUT <file.cpp> SYMBOL <name>)
# which regenerates OUTPUT whenever INPUT changes. The generated file defines, in
# namespace qor::detail,
#   extern const unsigned char <name>[];      // the file's bytes, NUL-terminated
#   extern const std::size_t <name>Size;      // number of bytes without the NUL
# Run as a script (cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=... -P this file) it writes
# OUTPUT. The bytes are copied unchanged, so the texts keep every blank and UTF-8
# sequence exactly as they stand in the table.

if(CMAKE_SCRIPT_MODE_FILE)
  if(NOT INPUT OR NOT OUTPUT OR NOT SYMBOL)
    message(FATAL_ERROR "EmbedTextTable: INPUT, OUTPUT and SYMBOL are required")
  endif()
  file(READ "${INPUT}" _hex HEX)
  string(LENGTH "${_hex}" _hexlen)
  math(EXPR _size "${_hexlen} / 2")
  # Sixteen bytes a line keeps the generated file readable.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _bytes "${_hex}")
  string(REPEAT "0x[0-9a-f][0-9a-f]," 16 _line)
  string(REGEX REPLACE "(${_line})" "\\1\n    " _bytes "${_bytes}")
  get_filename_component(_name "${INPUT}" NAME)
  file(WRITE "${OUTPUT}.tmp"
"// Generated at build time from ${_name}; edit the table, not this file.
#include <cstddef>

namespace qor::detail {

extern const unsigned char ${SYMBOL}[] = {
    ${_bytes}0x00};
extern const std::size_t ${SYMBOL}Size = ${_size};

}  // namespace qor::detail
")
  file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
  return()
endif()

set(QOR_EMBED_TEXT_TABLE_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")

function(qor_embed_text_table)
  cmake_parse_arguments(ARG "" "INPUT;OUTPUT;SYMBOL" "" ${ARGN})
  add_custom_command(
    OUTPUT "${ARG_OUTPUT}"
    COMMAND ${CMAKE_COMMAND} -DINPUT=${ARG_INPUT} -DOUTPUT=${ARG_OUTPUT} -DSYMBOL=${ARG_SYMBOL}
            -P "${QOR_EMBED_TEXT_TABLE_SCRIPT}"
    DEPENDS "${ARG_INPUT}" "${QOR_EMBED_TEXT_TABLE_SCRIPT}"
    COMMENT "Embedding text table ${ARG_INPUT}"
    VERBATIM)
endfunction()
