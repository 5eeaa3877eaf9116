#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz-clang/ and runs each one, two at a time,
# from a seed corpus made of the project's own sample files.
#   scripts/fuzz.sh [SECONDS]   seconds per target, 60 by default
# A crash, a sanitizer report, a broken invariant or an input that runs longer than 10 s
# fails the run; the input is kept as build-fuzz-clang/artifacts/TARGET-crash-* and can be
# replayed with build-fuzz-clang/bin/TARGET FILE. Inputs found along the way are kept in
# build-fuzz-clang/corpus/ and reused by the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/install-deps.sh
ct_install_missing_packages

seconds="${1:-60}"
build_dir=build-fuzz-clang
targets=(bvhimporter_fuzz scenejsonreader_fuzz settingsdocument_fuzz scriptparser_fuzz
         rigjsonimporter_fuzz skeletonfile_fuzz)

cmake_args=(-DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug
            "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -gline-tables-only" -DCT_WERROR=ON -DCT_BUILD_FUZZ=ON
            -DCT_BUILD_TESTS=OFF -DCT_BUILD_BENCH=OFF)
if command -v ccache >/dev/null; then
    cmake_args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build_dir" "${cmake_args[@]}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target "${targets[@]}"

# Seeds. Some targets read their first byte as a choice: the BVH target the frame to import
# (1 asks for frame 0), the rig target the up axis (0: the file's), the skeleton-file target
# the format (0 gltf, 1 glb, 2 fbx, 3 dae, 4 ase).
seed() {
    local target="$1"
    shift
    mkdir -p "$build_dir/corpus/$target"
    local file prefix
    for file in "$@"; do
        [ -f "$file" ] || continue
        case "$target:${file##*.}" in
            bvhimporter_fuzz:*) prefix='\001' ;;
            rigjsonimporter_fuzz:*) prefix='\000' ;;
            skeletonfile_fuzz:gltf) prefix='\000' ;;
            skeletonfile_fuzz:glb) prefix='\001' ;;
            skeletonfile_fuzz:fbx) prefix='\002' ;;
            skeletonfile_fuzz:dae) prefix='\003' ;;
            skeletonfile_fuzz:ase) prefix='\004' ;;
            *) prefix='' ;;
        esac
        { printf "$prefix"; cat "$file"; } >"$build_dir/corpus/$target/seed-$(basename "$file")"
    done
}
# The real skeletons beside the repository, when they are there.
shared=../shared/skeletons
seed bvhimporter_fuzz samples/*.bvh tests/kestrel/data/*.bvh
seed scenejsonreader_fuzz samples/*.json tests/kestrel/data/*.json
seed settingsdocument_fuzz characterizationTool/resources/KestrelCharacterization/config/*.xml
seed scriptparser_fuzz samples/*.ks tests/kestrel/plugins/scripts/*.ks
seed rigjsonimporter_fuzz "$shared"/*_rig.json
# Files under 300 KiB only: the fuzzer runs about as many inputs as its largest seed allows.
mapfile -t small_skeletons < <(find "$shared" -maxdepth 1 -size -300k \
    \( -name '*.glb' -o -name '*.fbx' -o -name '*.ase' \) 2>/dev/null | sort)
seed skeletonfile_fuzz "${small_skeletons[@]}" tests/kestrel/data/*.glb

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp"
mkdir -p "$build_dir/artifacts" "$build_dir/logs"

# Standard output is closed for the targets: the settings store prints a line for every
# unparsable file, which is every other input.
run() {
    local target="$1"
    local args=(-max_total_time="$seconds" -timeout=10 -close_fd_mask=1
                -artifact_prefix="$build_dir/artifacts/$target-")
    local asan_options="$ASAN_OPTIONS"
    if [ -f "fuzz/$target.dict" ]; then
        args+=(-dict="fuzz/$target.dict")
    fi
    if [ "$target" = scenejsonreader_fuzz ] || [ "$target" = rigjsonimporter_fuzz ]; then
        # Qt 5.15's JSON parser leaks the first value of a key given twice when that value is
        # a non-empty array or object. Qt is not built with frame pointers, so the leak's
        # stack cannot be matched by a suppression; the two JSON readers' targets check memory
        # errors only.
        args+=(-detect_leaks=0)
        asan_options="$asan_options:detect_leaks=0"
    fi
    ASAN_OPTIONS="$asan_options" "$build_dir/bin/$target" "${args[@]}" \
        "$build_dir/corpus/$target" >"$build_dir/logs/$target.log" 2>&1
}

passed=0
failed=0
jobs_per_round="$(nproc)"
for ((i = 0; i < ${#targets[@]}; i += jobs_per_round)); do
    round=("${targets[@]:i:jobs_per_round}")
    pids=()
    for target in "${round[@]}"; do
        run "$target" &
        pids+=($!)
    done
    for j in "${!round[@]}"; do
        target="${round[$j]}"
        if wait "${pids[$j]}"; then
            passed=$((passed + 1))
            echo "$target: $(grep -Eo '^Done [0-9]+ runs' "$build_dir/logs/$target.log" || true)"
        else
            failed=$((failed + 1))
            echo "$target FAILED (log: $build_dir/logs/$target.log):"
            tail -n 40 "$build_dir/logs/$target.log"
        fi
    done
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
