#!/bin/sh
# Builds the seed corpora of the fuzz targets from the golden cases and the
# examples: one directory per target below <corpus-dir>. Existing corpus
# files are kept, so a grown corpus survives a re-run.
#
#   fuzz/make_seeds.sh <corpus-dir>
set -eu
out=${1:?usage: make_seeds.sh <corpus-dir>}
repo=$(cd "$(dirname "$0")/.." && pwd)
sep='%%%%'
for t in model template pattern sections project ini generate; do mkdir -p "$out/$t"; done

# Copies a file into a corpus directory under a name made from its path.
seed() {
  name=$(echo "$2" | sed "s|^$repo/||; s|/|_|g")
  cp "$2" "$out/$1/$name"
}

sources="$repo/tests/golden"
[ -d "$repo/examples" ] && sources="$sources $repo/examples"
for f in $(find $sources -type f -name '*.dsm' | sort); do seed model "$f"; done
for f in $(find $sources -type f -name '*.tem' | sort); do seed template "$f"; done
for f in $(find $sources -type f -name '*.qpj' | sort); do seed project "$f"; done
for f in $(find $sources -type f -name '*.ini' | sort); do seed ini "$f"; done
for f in $(grep -rl 'BEGIN-UID' $sources | sort); do seed sections "$f"; done

# A whole run: every model of a directory with every template of it, and
# with the first file holding preserved sections as the previous output.
for d in $(find $sources -type d | sort); do
  for m in "$d"/*.dsm; do
    [ -f "$m" ] || continue
    for t in "$d"/*.tem; do
      [ -f "$t" ] || continue
      name=$(echo "$m-$(basename "$t")" | sed "s|^$repo/||; s|/|_|g")
      {
        cat "$m"; printf '\n%s\n' "$sep"; cat "$t"
        old=$(grep -l 'BEGIN-UID' "$d"/* 2>/dev/null | grep -v '\.tem$' | head -n 1 || true)
        if [ -n "$old" ]; then printf '\n%s\n%s\n' "$sep" "$(basename "$old")"; cat "$old"; fi
      } > "$out/generate/$name"
    done
  done
done

# The matcher: the first byte says how many of the following bytes are the pattern.
pattern_seed() {
  n=$(printf '%s' "$1" | wc -c)
  printf "\\$(printf '%03o' "$n")%s%s" "$1" "$2" > "$out/pattern/$3"
}
pattern_seed '[^;]+' ';;a;bc;' split
pattern_seed '#+' 'ab12c345' digits
pattern_seed '@$*' 'word1 word2' word
pattern_seed 'a|bc' 'xbc' alt
pattern_seed 'colou%r' 'color colour' optional
pattern_seed '(a*)*b' 'aaaaaaaaaaaaaaaaaaaaaaaaaaaac' nested
pattern_seed '[a-c\-]+' 'x-abc-y' class
pattern_seed '\?(x|y)+[' 'a?xyxy' escape
echo "seeds in $out: $(find "$out" -type f | wc -l) files"
