# cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P embed_file.cmake
# Writes the bytes of INPUT as a C++ array; a missing INPUT gives an empty one.
if(EXISTS ${INPUT})
  file(READ ${INPUT} hex HEX)
else()
  set(hex "")
endif()
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n  " bytes "${bytes}")
file(WRITE ${OUTPUT}
"// Generated from ${INPUT} by cmake/embed_file.cmake. Do not edit.
#include <cstddef>
#include <cstdint>
extern const uint8_t ${SYMBOL}[];
extern const size_t ${SYMBOL}_size;
alignas(4) const uint8_t ${SYMBOL}[${size} + 1] = {
  ${bytes}0};
const size_t ${SYMBOL}_size = ${size};
")
