#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/ and runs
# every test program whole, one after another, so that what one test leaves behind (a timer, a
# window, a dangling pointer) meets the tests that run after it. Fails when any program fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-sanitize
# A second run recompiles only what changed when ccache is there.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUMAR_SANITIZE=ON -DVELLUMAR_BUILD_BENCH=OFF \
    "${launcher[@]}"
cmake --build "$build" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
# Qt keeps some allocations for the life of the process; leaks are not what this run looks for.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for program in "$build"/tests/test_*; do
    name=$(basename "$program")
    # The slow programs (killed imports, the Debian package) belong to make test-slow.
    case "$name" in test_crash | test_install) continue ;; esac
    [[ -x "$program" && -f "$program" ]] || continue
    echo "== $name"
    if ! (cd "$build" && "../$program" --gtest_brief=1); then
        failed+=("$name")
    fi
done
if ((${#failed[@]})); then
    echo "Failed under the sanitizers: ${failed[*]}" >&2
    exit 1
fi
echo "Every test program passed whole under the sanitizers."
