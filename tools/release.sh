#!/usr/bin/env bash
# The release: dist/countdown-<version>-win32.zip and dist/SHA256SUMS.
#
# Builds the 32-bit program from the last commit twice, in two different
# folders, packs each build, and stops unless both programs and both archives
# are the same bytes: what anyone builds from this commit is what we ship.
# The version is the CMake project's.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash tools/bootstrap.sh "$0"

version=$(sed -n 's/^project(countdown VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=countdown-$version-win32
stamp=$(git log -1 --format=%ct HEAD)
if [[ -n $(git status --porcelain --untracked-files=no) ]]; then
  echo "Note: uncommitted changes are not in the release; it is made from $(git rev-parse --short HEAD)." >&2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trees=("$work/first/countdown" "$work/second/elsewhere/src")
for tree in "${trees[@]}"; do
  mkdir -p "$tree"
  git archive HEAD | tar -x -C "$tree"
  echo "Building in $tree..."
  (cd "$tree" && cmake --preset win32 -DCOUNTDOWN_TESTS=OFF >/dev/null &&
    cmake --build build/win32 -j2 --target countdown >/dev/null)
  python3 tools/release_zip.py "$tree" "$stamp" "$tree/$name.zip" "$name"
done
for file in build/win32/countdown.exe "$name.zip"; do
  if ! cmp "${trees[0]}/$file" "${trees[1]}/$file"; then
    echo "The two builds differ in $file: the release is not reproducible." >&2
    exit 1
  fi
done
echo "Both builds are the same bytes."

mkdir -p "$root/dist"
cp "${trees[0]}/$name.zip" "$root/dist/"
(cd "$root/dist" && sha256sum "$name.zip" >SHA256SUMS)
python3 -m zipfile -l "$root/dist/$name.zip"
cat "$root/dist/SHA256SUMS"
