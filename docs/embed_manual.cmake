# Turns the manual's PDF into a C++ source holding its bytes. Run as
#   cmake -DINPUT=<manual.pdf> -DOUTPUT=<file.cpp> -P embed_manual.cmake
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
# Sixteen bytes to a line, then every byte as a hexadecimal literal.
string(REGEX REPLACE "([0-9a-f]{32})" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
file(WRITE ${OUTPUT}.tmp
"// Generated from manual.pdf at build time; do not edit.\n"
"#include <cstddef>\n"
"namespace kt::docs {\n"
"extern const unsigned char kManualPdf[];\n"
"extern const std::size_t kManualPdfSize;\n"
"const unsigned char kManualPdf[] = {\n${hex}\n};\n"
"const std::size_t kManualPdfSize = ${size};\n"
"}  // namespace kt::docs\n")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
