# cmake -DINPUT=strings.txt -DOUTPUT=TextIds.h -P TextIdsScript.cmake
# Every base id of the string table that carries a name ("300 kFindCaption<TAB>Suchen")
# becomes a constant of namespace textid.
file(STRINGS "${INPUT}" lines ENCODING UTF-8 REGEX "^[0-9]+ k[A-Za-z0-9]+\t")
set(constants "")
foreach(line IN LISTS lines)
    string(REGEX MATCH "^([0-9]+) (k[A-Za-z0-9]+)\t" matched "${line}")
    string(APPEND constants "constexpr quint16 ${CMAKE_MATCH_2} = ${CMAKE_MATCH_1};\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT}; do not edit.\n#pragma once\n\n#include <QtGlobal>\n\n// The base ids of the texts the program names in its code.\nnamespace textid {\n${constants}} // namespace textid\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
