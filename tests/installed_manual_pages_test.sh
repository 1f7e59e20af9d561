#!/usr/bin/env bash
# The manual pages as they are installed, by cmake --install under a prefix
# of its own and in the Debian package under /usr: each renders without a
# warning, and every file of the tools that a page names (the spelling
# table, the tools) lies where the page says.
#   installed_manual_pages_test.sh BUILD_DIR SCRATCH install|package
# Exits 77 (skipped) for the package where dpkg-deb or dpkg-shlibdeps is
# missing.
set -euo pipefail
build=$(cd "$1" && pwd) scratch=$2 where=$3
fail() { echo "FAILED: $*" >&2; exit 1; }
rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch"
if [ "$where" = install ]; then
  prefix=$PWD/prefix root=
  cmake --install "$build" --prefix "$prefix" > /dev/null
else
  command -v dpkg-deb > /dev/null && command -v dpkg-shlibdeps > /dev/null || exit 77
  (cd "$build" && cpack -G DEB -B "$scratch/package" > "$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log"; fail "cpack"; }
  dpkg -x package/scanmend_*.deb tree
  prefix=/usr root=$PWD/tree
fi
pages=("$root$prefix"/share/man/man1/scanmend*.1.gz)
[ ${#pages[@]} -eq 4 ] || fail "$where: ${#pages[@]} manual pages"
for page in "${pages[@]}"; do
  name=$(basename "$page" .gz)
  zcat "$page" > "$name"
  warnings=$(groff -t -man -ww -z "$name" 2>&1; mandoc -T lint -W style "$name" 2>&1 || true)
  [ -z "$warnings" ] || fail "$where: $name: $warnings"
  # Every path of the tools' own files that the page names.
  for path in $(grep -o '/[^ "\\]*scanmend[^ "\\]*' "$name" | sed -e 's/[.,;)]*$//' | sort -u); do
    [[ $path == "$prefix"/* ]] || fail "$where: $name names $path, outside $prefix"
    [ -e "$root$path" ] || fail "$where: $name names $path, which is not installed"
  done
done
grep -q "$prefix/share/scanmend/spelling.tsv" scanmend-learn.1 ||
  fail "$where: scanmend-learn.1 does not name the spelling table under $prefix"
echo "manual pages ($where): all checks passed"
