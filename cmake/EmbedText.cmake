# Turns text files into a C++ source that holds each file's bytes, so the program carries them without
# reading anything at run time. Run as a script:
#   cmake -DOUTPUT=out.cpp -DNAMESPACE=vireo -DFILES="name1=path1,name2=path2" -P EmbedText.cmake
# Each file becomes `extern const std::string_view NAME;` in NAMESPACE.
set(content "// Generated from the text files it names; do not edit.\n#include <string_view>\n\nnamespace ${NAMESPACE} {\n")
string(REPLACE "," ";" FILES "${FILES}")
foreach(entry IN LISTS FILES)
  string(REPLACE "=" ";" parts "${entry}")
  list(GET parts 0 name)
  list(GET parts 1 path)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND content "namespace {\nconst unsigned char ${name}_bytes[] = {${bytes}0};\n}  // namespace\n")
  string(APPEND content "extern const std::string_view ${name}(reinterpret_cast<const char*>(${name}_bytes), ${size});\n")
endforeach()
string(APPEND content "}  // namespace ${NAMESPACE}\n")
file(WRITE "${OUTPUT}.tmp" "${content}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
