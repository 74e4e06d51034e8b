# Turns a file into a C++ source holding its bytes, so a module can carry its
# artwork and documents inside its one shared object. Run as
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DNAMESPACE=<ns> -DSYMBOL=<name> -P embed_bytes.cmake
# which defines `const unsigned char <ns>::<name>[]` and `<ns>::<name>Size`.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
# Sixteen bytes to a line, then every byte as a hexadecimal literal.
string(REGEX REPLACE "([0-9a-f]{32})" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
get_filename_component(source_name ${INPUT} NAME)
file(WRITE ${OUTPUT}.tmp
"// Generated from ${source_name} at build time; do not edit.\n"
"#include <cstddef>\n"
"namespace ${NAMESPACE} {\n"
"extern const unsigned char ${SYMBOL}[];\n"
"extern const std::size_t ${SYMBOL}Size;\n"
"const unsigned char ${SYMBOL}[] = {\n${hex}\n};\n"
"const std::size_t ${SYMBOL}Size = ${size};\n"
"}  // namespace ${NAMESPACE}\n")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
