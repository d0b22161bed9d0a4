#!/usr/bin/env bash
# Builds the program and runs every test.
# --full also runs the tests under AddressSanitizer + UndefinedBehaviorSanitizer, fuzzes the
# configuration reader for 60 seconds, builds and checks the Debian package, and runs the Windows
# stage (scripts/windows/test.sh); --windows runs the Windows stage alone.
set -euo pipefail
cd "$(dirname "$0")/.."

full=0
case "${1:-}" in
    "") ;;
    --full) full=1 ;;
    --windows) exec bash scripts/windows/test.sh ;;
    *) echo "usage: $0 [--full | --windows]" >&2; exit 2 ;;
esac

if [ $full -eq 1 ]; then
    bash scripts/install-deps.sh clang libclang-rt-14-dev clang-tidy clang-format
else
    bash scripts/install-deps.sh
fi

export QT_QPA_PLATFORM=offscreen

echo "== Messages take each user text once"
# A second .arg() reads the text the first one put in (a file name holding "%1") as its pattern.
perl -0777 -ne 'while (/\.arg(\((?:[^()]++|(?1))*\))\s*\.arg\(/g) {
    printf "%s:%d: chained .arg(): %s\n", $ARGV, 1 + (substr($_, 0, $-[0]) =~ tr/\n//), $&; $bad = 1 }
    END { exit $bad }' $(find app bench builder cli config device mainwindow notation platform tools trialwindow \
    -name '*.cpp' -o -name '*.h')

echo "== Build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure

[ $full -eq 1 ] || exit 0

echo "== Naming and layout of the sources"
# One naming rule, checked on the program's own sources (the tests' tst_ classes and _data rows
# follow Qt Test's names); every C++ file as .clang-format lays it out.
product='^(app|bench|builder|cli|config|device|mainwindow|notation|platform|tools|trialwindow)/'
git ls-files '*.cpp' | grep -E "$product" | xargs -P 2 -n 8 clang-tidy -p build --quiet \
    --checks='-*,readability-identifier-naming' --warnings-as-errors='readability-identifier-naming*' \
    --header-filter="^$PWD/(app|bench|builder|cli|config|device|mainwindow|notation|platform|tools|trialwindow)/" 2>/dev/null
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== Fuzzing the configuration reader for 60 seconds"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DQX7M_FUZZ=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build-fuzz --target fuzz_configurationfile
rm -rf build-fuzz/corpus && mkdir -p build-fuzz/corpus
if ! build-fuzz/tests/config/fuzz_configurationfile -max_total_time=60 -max_len=6001 -timeout=10 \
    -artifact_prefix=build-fuzz/ build-fuzz/corpus tests/config/fuzz-seeds >build-fuzz/fuzz.log 2>&1; then
    tail -n 40 build-fuzz/fuzz.log
    echo "The fuzzer found a failing input (saved in build-fuzz/)." >&2
    exit 1
fi
grep -E '^Done [0-9]+ runs' build-fuzz/fuzz.log || tail -n 3 build-fuzz/fuzz.log

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQX7M_SANITIZE=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure

echo "== The Debian package"
bash scripts/check-package.sh

echo "== The programs on Windows"
bash scripts/windows/test.sh
