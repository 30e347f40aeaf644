#!/usr/bin/env bash
# Checks the install rules and the Debian package: a default build installs,
# for every model, the three
# programs with the real fixed paths (never their test copies) into the
# driver's tree with mode 0755, and under the prefix the
# manual pages with an alias per model, the copyright file, changelog and
# lintian override, and nothing else (never an information file); its package
# holds the same layout with stripped programs, depends on cups-client and
# gets no error from lintian (its warnings are listed).
#   install_layout_test.sh SOURCE_DIR CXX_COMPILER
set -uo pipefail
source_dir=$1 cxx=$2
for tool in dpkg-deb lintian readelf; do command -v $tool >/dev/null || { echo "$tool not installed: skipped"; exit 77; }; done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

models="zr410 zr460 zr480 zr560kd zr630wx km3030"
# "<mode> <path>" for every file and "777 <path> -> <target>" for every link
# the layout must hold, under `prefix`.
expected_files() {
  local prefix=$1 m
  for m in $models; do
    echo "755 /opt/corvane/$m/bin/cvpapertoollpr_$m"
    echo "755 /opt/corvane/$m/bin/lpd/cvpapertoolcups"
    echo "755 /opt/corvane/$m/bin/lpd/cvps2ps"
    echo "777 $prefix/share/man/man8/cvpapertoollpr_$m.8.gz -> cvpapertoollpr.8.gz"
  done
  echo "644 $prefix/share/man/man1/cvps2ps.1.gz"
  echo "644 $prefix/share/man/man8/cvpapertoolcups.8.gz"
  echo "644 $prefix/share/man/man8/cvpapertoollpr.8.gz"
  for f in doc/corvane-label-tools/{copyright,changelog.gz} lintian/overrides/corvane-label-tools; do
    echo "644 $prefix/share/$f"
  done
}

# 1. A default build (with debug information, without the tests), installed
#    with DESTDIR.
build=$work/build
cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$cxx" \
  -DCORVANE_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr/local >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log"; fail "configure"; exit 1; }
cmake --build "$build" -j2 >"$work/build.log" 2>&1 || { tail -50 "$work/build.log"; fail "build"; exit 1; }
DESTDIR="$work/stage" cmake --install "$build" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "install"; exit 1; }

(cd "$work/stage" && find . -type f -printf '%m /%P\n' -o -type l -printf '%m /%P -> %l\n' | sort) > "$work/installed"
expected_files /usr/local | sort > "$work/expected"
diff -u "$work/expected" "$work/installed" || fail "installed files differ from the layout"
for m in $models; do
  dir=$work/stage/opt/corvane/$m/bin
  [ ! -e "$dir/inf" ] || fail "$m: the driver's information directory was installed"
  # An installed program must use the real fixed paths, not a test root.
  if grep -q CORVANE_TEST_ROOT "$dir/cvpapertoollpr_$m" "$dir/lpd/cvpapertoolcups"; then
    fail "$m: installed programs are a relocatable build"
  fi
done
out=$("$work/stage/opt/corvane/km3030/bin/cvpapertoollpr_km3030")
grep -q "LPRng Paper Size Tool" <<<"$out" || fail "the installed LPRng tool does not run"
for file in man/man1/cvps2ps.1 man/man8/cvpapertoolcups.8 man/man8/cvpapertoollpr{,_zr410}.8 \
  doc/corvane-label-tools/changelog; do
  gzip -t "$work/stage/usr/local/share/$file.gz" || fail "$file.gz is not a gzip file"
done

# 2. The Debian package: the same layout under /usr, its metadata, stripped
#    programs, and no error from lintian.
(cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; exit 1; }
deb=$(ls "$build"/packages/*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { fail "no package was made"; exit 1; }
dpkg-deb -c "$deb" | sed -nE 's|^([-l]\S+) +\S+ +\S+ +\S+ +\S+ +\./|\1 /|p' | sort > "$work/packaged"
expected_files /usr | sed -e 's/^755 /-rwxr-xr-x /' -e 's/^644 /-rw-r--r-- /' -e 's/^777 /lrwxrwxrwx /' |
  sort > "$work/expected_deb"
diff -u "$work/expected_deb" "$work/packaged" || fail "packaged files differ from the layout"
dpkg-deb -c "$deb" | awk '{ print $2 }' | grep -qv '^root/root$' && fail "files not owned by root"
depends=$(dpkg-deb -f "$deb" Depends)
grep -Eq '(^|, )cups-client(,|$| )' <<<"$depends" || fail "Depends lacks cups-client: $depends"
[ "$(dpkg-deb -f "$deb" Package)" = corvane-label-tools ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Section)" = admin ] || fail "section"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no maintainer"
[ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "no description"
dpkg-deb -x "$deb" "$work/deb"
for program in "$work"/deb/opt/corvane/*/bin/{cvpapertoollpr_*,lpd/*}; do
  readelf -S -W "$program" | grep -qE ' \.(debug_|symtab)' && fail "${program#"$work"/deb} is not stripped"
done
lintian "$deb" >"$work/lintian" 2>&1 || fail "lintian exited with status $?"
grep -E '^[EW]: ' "$work/lintian" || echo "lintian: no errors or warnings"
grep -q '^E: ' "$work/lintian" && fail "lintian reports errors"

[ "$failures" = 0 ] && echo "install layout and package: all checks passed"
exit $((failures != 0))
