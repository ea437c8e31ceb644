#!/usr/bin/env bash
# Builds the libraries the 64-bit Windows build links statically (SDL2,
# FreeType, GoogleTest) from Debian's source packages with mingw-w64, into a
# cache outside the checkout, and prints the cache folder on the last line:
#   cmake -DLUMIVANT_WIN64_DEPS="$(scripts/win64-deps.sh | tail -n 1)" ...
# The cache root is $LUMIVANT_DEPS_CACHE, else ~/.cache/lumivant. A folder is
# reused as long as the source package and compiler versions stay the same.
set -euo pipefail

me=win64-deps
triple=x86_64-w64-mingw32
sysroot=/usr/$triple
toolchain=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)/cmake/mingw-w64.cmake
packages=(libsdl2 freetype googletest)
# Bump when the build options below change, so that old caches are not reused.
recipe=1

fail() {
  echo "$me: $*" >&2
  exit 1
}

# Check the tools first, so that a missing one gives a clear message.
for tool in apt-get apt-cache dpkg dpkg-source cmake make patch flock nice \
  $triple-gcc-posix $triple-g++-posix $triple-gcc-ar-posix $triple-gcc-ranlib-posix $triple-windres; do
  command -v "$tool" >/dev/null || fail "missing $tool; run scripts/setup.sh windows"
done
for f in "$sysroot/include/zlib.h" "$sysroot/lib/libz.a"; do
  [ -f "$f" ] || fail "missing $f (zlib for mingw-w64); run scripts/setup.sh windows"
done
[ -f "$toolchain" ] || fail "missing $toolchain"

