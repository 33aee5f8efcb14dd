# Writes a C++ source that holds the bytes of a file:
#   cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=Name -P embed_bytes.cmake
# defines  extern "C" const unsigned char Name[]  and  const unsigned long NameSize.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    " bytes "${bytes}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${name} at build time; do not edit.
extern \"C\" {
alignas(4) extern const unsigned char ${SYMBOL}[${size}] = {
    ${bytes}
};
extern const unsigned long ${SYMBOL}Size = ${size};
}
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
