# Turns the firmware template files into a C++ source, so the program never reads them at run time.
# Usage: cmake -DTEMPLATE_DIR=<dir> -DVARIANTS=0,1,... -DOUTPUT=<file.cpp> -P embed_templates.cmake
string(REPLACE "," ";" variants "${VARIANTS}")

set(cases "")
foreach(n IN LISTS variants)
    set(path "${TEMPLATE_DIR}/variant-${n}.hex")
    if(NOT EXISTS "${path}")
        message(FATAL_ERROR "Firmware template missing: ${path}")
    endif()
    # Read as text: file(STRINGS) would otherwise decode a HEX file into its bytes.
    file(STRINGS "${path}" lines NO_HEX_CONVERSION)
    set(text "")
    foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        if(line STREQUAL "")
            continue()
        endif()
        # Upper-case record lines only: this also keeps the raw string literal below intact.
        if(NOT line MATCHES "^:[0-9A-F]+$")
            message(FATAL_ERROR "${path}: not an upper-case record line: '${line}'")
        endif()
        string(APPEND text "${line}\n")
    endforeach()
    string(APPEND cases "    case ${n}:\n        return R\"hex(${text})hex\";\n")
endforeach()

set(source "// Generated from the firmware template files; edit those, not this.
#include \"hex/templatedata.h\"

namespace tavrin::hex::detail {

std::string_view embeddedTemplate(int variant)
{
    switch (variant) {
${cases}    }
    return {};
}

} // namespace tavrin::hex::detail
")

file(WRITE "${OUTPUT}" "${source}")
