# Writes a setup script from a template: every "{@SIZE@" at the end of a file
# record becomes "{" and the size of that file in the distribution folder, so
# the sizes always match what is shipped. The script's lines end in CR LF, as
# the setup program requires.
#   cmake -DTEMPLATE=setup.fls.in -DDIST=folder -DOUTPUT=setup.fls -P MakeSetupScript.cmake

# The template is split into lines by hand, with ";" and "\" masked first:
# file(STRINGS) drops empty lines, a ";" would split a line as a list
# separator, and a "\" at the end of a line would escape the separator.
file(READ ${TEMPLATE} content)
string(REPLACE "\\" "@BS@" content "${content}")
string(REPLACE ";" "@SC@" content "${content}")
string(REGEX REPLACE "\n$" "" content "${content}")
string(REPLACE "\n" ";" lines "${content}")

set(text "")
foreach(line IN LISTS lines)
    if(line MATCHES "^(.*)\\{@SIZE@$")
        set(path "${CMAKE_MATCH_1}")
        # The name in the distribution folder: what follows the last "\" or
        # ":", or else the path without its path code.
        string(REGEX REPLACE "^.*(@BS@|:)" "" name "${path}")
        if(name STREQUAL path)
            string(SUBSTRING "${path}" 1 -1 name)
        endif()
        if(NOT EXISTS "${DIST}/${name}")
            message(FATAL_ERROR "The setup script names ${name}, which is not in ${DIST}")
        endif()
        file(SIZE "${DIST}/${name}" size)
        set(line "${path}{${size}")
    endif()
    string(APPEND text "${line}\r\n")
endforeach()
string(REPLACE "@SC@" ";" text "${text}")
string(REPLACE "@BS@" "\\" text "${text}")
file(WRITE ${OUTPUT} "${text}")
