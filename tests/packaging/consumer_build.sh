#!/bin/sh
# Installs Quillwork into a temporary prefix and builds a small project that
# finds it with find_package(Quillwork) and generates sources with
# quillwork_generate(), once with Ninja and once with Unix Makefiles:
#   - the first build generates and the program built from the output runs;
#   - a second build runs nothing;
#   - touching an imported model reruns exactly the generation that reads it,
#     touching an imported template exactly the one that reads that.
#
#   consumer_build.sh <quillwork-source-dir> [<quillwork-build-dir>]
#
# With a build directory its install rules are used as they are; without one,
# quillb is configured and built afresh in the temporary directory.
set -eu
LC_ALL=C
export LC_ALL

[ $# -ge 1 ] || { echo "usage: $0 <source-dir> [<build-dir>]" >&2; exit 2; }
source_dir=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if [ $# -ge 2 ]; then
  build_dir=$2
else
  build_dir=$tmp/quillwork-build
  cmake -S "$source_dir" -B "$build_dir" -DQUILL_BUILD_TESTS=OFF -DQUILL_BUILD_WORKBENCH=OFF \
    -DCMAKE_BUILD_TYPE=Release >"$tmp/configure.log" 2>&1 || { cat "$tmp/configure.log"; exit 1; }
  cmake --build "$build_dir" --target quillb -j2 >"$tmp/build.log" 2>&1 || { tail -50 "$tmp/build.log"; exit 1; }
fi
cmake --install "$build_dir" --prefix "$prefix" >"$tmp/install.log" 2>&1 || { cat "$tmp/install.log"; exit 1; }
for file in bin/quillb share/man/man1/quillb.1 share/bash-completion/completions/quillb \
            share/cmake/Quillwork/QuillworkConfig.cmake \
            share/cmake/Quillwork/QuillworkConfigVersion.cmake \
            share/cmake/Quillwork/QuillworkGenerate.cmake; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done

# The consumer: one target, two generation steps. The model step reads
# shop.dsm, its import base.dsm, shop.tem and its import parts.tem; the
# project step reads orders.qpj, orders.dsm and orders.tem.
app=$tmp/app
mkdir -p "$app/model"
cat >"$app/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(consumer CXX)
find_package(Quillwork 1.0 REQUIRED)
add_executable(app main.cpp)
quillwork_generate(TARGET app
                   MODEL model/shop.dsm TEMPLATE shop.tem OUTDIR gen
                   OUTPUTS gen/shop_model.h gen/shop_model.cpp
                   OPTIONS /rstrip true /setvar "greeting hello")
quillwork_generate(TARGET app PROJECT orders.qpj
                   OUTPUTS ${CMAKE_CURRENT_SOURCE_DIR}/out/orders.h)
target_include_directories(app PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/gen ${CMAKE_CURRENT_SOURCE_DIR}/out)
CMAKE
cat >"$app/main.cpp" <<'CPP'
#include <cstdio>
#include "orders.h"
#include "shop_model.h"
int main() { std::printf("%s|%s|%s\n", all_names(), name_Item(), orders()); }
CPP
cat >"$app/model/shop.dsm" <<'DSM'
import "base.dsm";
object Shop
  name : string ;
end ;
DSM
cat >"$app/model/base.dsm" <<'DSM'
object Item
  price : int ;
end ;
DSM
cat >"$app/shop.tem" <<'TEM'
$$IMPORT parts.tem
.file shop_model.h
:$$EXECMODULE banner
:#pragma once
:const char* all_names();
.each_object
:inline const char* name_<obj.name>() { return "<obj.name>"; }
.end
.file shop_model.cpp
:$$EXECMODULE banner
:#include "shop_model.h"
:const char* all_names() { return "<greeting>:"
.each_object
:  " <obj.name>"
.end
:  ; }
TEM
cat >"$app/parts.tem" <<'TEM'
.module banner
:// generated
.end
TEM
cat >"$app/orders.dsm" <<'DSM'
object Order
  id : int ;
end ;
DSM
cat >"$app/orders.tem" <<'TEM'
.file orders.h
:#pragma once
:inline const char* orders() { return "<dsm.name>"; }
TEM
# A project of one rule: output in out/, LF line ends.
printf '%s\n' 'dbVersion=1 ' 'nameLength=6 ' 'name=Orders' 'descLength=0 ' \
  'outDirLength=3 ' 'outDir=out' 'traceTem=0 ' 'showSummary=1 ' 'showGenFiles=1 ' 'saveHist=0 ' \
  'emitUnixEol=1 ' 'deferUpward=0 ' 'nChildren=1 ' 'typeID=2 ' 'nameLength=1 ' 'name=R' \
  'descLength=0 ' 'outDirLength=0 ' 'traceTem=0 ' 'showSummary=1 ' 'showGenFiles=1 ' \
  'saveHist=0 ' 'emitUnixEol=1 ' 'deferUpward=1 ' 'nChildren=1 ' 'typeID=3 ' \
  'dsmPathLength=10 ' 'dsmPath=orders.dsm' 'temPathLength=10 ' 'temPath=orders.tem' \
  >"$app/orders.qpj"

# The quill.ini of whoever builds must not change the build.
export QUILLDIR="$tmp/ini"
mkdir -p "$QUILLDIR"
printf '[LastCodegenSettings]\nShowFileNames=false\n' >"$QUILLDIR/quill.ini"

# Runs one build and keeps what it printed in $out.
build() {
  out=$(cmake --build "$bin" 2>&1) || { echo "$out"; fail "$generator: build failed ($1)"; }
}

# Counts the generation steps that the last build ran.
ran() {
  printf '%s\n' "$out" | grep -c "Generating from $1" || true
}

# Expects the last build to have run the model step $1 times and the project
# step $2 times.
expect_runs() {
  model_runs=$(ran "shop.dsm with shop.tem")
  project_runs=$(ran "orders.qpj")
  if [ "$model_runs" != "$1" ] || [ "$project_runs" != "$2" ]; then
    printf '%s\n' "$out"
    fail "$generator, $3: model step ran $model_runs times (expected $1), project step $project_runs (expected $2)"
  fi
}

# Expects a build with nothing changed to do nothing at all.
expect_nothing_to_do() {
  if [ "$generator" = Ninja ]; then
    explain=$(ninja -C "$bin" -n -d explain 2>&1)
    if ! printf '%s\n' "$explain" | grep -q "no work to do"; then
      echo "$explain"
      fail "$generator: $1: work left"
    fi
  else
    build "$1"
    if printf '%s\n' "$out" | grep -Eq "Generating|Building|Linking"; then
      echo "$out"
      fail "$generator: $1: rebuilt"
    fi
  fi
}

# Moves a file's time past that of everything built from it.
touch_later() {
  sleep 1
  touch "$1"
}

for generator in Ninja "Unix Makefiles"; do
  if [ "$generator" = Ninja ] && ! command -v ninja >/dev/null; then
    fail "ninja is not installed"
    continue
  fi
  bin=$tmp/app-build-$(echo "$generator" | tr ' ' _)
  rm -rf "$app/out" "$app/gen"
  cmake -S "$app" -B "$bin" -G "$generator" -DCMAKE_PREFIX_PATH="$prefix" >"$tmp/app-configure.log" 2>&1 ||
    { cat "$tmp/app-configure.log"; fail "$generator: consumer does not configure"; continue; }

  build "first build"
  expect_runs 1 1 "first build"
  printf '%s\n' "$out" | grep -q "Creating: .*shop_model.h" || fail "$generator: the builder's quill.ini was read"
  if printf '%s\n' "$out" | grep -q "initialisation file"; then fail "$generator: quill.ini reported"; fi
  result=$("$bin/app" 2>&1) || true
  [ "$result" = "hello: Shop Item|Item|orders" ] || fail "$generator: the program printed '$result'"
  grep -q "^// generated$" "$bin/gen/shop_model.h" || fail "$generator: imported template module missing"

  expect_nothing_to_do "second build"
  touch_later "$app/model/base.dsm"
  build "imported model touched"
  expect_runs 1 0 "imported model touched"
  expect_nothing_to_do "after the imported model"
  touch_later "$app/parts.tem"
  build "imported template touched"
  expect_runs 1 0 "imported template touched"
  touch_later "$app/orders.tem"
  build "project template touched"
  expect_runs 0 1 "project template touched"
  touch_later "$app/orders.dsm"
  build "project model touched"
  expect_runs 0 1 "project model touched"
  expect_nothing_to_do "at the end"

  # A model with errors generates nothing: the build must fail, not go on
  # with the old output.
  cp "$app/model/base.dsm" "$tmp/base.dsm"
  printf 'object Shop\nend ;\n' >>"$app/model/base.dsm"
  if out=$(cmake --build "$bin" 2>&1); then
    fail "$generator: a model with errors built"
  elif ! printf '%s\n' "$out" | grep -q "quillb did not write"; then
    echo "$out"
    fail "$generator: a model with errors failed without saying why"
  fi
  cp "$tmp/base.dsm" "$app/model/base.dsm"
  build "model repaired"
  expect_runs 1 0 "model repaired"
done

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
echo "consumer builds: all passed"
