#!/usr/bin/env bash
# Static analysis of the tool's sources: clang-tidy (.clang-tidy) and
# cppcheck (.cppcheck-suppressions). Fails on any finding.
# usage: tools/lint.sh BUILD_DIR   (a build configured with compile commands)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

sources=()
for f in src/*.cc; do
  case "$f" in
    *_test.cc|*-win32.cc) ;;  # tests use the test framework's macros; Win32 needs its headers
    *) sources+=("$f") ;;
  esac
done

echo "clang-tidy: ${#sources[@]} files"
clang-tidy -p "$build" --quiet "${sources[@]}" 2>/dev/null

echo "cppcheck: ${#sources[@]} files"
cppcheck --enable=warning,style,performance,portability --std=c++20 --inline-suppr \
  --suppressions-list=.cppcheck-suppressions --error-exitcode=1 --quiet -I src "${sources[@]}"
echo "lint: clean"
