#!/bin/sh
# Fails when a C++ file is not formatted as .clang-format says.
cd "$1" || exit 1
find src tools tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run --Werror
