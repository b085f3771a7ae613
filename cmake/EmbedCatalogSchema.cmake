# Writes OUTPUT, a header holding the text of SCHEMA as the string constant catalogSchemaSql.
file(READ ${SCHEMA} text)
file(WRITE ${OUTPUT} "#pragma once\n// Generated from ${SCHEMA} by the build: edit that file.\n"
                     "inline constexpr const char* catalogSchemaSql = R\"geosig_schema(${text})geosig_schema\";\n")
