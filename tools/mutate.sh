#!/usr/bin/env bash
# Applies each one-line mutant of tools/mutants.txt to a scratch copy of the game logic, rebuilds only
# what changed, runs the test programs that cover the mutated folder, and reports the mutants the tests
# miss. Usage: bash tools/mutate.sh [folder...]   (default: core rink actors net protocol)
# The scratch copy and its build live in build/mutants and are reused, so later runs stay incremental.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
folders=("$@")
[ ${#folders[@]} -eq 0 ] && folders=(core rink actors net protocol)
list=${TUNDRIX_MUTANTS:-$root/tools/mutants.txt}
limit=${TUNDRIX_MUTANT_SECONDS:-120}
scratch=$root/build/mutants
src=$scratch/src
bin=$scratch/build

# The test programs that cover each folder.
testsFor() {
    case $1 in
    core) echo "test_core test_game" ;;
    rink) echo "test_rink test_actors test_game" ;;
    actors) echo "test_actors test_game" ;;
    net) echo "test_net" ;;
    protocol) echo "test_protocol test_net" ;;
    *) echo "" ;;
    esac
}

mkdir -p "$src"
# Copied with their time stamps: files that did not change are not rebuilt. A file whose copy differs
# (changed since the last run, or left mutated by an interrupted one) gets a new time stamp.
(cd "$root" && git ls-files -co --exclude-standard) | sort >"$scratch/files"
while IFS= read -r f; do
    [ -f "$root/$f" ] || continue
    if ! cmp -s "$root/$f" "$src/$f"; then
        mkdir -p "$(dirname "$src/$f")"
        cp "$root/$f" "$src/$f"
    fi
done <"$scratch/files"
# Files gone from the project go from the copy too.
(cd "$src" && find . -type f | sed 's|^\./||' | sort) | comm -23 - "$scratch/files" | while IFS= read -r f; do
    rm -f "$src/$f"
done
if [ ! -f "$bin/build.ninja" ]; then
    cmake -S "$src" -B "$bin" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTUNDRIX_BENCH=OFF >/dev/null
fi

targets=()
for f in "${folders[@]}"; do
    for t in $(testsFor "$f"); do targets+=("$t"); done
done
mapfile -t targets < <(printf '%s\n' "${targets[@]}" | sort -u)
echo "== building the unmutated tests: ${targets[*]}"
cmake --build "$bin" -j 2 --target "${targets[@]}" >"$scratch/build.log" 2>&1 || {
    tail -n 30 "$scratch/build.log"
    echo "the unmutated tests do not build"
    exit 1
}
for t in "${targets[@]}"; do
    exe=$(find "$bin/tests" -name "$t" -type f -perm -u+x | head -n 1)
    "$exe" --gtest_brief=1 >/dev/null || { echo "$t fails without any mutant"; exit 1; }
done

# Replaces the n-th occurrence of a text in a file (<NL> in either text stands for a line break).
mutateFile() {
    ORIG=$2 REPL=$3 NTH=$4 perl -0777 -i -pe '
        BEGIN { ($o, $r, $n) = ($ENV{ORIG}, $ENV{REPL}, $ENV{NTH}); s/<NL>/\n/g for $o, $r; $k = 0 }
        s/\Q$o\E/++$k == $n ? $r : $o/ge;
        $ok = 1 if $k >= $n;
        END { exit($ok ? 0 : 3) }' "$1"
}

declare -A total killed
missed=()
stillborn=()
while IFS= read -r line; do
    [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
    IFS=$'\t' read -r file original replacement nth <<<"$(echo "$line" | sed 's/ @@ /\t/g')"
    nth=${nth:-1}
    folder=${file%%/*}
    [[ " ${folders[*]} " == *" $folder "* ]] || continue
    total[$folder]=$((${total[$folder]:-0} + 1))
    cp -p "$src/$file" "$scratch/original"
    if ! mutateFile "$src/$file" "$original" "$replacement" "$nth"; then
        echo "?? not found: $line"
        stillborn+=("$line")
        total[$folder]=$((${total[$folder]} - 1))
        cp -p "$scratch/original" "$src/$file"
        continue
    fi
    outcome=survived
    if ! timeout "$limit" cmake --build "$bin" -j 2 --target $(testsFor "$folder") >/dev/null 2>&1; then
        outcome=stillborn
    else
        for t in $(testsFor "$folder"); do
            exe=$(find "$bin/tests" -name "$t" -type f -perm -u+x | head -n 1)
            if ! timeout "$limit" "$exe" --gtest_brief=1 >/dev/null 2>&1; then
                outcome=killed
                break
            fi
        done
    fi
    # Back to the original text with a new time stamp, newer than the mutant's object, so the next build
    # compiles the original again.
    cp "$scratch/original" "$src/$file"
    case $outcome in
    killed) killed[$folder]=$((${killed[$folder]:-0} + 1)); echo "killed    $line" ;;
    survived) missed+=("$line"); echo "SURVIVED  $line" ;;
    stillborn) stillborn+=("$line"); total[$folder]=$((${total[$folder]} - 1)); echo "no build  $line" ;;
    esac
done <"$list"
# Leave the scratch build matching the sources again.
cmake --build "$bin" -j 2 --target "${targets[@]}" >/dev/null 2>&1 || true

echo
echo "== mutants killed by the tests"
for f in "${folders[@]}"; do
    t=${total[$f]:-0} k=${killed[$f]:-0}
    [ "$t" -gt 0 ] && echo "$f: $k of $t killed ($((100 * k / t)) %)"
done
if [ ${#missed[@]} -gt 0 ]; then
    echo "== survivors"
    printf '%s\n' "${missed[@]}"
fi
if [ ${#stillborn[@]} -gt 0 ]; then
    echo "== not counted (did not apply or did not build)"
    printf '%s\n' "${stillborn[@]}"
fi
