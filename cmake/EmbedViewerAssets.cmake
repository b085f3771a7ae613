# Writes OUTPUT, a C++ source defining the texts that every viewer page embeds, each as one raw string:
# THREE (three.js), ORBIT (its orbit controls), SCRIPT and STYLE (the page's own, from web/).
# Run at build time: cmake -DOUTPUT=... -DTHREE=... -DORBIT=... -DSCRIPT=... -DSTYLE=... -P EmbedViewerAssets.cmake
set(delimiter "geosig_asset")
set(source "// Generated from the files named below by cmake/EmbedViewerAssets.cmake; do not edit.\n")
string(APPEND source "#include \"ViewerAssets.h\"\n\n")
set(members _three _orbitControls _script _style)
set(names THREE ORBIT SCRIPT STYLE)
foreach(name member IN ZIP_LISTS names members)
  file(READ "${${name}}" content)
  string(FIND "${content}" ")${delimiter}\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${${name}} holds the raw string delimiter ${delimiter}")
  endif()
  # The texts go inside script and style elements, which end at the first closing tag of their kind.
  string(TOLOWER "${content}" lowered)
  string(FIND "${lowered}" "</script" closing)
  string(FIND "${lowered}" "</style" closingStyle)
  if(NOT closing EQUAL -1 OR NOT closingStyle EQUAL -1)
    message(FATAL_ERROR "${${name}} holds a closing script or style tag and cannot be embedded in a page")
  endif()
  string(APPEND source "// ${${name}}\n"
         "const char* const ViewerAssets::${member} = R\"${delimiter}(${content})${delimiter}\";\n\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "${source}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
