#!/usr/bin/env bash
# Checks that the Kestrel stand-in's folders include one way: each folder only from the
# folders its line below allows (and itself). Prints every include that breaks the order and
# fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/../kestrel"

# folder: the folders (and root headers) it may include from.
allowed() {
    case "$1" in
    base) echo "kestrelexport.h" ;;
    scene) echo "kestrelexport.h base solver" ;;
    script | ui) echo "kestrelexport.h base" ;;
    io) echo "kestrelexport.h base scene script" ;;
    commands | plugins) echo "kestrelexport.h host.h base scene script ui io commands plugins solver" ;;
    batch) echo "kestrelexport.h host.h base scene script ui io commands plugins solver" ;;
    desktop) echo "kestrelexport.h host.h base scene script ui io commands plugins batch" ;;
    *) echo "" ;;
    esac
}

status=0
for folder in base scene script ui io commands plugins batch desktop; do
    permitted=" $(allowed "$folder") $folder "
    while IFS=: read -r file line include; do
        target=$(sed -E 's/.*#include "([^"]*)".*/\1/' <<<"$include")
        top=${target%%/*}
        if [[ "$permitted" != *" $top "* ]]; then
            echo "kestrel/$file:$line: $folder/ must not include \"$target\""
            status=1
        fi
    done < <(grep -Hn '^#include "' "$folder"/*.h "$folder"/*.cpp)
done
exit $status
