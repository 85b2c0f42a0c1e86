# Helpers that keep every folder's CMakeLists short.
#
# qv_library(NAME SOURCES ... [DEPENDS targets...] [PRIVATE_DEPENDS targets...])
#   A static library whose headers are reached as "folder/header.h" from src/.
function(qv_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})
endfunction()

# qv_test(NAME SOURCES ... DEPENDS targets... [TIMEOUT seconds])
#   A GoogleTest program whose cases become CTest tests. Every case runs in
#   its own process, so cases that touch files must use their own folder.
function(qv_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPENDS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/src"
                                               "${PROJECT_SOURCE_DIR}/tests")
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock
                                          GTest::gtest_main Threads::Threads)
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT ${ARG_TIMEOUT}
                   ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# qv_bench(NAME SOURCES ... DEPENDS targets...): built, never run by CI.
function(qv_bench name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} benchmark::benchmark
                                          benchmark::benchmark_main)
endfunction()

# qv_add_layer_dirs(): adds the folders of src/layers.txt below the current
# source folder, lowest layer first; a folder takes part once it has its own
# CMakeLists.txt. A macro, so that the folders see the caller's variables.
macro(qv_add_layer_dirs)
    file(STRINGS "${PROJECT_SOURCE_DIR}/src/layers.txt" _qv_layers REGEX "^[a-z]")
    foreach(_qv_dir IN LISTS _qv_layers)
        if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${_qv_dir}/CMakeLists.txt")
            add_subdirectory(${_qv_dir})
        endif()
    endforeach()
endmacro()
