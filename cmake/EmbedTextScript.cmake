# cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=... -P EmbedTextScript.cmake
file(READ "${INPUT}" content HEX)
# Emit the bytes as hex literals: no delimiter or escape in the text can break the source.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${content}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n"
       bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT}; do not edit.\nextern const unsigned char ${SYMBOL}[];\nconst unsigned char ${SYMBOL}[] = {\n${bytes}0x00};\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
