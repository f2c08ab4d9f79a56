# What the program's build and the build machine's tools (tools/) share: the
# language, the build type unless one is asked for, and project_options,
# which our own code links: warnings on (third-party code builds without
# them) and the source root as the place headers are found from.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

add_library(project_options INTERFACE)
target_compile_options(project_options INTERFACE -Wall -Wextra)
target_include_directories(project_options INTERFACE ${CMAKE_CURRENT_LIST_DIR}/..)
