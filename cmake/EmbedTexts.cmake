# Writes OUTPUT, a C++ source defining static members of CLASS (declared in CLASS.h), each a text
# file as one raw string: TEXTS is "member=file|member=file|...". With INLINE, the texts go inside
# script and style elements of a page, which end at the first closing tag of their kind: a text
# holding one is refused.
# Run at build time: cmake -DOUTPUT=... -DCLASS=... -DTEXTS=... [-DINLINE=ON] -P EmbedTexts.cmake
set(delimiter "geosig_asset")
set(source "// Generated from the files named below by cmake/EmbedTexts.cmake; do not edit.\n")
string(APPEND source "#include \"${CLASS}.h\"\n\n")
string(REPLACE "|" ";" texts "${TEXTS}")
foreach(text IN LISTS texts)
  string(FIND "${text}" "=" split)
  string(SUBSTRING "${text}" 0 ${split} member)
  math(EXPR start "${split} + 1")
  string(SUBSTRING "${text}" ${start} -1 path)
  file(READ "${path}" content)
  string(FIND "${content}" ")${delimiter}\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${path} holds the raw string delimiter ${delimiter}")
  endif()
  if(INLINE)
    string(TOLOWER "${content}" lowered)
    string(FIND "${lowered}" "</script" closing)
    string(FIND "${lowered}" "</style" closingStyle)
    if(NOT closing EQUAL -1 OR NOT closingStyle EQUAL -1)
      message(FATAL_ERROR "${path} holds a closing script or style tag and cannot be embedded in a page")
    endif()
  endif()
  string(APPEND source "// ${path}\n"
         "const char* const ${CLASS}::${member} = R\"${delimiter}(${content})${delimiter}\";\n\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "${source}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
