# Writes OUTPUT, a C++ source defining the texts the service serves from memory, each as one raw string:
# PAGE (the search page's HTML), SCRIPT and STYLE (its own, from web/) and OPENAPI (the API's description).
# Run at build time: cmake -DOUTPUT=... -DPAGE=... -DSCRIPT=... -DSTYLE=... -DOPENAPI=... -P EmbedServeAssets.cmake
set(delimiter "geosig_asset")
set(source "// Generated from the files named below by cmake/EmbedServeAssets.cmake; do not edit.\n")
string(APPEND source "#include \"ServeAssets.h\"\n\n")
set(members _page _script _style _openApi)
set(names PAGE SCRIPT STYLE OPENAPI)
foreach(name member IN ZIP_LISTS names members)
  file(READ "${${name}}" content)
  string(FIND "${content}" ")${delimiter}\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${${name}} holds the raw string delimiter ${delimiter}")
  endif()
  string(APPEND source "// ${${name}}\n"
         "const char* const ServeAssets::${member} = R\"${delimiter}(${content})${delimiter}\";\n\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "${source}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
