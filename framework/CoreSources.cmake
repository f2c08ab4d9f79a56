# The sources of framework_core: the component model, the streaming of
# components and the types of the designs' values, which know no windows.
# The program's build and the build machine's tools (tools/CMakeLists.txt)
# both take them from here.
set(FRAMEWORK_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Collection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Component.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DesignTypes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StringList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TypeInfo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Writer.cpp
)
