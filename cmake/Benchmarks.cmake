# Benchmark programs live in tools/bench/<name>/. Each folder has a
# CMakeLists.txt building its programs with kestrel_add_benchmark and a
# run.sh that scripts/bench calls as `sh run.sh BUILD_DIR`; run.sh prepares
# its data, runs the programs through BUILD_DIR/wine-run and prints one
# `name: value` line per figure.
add_custom_target(benchmarks)

function(kestrel_add_benchmark)
    cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${B_NAME} ${B_SOURCES})
    kestrel_warnings(${B_NAME})
    target_link_libraries(${B_NAME} PRIVATE ${B_LIBS})
    set_target_properties(${B_NAME} PROPERTIES EXCLUDE_FROM_ALL TRUE)
    add_dependencies(benchmarks ${B_NAME})
endfunction()
