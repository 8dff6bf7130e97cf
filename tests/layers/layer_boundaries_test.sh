#!/usr/bin/env bash
# Compiles, with each layer's own flags, an include of one header of every layer: its own
# must compile, every layer above it must not be found.
set -uo pipefail
compiler=$1 flags_dir=$2 src=$3
shift 3
layers=("$@")

failures=0
probe() {  # layer header -> 0 when it compiles
    local dirs flags=()
    IFS=';' read -r -a dirs <"$flags_dir/$1.txt"
    for dir in "${dirs[@]}"; do flags+=("-I$dir"); done
    echo "#include \"$2\"" | "$compiler" -std=c++20 -fsyntax-only "${flags[@]}" -x c++ - 2>/dev/null
}
some_header() { (cd "$src" && ls "$1"/*.h | head -1); }

for ((i = 0; i < ${#layers[@]}; i++)); do
    layer=${layers[$i]}
    if ! probe "$layer" "$(some_header "$layer")"; then
        echo "FAIL: $layer cannot include its own $(some_header "$layer")"
        failures=$((failures + 1))
    fi
    for ((j = i + 1; j < ${#layers[@]}; j++)); do
        upper=${layers[$j]}
        header=$(some_header "$upper")
        if probe "$layer" "$header"; then
            echo "FAIL: $layer can include $header of the layer above it"
            failures=$((failures + 1))
        fi
    done
done
echo "layer probes: $failures failed"
[ "$failures" -eq 0 ]
