#!/usr/bin/env bash
# Keeps the house standing on its foundation: lists how often each folder
# includes another and fails when a file includes one from a higher layer, or
# from another folder of its own layer. The layers are the "Layer" column of
# the README's layout table, the only place the order is written down; a row
# may name single files, which then count apart from the rest of their folder.
#   tools/check_layers.sh [source-dir]
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cd "$root"

# "| `records/` | 4 | ..." -> "records/ 4"; every backticked path of the first
# column takes the row's layer.
declare -A layer_of
while IFS='|' read -r _ places layer _; do
  layer=${layer// /}
  [[ $layer =~ ^[0-9]+$ ]] || continue
  for place in $(grep -oE '`[^`]+`' <<<"$places" | tr -d '`'); do
    layer_of[$place]=$layer
  done
done < <(sed -n '/^## How the code is laid out/,/^## /p' README.md | grep '^|')
[ "${#layer_of[@]}" -gt 0 ] || { echo "check_layers: no layout table with layers in README.md" >&2; exit 2; }

# The most specific place a path belongs to: a named file before its folder.
place_of() {
  local path=$1 place best=""
  for place in "${!layer_of[@]}"; do
    if [ "$path" = "$place" ] || { [[ $place == */ ]] && [[ $path == "$place"* ]]; }; then
      [ "${#place}" -gt "${#best}" ] && best=$place
    fi
  done
  echo "$best"
}

declare -A count unplaced
faults=()
while IFS= read -r file; do
  from=$(place_of "$file")
  [ -n "$from" ] || { unplaced[$file]=1; continue; }
  while IFS= read -r target; do
    to=$(place_of "$target")
    [ -n "$to" ] || continue  # a header of the file's own folder, named without it
    [ "$to" = "$from" ] && continue
    key="$from -> $to"
    count[$key]=$(( ${count[$key]:-0} + 1 ))
    if [ "${layer_of[$to]}" -gt "${layer_of[$from]}" ]; then
      faults+=("$file includes $target: layer ${layer_of[$from]} may not look up to layer ${layer_of[$to]}")
    elif [ "${layer_of[$to]}" -eq "${layer_of[$from]}" ] && [ "${from%%/*}" != "${to%%/*}" ]; then
      faults+=("$file includes $target: folders of one layer stand side by side")
    fi
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/p' "$file")
done < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' 2>/dev/null ||
         find . \( -path ./build -o -path './build-*' -o -path ./.git \) -prune -o \( -name '*.cpp' -o -name '*.h' \) -print |
         sed 's#^\./##')

echo "Includes from folder to folder:"
for key in "${!count[@]}"; do printf '%5d  %s\n' "${count[$key]}" "$key"; done | sort -k2
for file in "${!unplaced[@]}"; do
  faults+=("$file lies in no place of the README's layout table")
done
if [ "${#faults[@]}" -gt 0 ]; then
  printf 'check_layers: %s\n' "${faults[@]}" >&2
  exit 1
fi
echo "Every include runs down the layers."
