# What setup.exe declares about itself, set by the vendor at build time: the
# execution level its manifest asks Windows for, and the names and version
# its version resource shows (in the file's Properties and to deployment
# tools). The defaults are the sample product's. The test of the built
# program reads the same variables, so that a vendor's build checks its own.
#
#   cmake -S . -B build/win32 -DSETUP_PRODUCT_NAME="Ourapp 2" -DSETUP_VERSION=2.1.0.7 ...

set(SETUP_EXECUTION_LEVEL asInvoker CACHE STRING
    "The execution level the manifest requests: asInvoker, highestAvailable or requireAdministrator")
set_property(CACHE SETUP_EXECUTION_LEVEL PROPERTY STRINGS asInvoker highestAvailable requireAdministrator)
set(SETUP_PRODUCT_NAME "Halvarn 95" CACHE STRING "ProductName of the version resource")
set(SETUP_COMPANY "Halvarn Software" CACHE STRING "CompanyName of the version resource")
set(SETUP_VERSION 1.0.0.0 CACHE STRING "The version as a.b.c.d, each part 0 to 65535")
set(SETUP_COPYRIGHT "Copyright (C) 2026 Halvarn Software" CACHE STRING "LegalCopyright of the version resource")
set(SETUP_DESCRIPTION "Halvarn 95 Setup" CACHE STRING "FileDescription of the version resource")

if(NOT SETUP_EXECUTION_LEVEL MATCHES "^(asInvoker|highestAvailable|requireAdministrator)$")
    message(FATAL_ERROR "SETUP_EXECUTION_LEVEL is \"${SETUP_EXECUTION_LEVEL}\"; "
                        "it must be asInvoker, highestAvailable or requireAdministrator")
endif()

if(NOT SETUP_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "SETUP_VERSION is \"${SETUP_VERSION}\"; it must be four numbers a.b.c.d")
endif()
set(SETUP_VERSION_PARTS ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4})
foreach(part IN LISTS SETUP_VERSION_PARTS)
    # The binary version keeps each part in 16 bits; a longer number would be
    # cut without a word from the resource compiler.
    string(LENGTH "${part}" digits)
    if(digits GREATER 5 OR part GREATER 65535)
        message(FATAL_ERROR "SETUP_VERSION is \"${SETUP_VERSION}\"; each of its parts must be 0 to 65535")
    endif()
endforeach()
foreach(name IN ITEMS SETUP_PRODUCT_NAME SETUP_COMPANY SETUP_COPYRIGHT SETUP_DESCRIPTION)
    # The resource compiler reads the texts in the build's code page, and a
    # deployment tool compares them with what it was told: plain ASCII
    # reads the same everywhere.
    if(NOT "${${name}}" MATCHES "^[ -~]+$")
        message(FATAL_ERROR "${name} is \"${${name}}\"; it must be printable ASCII and not empty")
    endif()
endforeach()

# The binary FILEVERSION and PRODUCTVERSION take the parts with commas. The
# ProductVersion text drops trailing zero parts down to major.minor (1.0.0.0
# shows as 1.0, 2.1.3.0 as 2.1.3), as products show their version to people;
# the FileVersion text is the whole version.
string(REPLACE "." "," SETUP_VERSION_COMMAS "${SETUP_VERSION}")
set(SETUP_PRODUCT_VERSION_TEXT "${SETUP_VERSION}")
foreach(i RANGE 2)
    if(SETUP_PRODUCT_VERSION_TEXT MATCHES "^([0-9]+\\.[0-9]+(\\.[0-9]+)*)\\.0$")
        set(SETUP_PRODUCT_VERSION_TEXT "${CMAKE_MATCH_1}")
    endif()
endforeach()

# The texts as string literals of the resource script, where a backslash
# starts an escape and a quote is written twice.
foreach(name IN ITEMS SETUP_PRODUCT_NAME SETUP_COMPANY SETUP_COPYRIGHT SETUP_DESCRIPTION)
    string(REPLACE "\\" "\\\\" ${name}_RC "${${name}}")
    string(REPLACE "\"" "\"\"" ${name}_RC "${${name}_RC}")
endforeach()
