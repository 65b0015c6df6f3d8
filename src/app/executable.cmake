# Orvano.exe: the process entry, the program's libraries and its resources (icon group 555,
# the manifest asking for administrator rights, the version). x86 for the product, x64 for
# the tests under wine64.
enable_language(RC)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(ORVANO_MANIFEST_ARCH amd64)
else()
    set(ORVANO_MANIFEST_ARCH X86)
endif()
set(ORVANO_ICON ${CMAKE_CURRENT_LIST_DIR}/orvano.ico)
set(ORVANO_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/orvano.manifest)
configure_file(${CMAKE_CURRENT_LIST_DIR}/orvano.manifest.in ${ORVANO_MANIFEST} @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/orvano.rc.in ${CMAKE_CURRENT_BINARY_DIR}/orvano.rc @ONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/orvano.rc PROPERTIES
    OBJECT_DEPENDS "${ORVANO_ICON};${ORVANO_MANIFEST}")

add_executable(Orvano WIN32 ${CMAKE_CURRENT_LIST_DIR}/main.cpp ${CMAKE_CURRENT_BINARY_DIR}/orvano.rc)
target_link_libraries(Orvano PRIVATE orvano_app orvano_payload_resources)
# The product carries no symbols and no link time, so a build of one commit gives the same
# bytes wherever and whenever it runs (the release archive is checked for that).
target_link_options(Orvano PRIVATE $<$<CONFIG:Release>:-s> -Wl,--no-insert-timestamp)
set_target_properties(Orvano PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
