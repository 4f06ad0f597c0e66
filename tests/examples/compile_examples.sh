#!/bin/sh
# Generates every example model with the default C++ template and compiles
# every generated source file with g++ -std=c++17 -Wall -Werror. A run that
# prints an error or a warning fails, as does a file that does not compile.
#
#   QUILLB=/path/to/quillb compile_examples.sh <repository-root>
. "$(dirname "$0")/common.sh"
CXX=${CXX:-g++}
tmp=$(mktemp -d) || exit 2
trap 'rm -rf "$tmp"' EXIT
failures=0
models=0

for model in "$root"/examples/*.dsm; do
  name=$(basename "$model" .dsm)
  models=$((models + 1))
  out=$tmp/$name
  # The output directory does not exist yet: the template creates it.
  QUILLDIR=$root/examples "$QUILLB" "$model" "$root/templates/CPP_STD.TEM" "$out" \
    >"$tmp/$name.log" 2>&1
  status=$?
  if [ $status -ne 0 ] || grep -q -e 'ERROR' -e 'WARNING' "$tmp/$name.log"; then
    echo "FAIL $name: quillb exit $status"
    cat "$tmp/$name.log"
    failures=$((failures + 1))
    continue
  fi
  sources=0
  for src in "$out"/*.cpp; do
    [ -f "$src" ] || continue
    sources=$((sources + 1))
    if ! (cd "$out" && "$CXX" -std=c++17 -Wall -Werror -c "$(basename "$src")" -o /dev/null); then
      echo "FAIL $name: $(basename "$src") does not compile"
      failures=$((failures + 1))
    fi
  done
  if [ $sources -eq 0 ]; then
    echo "FAIL $name: no source file generated"
    failures=$((failures + 1))
  else
    echo "ok   $name ($sources source files)"
  fi
done

# The project generates every example the same way, each into out/<name>.
proj=$tmp/project
mkdir -p "$proj"
ln -s "$root/examples" "$proj/examples"
ln -s "$root/templates" "$proj/templates"
(cd "$proj" && QUILLDIR=$root/examples "$QUILLB" examples/all.qpj) >"$tmp/project.log" 2>&1
status=$?
if [ $status -ne 0 ] || grep -q -e 'ERROR' -e 'WARNING' "$tmp/project.log"; then
  echo "FAIL all.qpj: quillb exit $status"
  cat "$tmp/project.log"
  failures=$((failures + 1))
else
  for model in "$root"/examples/*.dsm; do
    name=$(basename "$model" .dsm)
    if ! diff -r "$tmp/$name" "$proj/out/$name" >/dev/null; then
      echo "FAIL all.qpj: out/$name differs from generating $name.dsm alone"
      failures=$((failures + 1))
    fi
  done
  echo "ok   all.qpj"
fi

echo "$models example models, $failures failures"
[ $models -gt 0 ] && [ $failures -eq 0 ]
