#!/bin/sh
# Test driver for the mutation runs: the same fixtures, with Wine's heap
# checks on. Usage: sh run_robustness.sh WINE_RUN PROGRAM BUILD_DIR
HEAP_CHECKS=1 exec sh "$(dirname "$0")/run_ui_core_tests.sh" "$@"
