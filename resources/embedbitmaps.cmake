# cmake -DOUT=file.cpp -DITEMS=Name=path,Name=path -P embedbitmaps.cmake
string(REPLACE "," ";" ITEMS "${ITEMS}")
set(body "")
set(table "")
set(i 0)
foreach(item ${ITEMS})
  string(REPLACE "=" ";" pair ${item})
  list(GET pair 0 name)
  list(GET pair 1 path)
  file(READ ${path} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "const unsigned char b${i}[] = {${bytes}};\n")
  string(APPEND table "    if (name == \"${name}\") return {reinterpret_cast<const char*>(b${i}), sizeof b${i}};\n")
  math(EXPR i "${i} + 1")
endforeach()
file(WRITE ${OUT} "// Made from resources/art by embedbitmaps.cmake; do not edit.
#include \"resources/bitmaps.h\"

namespace resources {
namespace {
${body}}  // namespace

std::string_view BitmapResource(std::string_view name) {
${table}    return {};
}
}  // namespace resources
")