# The newest version of a source package apt knows about (what apt-get
# source would fetch), or nothing when there is no deb-src entry.
source_version() {
  local v best=
  for v in $(apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p'); do
    if [ -z "$best" ] || dpkg --compare-versions "$v" gt "$best"; then best=$v; fi
  done
  echo "$best"
}

declare -A version
key=r$recipe
for p in "${packages[@]}"; do
  version[$p]=$(source_version "$p")
  [ -n "${version[$p]}" ] || fail "apt knows no source package $p; run scripts/setup.sh windows (adds deb-src) and apt-get update"
  key+=_$p-${version[$p]}
done
gcc_version=$($triple-g++-posix -dumpversion)
key+=_gcc-$gcc_version
# Only characters that are safe in paths and in CMake regular expressions.
key=$(printf '%s' "$key" | tr -c 'A-Za-z0-9._-' '_')

root=${LUMIVANT_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/lumivant}/win64-deps
cache=$root/$key
if [ -f "$cache/.complete" ]; then
  echo "$cache"
  exit 0
fi

mkdir -p "$root"
# One build at a time per cache root; a second caller waits and then reuses it.
exec 9>>"$root/.lock"
if ! flock -n 9; then
  echo "$me: waiting for another build in $root" >&2
  flock 9
fi
if [ -f "$cache/.complete" ]; then
  echo "$cache"
  exit 0
fi

# Anything left here is from a run that was interrupted or failed.
partial=$cache.partial
rm -rf "$partial" "$cache"
tmp=$(mktemp -d "${TMPDIR:-/tmp}/lumivant-$me.XXXXXX")
cleanup() {
  rm -rf "$tmp"
  [ -f "$cache/.complete" ] || rm -rf "$partial"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
log=$tmp/build.log
: >"$log"

# Runs a command with its output in the log; on failure shows the log's end.
run() {
  local what=$1
  shift
  echo "== $what: $*" >>"$log"
  if ! "$@" >>"$log" 2>&1; then
    # CMake reports errors early and then goes on, so show those too.
    if grep -q '^CMake Error' "$log"; then
      echo "---- CMake errors ----" >&2
      grep -A 4 '^CMake Error' "$log" | head -n 30 >&2
    fi
    echo "---- last lines of the build log ----" >&2
    tail -n 40 "$log" >&2
    # The temp folder goes away; keep the whole log for a closer look.
    cp "$log" "$root/failed.log"
    fail "$what failed; whole log in $root/failed.log"
  fi
}

# As root, apt downloads as the _apt user, which must be able to write here;
# otherwise it warns. Other users need no root for apt-get source.
src=$tmp/src
mkdir "$src"
if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then
  chmod 755 "$tmp"
  chown _apt "$src"
fi
echo "$me: fetching ${packages[*]} sources" >&2
for p in "${packages[@]}"; do
  (cd "$src" && run "fetching $p" apt-get source -q "$p=${version[$p]}")
done
srcdir() {
  local d
  for d in "$src/$1"-*/; do
    [ -f "$d/CMakeLists.txt" ] && { echo "${d%/}"; return; }
  done
  fail "no unpacked source for $1 in $src"
}

sdl_src=$(srcdir libsdl2)
ft_src=$(srcdir freetype)
gtest_src=$(srcdir googletest)

# Debian's sdl2-config looks for the static library under /usr/lib/<triple>,
# which is wrong for this prefix; go back to the upstream script.
if [ -f "$sdl_src/debian/patches/no-libdir.patch" ] &&
  patch -d "$sdl_src" -p1 -R --dry-run -s <"$sdl_src/debian/patches/no-libdir.patch" >/dev/null 2>&1; then
  patch -d "$sdl_src" -p1 -R -s <"$sdl_src/debian/patches/no-libdir.patch"
fi

# The install prefix is the final folder, so that the paths written into
# pkg-config files are right; DESTDIR stages it next to it until all is done.
stage=$partial
dest=$stage$cache
# Keep the host's pkg-config files out of the cross builds.
export PKG_CONFIG_LIBDIR=$sysroot/lib/pkgconfig
export PKG_CONFIG_PATH=
common=(
  -DCMAKE_TOOLCHAIN_FILE="$toolchain"
  -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_PREFIX="$cache"
  -DCMAKE_INSTALL_LIBDIR=lib
  -DBUILD_SHARED_LIBS=OFF
)
# Keep the throw-away temp path out of the libraries (GoogleTest prints it).
if [[ $src != *[[:space:]]* ]]; then
  common+=(-DCMAKE_C_FLAGS="-ffile-prefix-map=$src=." -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$src=.")
fi
build() {
  local name=$1 dir=$2
  shift 2
  echo "$me: building $name" >&2
  run "configuring $name" nice -n 10 cmake -S "$dir" -B "$tmp/build-$name" "${common[@]}" "$@"
  run "building $name" nice -n 10 cmake --build "$tmp/build-$name" -j2
  run "installing $name" env DESTDIR="$stage" cmake --install "$tmp/build-$name"
}

build SDL2 "$sdl_src" \
  -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_TESTS=OFF -DSDL2_DISABLE_SDL2MAIN=OFF

# Link the static zlib, not its DLL import library, which CMake would prefer.
build FreeType "$ft_src" \
  -DFT_REQUIRE_ZLIB=ON -DZLIB_INCLUDE_DIR="$sysroot/include" -DZLIB_LIBRARY="$sysroot/lib/libz.a" \
  -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON

build GoogleTest "$gtest_src" \
  -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=OFF -Dgtest_force_shared_crt=OFF

# Licence texts, to ship with the Windows build.
licenses() {
  local out=$dest/licenses/$1.txt dir=$2 title=$3 f
  shift 3
  mkdir -p "$dest/licenses"
  {
    echo "$title"
    for f in debian/copyright "$@"; do
      [ -f "$dir/$f" ] || continue
      printf '\n==== %s ====\n\n' "$f"
      cat "$dir/$f"
    done
  } >"$out"
}
licenses sdl2 "$sdl_src" "SDL2 ${version[libsdl2]} (Debian source package libsdl2)" LICENSE.txt
licenses freetype "$ft_src" "FreeType ${version[freetype]} (Debian source package freetype)" LICENSE.TXT docs/FTL.TXT
licenses googletest "$gtest_src" "GoogleTest ${version[googletest]} (Debian source package googletest)" LICENSE
# FreeType pulls zlib into the program, so its licence goes along.
if [ -f /usr/share/doc/libz-mingw-w64-dev/copyright ]; then
  { echo "zlib $(dpkg-query -W -f='${Version}' libz-mingw-w64-dev 2>/dev/null) (Debian package libz-mingw-w64-dev)"; echo; cat /usr/share/doc/libz-mingw-w64-dev/copyright; } >"$dest/licenses/zlib.txt"
fi

{
  for p in "${packages[@]}"; do echo "$p ${version[$p]}"; done
  echo "$triple-g++-posix $gcc_version"
} >"$dest/versions.txt"

# .complete goes in before the rename, so a folder under the final name is
# always whole.
touch "$dest/.complete"
mv "$dest" "$cache"
rm -rf "$stage" "$root/failed.log"
echo "$me: done" >&2
echo "$cache"
