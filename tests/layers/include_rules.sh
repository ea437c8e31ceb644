#!/bin/bash
# Checks the include rule of docs/ARCHITECTURE.md over the source tree: each
# folder includes its own headers, those of the folders it may use, and
# outside headers only where a platform library is its business.
# Usage: include_rules.sh SOURCE_DIR. Prints each broken include; exit 1 if any.
set -u
root=${1:?usage: include_rules.sh SOURCE_DIR}
cd "$root" || exit 2

# folder | folders it may include from | outside headers it may include
# (an extended regular expression over the name inside <>; the standard
# library's names, without ".h" or "/", are always allowed)
rules=(
  'base|base|'
  'gdi|base gdi|ft2build\.h|immintrin\.h'
  'platform|base platform|.*'
  'toolkit|base gdi platform toolkit|'
  'controls|base gdi toolkit controls|'
  'midi|base midi platform/MidiOut\.h|'
  'app|app controls toolkit midi resources|'
)

broken=0
for rule in "${rules[@]}"; do
  IFS='|' read -r folder allowed outside <<<"$rule"
  own=$(printf '%s\n' $allowed | sed -E 's|^([a-z]+)$|\1/|' | paste -sd'|')
  while IFS=: read -r file line text; do
    name=$(sed -E 's/^#include[[:space:]]+//' <<<"$text")
    case $name in
      \"*)
        inner=${name#\"}; inner=${inner%\"}
        grep -qE "^($own)" <<<"$inner" && continue ;;
      \<*)
        inner=${name#<}; inner=${inner%>}
        grep -qE '^[a-z_0-9]+$' <<<"$inner" && continue
        [[ -n $outside ]] && grep -qE "^($outside)$" <<<"$inner" && continue ;;
      FT_*)
        [[ $folder == gdi ]] && continue ;;
    esac
    echo "$file:$line: $folder/ may not include $name"
    broken=1
  done < <(grep -rnE '^#include' "$folder" --include='*.h' --include='*.cpp')
done
[[ $broken == 0 ]] && echo "every include follows the layers"
exit $broken
