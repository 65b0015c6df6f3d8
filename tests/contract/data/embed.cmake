# Writes a C++ header holding a file's bytes: cmake -DINPUT=file -DOUTPUT=header -DNAME=symbol -P embed.cmake
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUTPUT}" "#pragma once\ninline constexpr unsigned char ${NAME}[] = {${bytes}};\n")
