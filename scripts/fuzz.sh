#!/usr/bin/env bash
# Runs the libFuzzer target of the exchange-file readers for SECONDS (default 60) under
# AddressSanitizer and UndefinedBehaviorSanitizer, in its own clang build folder (build-fuzz).
# Needs clang and libclang-rt: scripts/install-deps.sh --fuzz installs them.
# Findings are written to build-fuzz/findings; the corpus grows in build-fuzz/corpus.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELLUMAR_FUZZ_BUILD:-$root/build-fuzz}"

cmake -S "$root" -B "$build" \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELLUMAR_FUZZ=ON -DVELLUMAR_SANITIZE=ON -DVELLUMAR_BUILD_TESTS=OFF -DVELLUMAR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_exchange_readers -j "$(nproc)"

mkdir -p "$build/corpus" "$build/findings"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
"$build/fuzz/fuzz_exchange_readers" \
    -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -dict="$root/fuzz/exchange.dict" -artifact_prefix="$build/findings/" \
    "$build/corpus" "$root/fuzz/seeds"
