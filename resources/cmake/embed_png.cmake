# Turns one PNG into a C++ source holding its bytes. Run as
#   cmake -DINPUT=<file.png> -DOUTPUT=<file.cpp> -DID=<number> -P embed_png.cmake
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
# Sixteen bytes to a line, then every byte as a hexadecimal literal.
string(REGEX REPLACE "([0-9a-f]{32})" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
file(WRITE ${OUTPUT}.tmp
"// Generated from ${ID}.png at build time; do not edit.\n"
"#include <cstddef>\n"
"namespace kt::embedded {\n"
"extern const unsigned char kPng${ID}[];\n"
"extern const std::size_t kPng${ID}Size;\n"
"const unsigned char kPng${ID}[] = {\n${hex}\n};\n"
"const std::size_t kPng${ID}Size = ${size};\n"
"}  // namespace kt::embedded\n")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
