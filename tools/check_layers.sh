#!/usr/bin/env bash
# Fails when a file includes a header of a layer tools/layers.txt does not let it use, or when the
# game's own logic includes SDL, curl or ImGui.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
table=${1:-$root/tools/layers.txt}
cd "$root"

names=() patterns=() uses=()
while IFS= read -r line; do
    line=${line%%#*}
    [[ $line =~ ^[[:space:]]*$ ]] && continue
    left=${line%%|*}
    read -r -a words <<<"$left"
    names+=("${words[0]}")
    patterns+=("${words[*]:1}")
    uses+=("$(echo "${line#*|}" | xargs)")
done <"$table"

layerOf() {
    local path=$1 i p
    for i in "${!names[@]}"; do
        for p in ${patterns[$i]}; do
            # shellcheck disable=SC2053
            if [[ $path == $p ]]; then
                echo "$i"
                return
            fi
        done
    done
    echo -1
}

declare -A cache
layerCached() {
    if [[ -z ${cache[$1]+x} ]]; then cache[$1]=$(layerOf "$1"); fi
    echo "${cache[$1]}"
}

broken=0
while IFS= read -r file; do
    from=$(layerCached "$file")
    ((from < 0)) && continue
    allowed=" ${names[$from]} ${uses[$from]} "
    while IFS= read -r include; do
        [[ -z $include ]] && continue
        if [[ $include =~ ^\<(SDL|curl/|imgui) ]]; then
            if [[ ${names[$from]} != machine && ${names[$from]} != shell ]]; then
                echo "$file: includes $include, but only the platform's machine side and the shell may"
                broken=1
            fi
            continue
        fi
        [[ $include =~ ^\"(.*)\"$ ]] || continue
        target=${BASH_REMATCH[1]}
        to=$(layerCached "$target")
        ((to < 0)) && continue
        if [[ $allowed != *" * "* && $allowed != *" ${names[$to]} "* ]]; then
            echo "$file: includes $target (${names[$from]} may not use ${names[$to]})"
            broken=1
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*\([<"][^>"]*[>"]\).*/\1/p' "$file")
done < <(git ls-files '*.h' '*.cpp' 2>/dev/null || find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||')

if ((broken)); then
    echo "Includes break the layers of tools/layers.txt."
    exit 1
fi
echo "Every include keeps to the layers of tools/layers.txt."
