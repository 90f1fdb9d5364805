#!/usr/bin/env bash
# Builds the Windows SDK the project's Windows build links against: Qt 6.4.2 (qtbase +
# qtserialbus, shared DLLs, so the LGPL Qt stays replaceable), pugixml 1.13, libcsv 3.0.3 and
# GoogleTest 1.12.1, all for 64-bit Windows with MinGW-w64 (posix threads), into one prefix.
#
#   tools/windows/build-sdk.sh WORKDIR PREFIX          build the SDK into PREFIX
#   tools/windows/build-sdk.sh --sources WORKDIR       only the first steps: the tools, the
#                                                      source archives, the toolchain file
# then build the Windows program against it with
#   TESSARO_WIN64_SDK=PREFIX ./dev windows
#
# Sources: Debian's source packages of qt6-base, pugixml and libcsv (deb-src entries made from
# the system's own apt sources in a private apt list in WORKDIR; the system's apt configuration
# is left alone), GoogleTest from Debian's googletest package (/usr/src), and the qtserialbus
# 6.4.2 source archive qtserialbus-6.4.2.tar.xz, which Debian's archive here does not serve:
# QTSERIALBUS_ARCHIVE=FILE, else the copy in ../shared/windows/ beside the project, else one in
# WORKDIR. It is Qt's own "qtserialbus-everywhere-src-6.4.2.tar.xz" of the Qt 6.4.2 release
# (its submodules), or a tarball of the v6.4.2 tag of the qtserialbus repository.
# The host Qt (qt6-base-dev 6.4.2, same version) provides moc, rcc and uic.
# Takes about an hour on two cores; the result is packed with
#   tar -C PREFIX/.. -cJf tessaro-win64-sdk.tar.xz $(basename PREFIX)
set -euo pipefail
usage="usage: tools/windows/build-sdk.sh WORKDIR PREFIX | tools/windows/build-sdk.sh --sources WORKDIR"
sources_only=false
if [ "${1:-}" = --sources ]; then
    sources_only=true
    shift
    [ $# -eq 1 ] || { echo "$usage" >&2; exit 2; }
    work=$(realpath -m "$1")
    prefix=$work/prefix-unused
else
    [ $# -eq 2 ] || { echo "$usage" >&2; exit 2; }
    work=$(realpath -m "$1")
    prefix=$(realpath -m "$2")
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
jobs=${JOBS:-$(nproc)}
mkdir -p "$work"
cd "$work"

serialbus=${QTSERIALBUS_ARCHIVE:-}
if [ -z "$serialbus" ]; then
    for candidate in "$root/../shared/windows/qtserialbus-6.4.2.tar.xz" \
        "$work/qtserialbus-6.4.2.tar.xz"; do
        if [ -f "$candidate" ]; then
            serialbus=$candidate
            break
        fi
    done
fi
if [ -z "$serialbus" ] || [ ! -f "$serialbus" ]; then
    echo "build-sdk.sh: the qtserialbus 6.4.2 source archive is missing: set QTSERIALBUS_ARCHIVE" >&2
    echo "  or put qtserialbus-6.4.2.tar.xz into $work (see the header of this script)" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get install -y g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix cmake ninja-build perl \
    qt6-base-dev qt6-base-dev-tools googletest xz-utils >/dev/null

# Debian source packages through a private apt list, so the system's sources stay as they are.
mkdir -p apt/lists/partial apt/parts
# The same archive as the system's own binary entries, for sources.
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed 's/^Types: deb$/Types: deb-src/' "$f" > "apt/parts/$(basename "$f")"
done
if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list > apt/parts/sources.list
fi
apt_src=(-o Dir::Etc::sourcelist=/dev/null -o Dir::Etc::sourceparts="$work/apt/parts"
         -o Dir::State::Lists="$work/apt/lists")
[ -f apt/lists/.done ] || { apt-get "${apt_src[@]}" update >/dev/null && touch apt/lists/.done; }
for p in qt6-base pugixml libcsv; do
    ls ${p}_*.dsc >/dev/null 2>&1 || apt-get "${apt_src[@]}" source --download-only "$p" >/dev/null
done

cat > mingw.cmake <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TC
if $sources_only; then
    ls -l "$work"/*.dsc "$serialbus"
    echo "Sources and toolchain file ready in $work; build with: $0 $work PREFIX"
    exit 0
fi
mkdir -p "$prefix"
cp mingw.cmake "$prefix/mingw.cmake"

# qtbase: the modules the program uses (Core, Gui with the PDF writer, Widgets, Network, Test)
# and the Windows platform plugin; the rest switched off to keep the build short. Debian's
# source lacks the Wintab headers, hence no tablet events.
if [ ! -f "$prefix/lib/cmake/Qt6Core/Qt6CoreConfig.cmake" ]; then
    [ -d qtbase-everywhere-src-6.4.2 ] || tar xf qt6-base_6.4.2+dfsg.orig.tar.xz
    cmake -S qtbase-everywhere-src-6.4.2 -B build-qtbase -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_SHARED_LIBS=ON -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DFEATURE_tabletevent=OFF -DFEATURE_pkg_config=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF \
        -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_openssl=OFF -DFEATURE_icu=OFF -DFEATURE_jpeg=OFF \
        -DFEATURE_gif=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
        -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF \
        -DFEATURE_sql_sqlite=OFF -DFEATURE_accessibility=ON
    cmake --build build-qtbase -j "$jobs"
    cmake --install build-qtbase
fi
# Qt's toolchain file chain-loads the MinGW one by the path it had at configure time; point it at
# the copy inside the SDK so the SDK works wherever it is unpacked.
sed -i 's|^set(__qt_initially_configured_toolchain_file .*|set(__qt_initially_configured_toolchain_file "${CMAKE_CURRENT_LIST_DIR}/../../../mingw.cmake")|' \
    "$prefix/lib/cmake/Qt6/qt.toolchain.cmake"

# qtserialbus: Modbus TCP client and server (no serial port, so no Modbus RTU).
if [ ! -f "$prefix/lib/cmake/Qt6SerialBus/Qt6SerialBusConfig.cmake" ]; then
    rm -rf qtserialbus-6.4.2 && mkdir qtserialbus-6.4.2
    tar xf "$serialbus" -C qtserialbus-6.4.2 --strip-components=1
    "$prefix/bin/qt-cmake" -S qtserialbus-6.4.2 -B build-qtserialbus -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    cmake --build build-qtserialbus -j "$jobs"
    cmake --install build-qtserialbus
fi

# pugixml, libcsv, GoogleTest with the same compiler.
if [ ! -f "$prefix/lib/cmake/pugixml/pugixml-config.cmake" ]; then
    rm -rf pugixml-1.13 && tar xf pugixml_1.13.orig.tar.gz
    cmake -S pugixml-1.13 -B build-pugixml -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_PREFIX="$prefix"
    cmake --build build-pugixml -j "$jobs" && cmake --install build-pugixml
fi
if [ ! -f "$prefix/lib/libcsv.a" ]; then
    rm -rf libcsv-3.0.3 && tar xf libcsv_3.0.3+dfsg.orig.tar.gz
    x86_64-w64-mingw32-gcc-posix -O2 -c libcsv-3.0.3/libcsv.c -Ilibcsv-3.0.3 -o libcsv.o
    x86_64-w64-mingw32-ar rcs "$prefix/lib/libcsv.a" libcsv.o
    install -m 644 libcsv-3.0.3/csv.h "$prefix/include/csv.h"
fi
if [ ! -f "$prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B build-gtest -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -Dgtest_disable_pthreads=OFF
    cmake --build build-gtest -j "$jobs" && cmake --install build-gtest
fi

# The MinGW runtime DLLs a program built with this compiler needs beside it.
mkdir -p "$prefix/runtime"
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll libssp-0.dll; do
    f=$(find /usr/lib/gcc/x86_64-w64-mingw32/*-posix /usr/x86_64-w64-mingw32/lib -name "$dll" 2>/dev/null | head -n 1)
    [ -n "$f" ] && cp "$f" "$prefix/runtime/"
done
# Licence texts and the SDK's own README.
mkdir -p "$prefix/licenses/qtbase" "$prefix/licenses/qtserialbus" "$prefix/licenses/pugixml" \
         "$prefix/licenses/libcsv" "$prefix/licenses/googletest"
cp qtbase-everywhere-src-6.4.2/LICENSES/* "$prefix/licenses/qtbase/"
cp qtserialbus-6.4.2/LICENSES/* "$prefix/licenses/qtserialbus/"
cp pugixml-1.13/LICENSE.md "$prefix/licenses/pugixml/"
cp libcsv-3.0.3/COPYING libcsv-3.0.3/COPYING.LESSER "$prefix/licenses/libcsv/"
cp /usr/share/doc/googletest/copyright "$prefix/licenses/googletest/"
cp "$here/SDK-README.md" "$prefix/README.md"
rm -rf "$prefix/doc"
echo "SDK in $prefix"
