# Run by morva_binary_resources: writes OUTPUT, a source file that embeds each
# of FILES (a ';'-separated list) as a resource named after the file without
# its extension, and defines `void FUNCTION()` to register them.
set(source "// Generated from files in resources/; do not edit.\n#include <cstdint>\n\n#include \"platform/Resources.h\"\n\nnamespace {\n\n")
set(entries "")
set(n 0)
foreach(file IN LISTS FILES)
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND source "const std::uint8_t kFile${n}[] = {${bytes}};\n")
  get_filename_component(name ${file} NAME_WE)
  string(APPEND entries "    {\"${name}\", kFile${n}},\n")
  math(EXPR n "${n} + 1")
endforeach()
string(APPEND source "\nconst plat::EmbeddedResource kResources[] = {\n${entries}};\n\n}  // namespace\n\n")
string(APPEND source "void ${FUNCTION}() { plat::RegisterResources(kResources); }\n")
file(WRITE ${OUTPUT} "${source}")
