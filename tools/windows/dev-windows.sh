# shellcheck shell=bash
# The Windows pass of ./dev (sourced by it): ./dev windows, and the end of ./dev test.
#
#   build-windows/           the cross build (CMake, Ninja, MinGW-w64), its test programs
#   build-windows/sdk/       the SDK, unpacked once from ../shared/windows/tessaro-win64-sdk.tar.xz
#   build-windows/wine-prefix        the Wine prefix of the tests (made once)
#   build-windows/wine-install       a fresh prefix for each check of the installer
#   build-windows/stage/     the zip's program folder and the installer's tree
#   dist/tessaro-<version>-win64.zip, dist/tessaro-<version>-win64-setup.exe

windows_sdk_archive=$root/../shared/windows/tessaro-win64-sdk.tar.xz
windows_objdump=x86_64-w64-mingw32-objdump

# The SDK folder to build against, or nothing (with the reason on standard error).
windows_find_sdk() {
    if [ -n "${TESSARO_WIN64_SDK:-}" ]; then
        if [ ! -x "$TESSARO_WIN64_SDK/bin/qt-cmake" ]; then
            echo "dev: TESSARO_WIN64_SDK=$TESSARO_WIN64_SDK is not a Windows SDK (no bin/qt-cmake in it)" >&2
            return 1
        fi
        (cd "$TESSARO_WIN64_SDK" && pwd)
        return 0
    fi
    if [ -f "$windows_sdk_archive" ]; then
        local sdk=$windows_dir/sdk/tessaro-win64-sdk
        local stamp=$windows_dir/sdk/.unpacked
        if [ ! -f "$stamp" ] || [ "$windows_sdk_archive" -nt "$stamp" ]; then
            say "Unpacking the Windows SDK into $windows_dir/sdk" >&2
            rm -rf "$windows_dir/sdk"
            mkdir -p "$windows_dir/sdk"
            tar -C "$windows_dir/sdk" -xJf "$windows_sdk_archive"
            touch "$stamp"
        fi
        echo "$sdk"
        return 0
    fi
    cat >&2 <<MISSING
dev: the Windows SDK is missing.
  Neither TESSARO_WIN64_SDK names an SDK folder nor is there
  $windows_sdk_archive.
  The SDK holds Qt 6.4.2 (qtbase and qtserialbus as DLLs), pugixml, libcsv and GoogleTest built
  for 64-bit Windows with MinGW-w64. Make it from the source archives (about an hour on two
  cores; Debian's source packages, and the qtserialbus source, see the script's header):
      tools/windows/build-sdk.sh WORKDIR PREFIX
  then run
      TESSARO_WIN64_SDK=PREFIX ./dev windows
MISSING
    return 1
}

windows_wine() { # program and arguments, in the tests' prefix
    "$windows_dir/wine-run" "$@"
}

windows_build() { # sdk folder
    local sdk=$1
    local launcher=()
    if command -v ccache >/dev/null 2>&1; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    # Another SDK than the one configured: configure afresh.
    if [ -f "$windows_dir/CMakeCache.txt" ] &&
        ! grep -qxF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$sdk/lib/cmake/Qt6/qt.toolchain.cmake" \
            "$windows_dir/CMakeCache.txt"; then
        rm -rf "$windows_dir/CMakeCache.txt" "$windows_dir/CMakeFiles"
    fi
    say "Windows build in $windows_dir (SDK $sdk)"
    "$sdk/bin/qt-cmake" -S "$root" -B "$windows_dir" -G Ninja "${launcher[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$sdk/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DTESSARO_BUILD_TESTS=ON -DTESSARO_BUILD_BENCH=OFF >/dev/null
    cmake --build "$windows_dir" -j "$jobs"
}

windows_tests() {
    say "Windows tests under Wine (those that cannot run there: tests/Not_Under_Wine.txt)"
    grep -v '^#' "$root/tests/Not_Under_Wine.txt" | sed '/^$/d; s/^/  not under Wine: /'
    windows_wine cmd /c exit 0 # makes the prefix once
    # On a virtual display, with one wineserver for the whole run. The display's desktop process
    # is started first, apart from ctest: started by a test, it would hold the test's output open
    # and ctest would wait for it.
    WINEPREFIX=$windows_dir/wine-prefix xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        wineserver -p
        "$1/wine-run" cmd /c exit 0 </dev/null >/dev/null 2>&1
        status=0
        (cd "$1" && ctest --output-on-failure -j "$2") || status=$?
        wineserver -k
        exit "$status"
    ' tests "$windows_dir" "$jobs"
}

# The program folder of the zip: PROJECTS, MASTER and LANGUAGE beside the executables, and what
# the programs load.
windows_stage_program() { # sdk, folder
    local sdk=$1 dir=$2
    rm -rf "$dir"
    mkdir -p "$dir/LANGUAGE" "$dir/PROJECTS" "$dir/MASTER" "$dir/platforms" "$dir/styles" \
        "$dir/tls" "$dir/translations" "$dir/licenses"
    cp "$windows_dir/src/app/tessaro.exe" "$windows_dir/src/cli/tessaro-cli.exe" "$dir/"
    cp "$root"/lang/*.lng "$root"/lang/*.bmp "$dir/LANGUAGE/"
    local dll
    for dll in Qt6Core Qt6Gui Qt6Widgets Qt6Network Qt6SerialBus; do
        cp "$sdk/bin/$dll.dll" "$dir/"
    done
    cp "$sdk"/runtime/*.dll "$dir/"
    cp "$sdk/plugins/platforms/qwindows.dll" "$dir/platforms/"
    cp "$sdk/plugins/styles/qwindowsvistastyle.dll" "$dir/styles/"
    # The version check's HTTPS goes through Windows' own TLS (schannel).
    cp "$sdk/plugins/tls/qschannelbackend.dll" "$dir/tls/"
    local lang
    for lang in de es fr it; do
        cp "/usr/share/qt6/translations/qtbase_$lang.qm" "$dir/translations/"
    done
    cp -r "$sdk"/licenses/. "$dir/licenses/"
    rm -rf "$dir/licenses/googletest" # the tests' only
    # The MinGW runtime (GCC's, with its runtime library exception) comes with the compiler.
    mkdir -p "$dir/licenses/mingw-runtime"
    cp /usr/share/doc/gcc-mingw-w64-base/copyright "$dir/licenses/mingw-runtime/" 2>/dev/null ||
        cp /usr/share/doc/g++-mingw-w64-x86-64-posix/copyright "$dir/licenses/mingw-runtime/"
    # Unused runtime DLLs stay out: only what some module imports.
    local runtime imported
    imported=$("$windows_objdump" -p "$dir"/*.exe "$dir"/*.dll "$dir"/*/*.dll |
        sed -n 's/^[[:space:]]*DLL Name: *//p' | tr '[:upper:]' '[:lower:]' | sort -u)
    for runtime in "$dir"/lib*.dll; do
        if ! grep -qxF "$(basename "$runtime" | tr '[:upper:]' '[:lower:]')" <<<"$imported"; then
            rm -f "$runtime"
        fi
    done
}

# The files that the zip must hold (below its top folder Tessaro/).
windows_zip_files=(
    tessaro.exe tessaro-cli.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Network.dll
    Qt6SerialBus.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll
    platforms/qwindows.dll styles/qwindowsvistastyle.dll tls/qschannelbackend.dll
    translations/qtbase_de.qm translations/qtbase_es.qm translations/qtbase_fr.qm
    translations/qtbase_it.qm
    LANGUAGE/English.lng LANGUAGE/English.bmp LANGUAGE/Italiano.lng LANGUAGE/Italiano.bmp
    LANGUAGE/Deutsch.lng LANGUAGE/Deutsch.bmp LANGUAGE/Français.lng LANGUAGE/Français.bmp
    LANGUAGE/Español.lng LANGUAGE/Español.bmp LANGUAGE/DefaultFlag.bmp
    PROJECTS/ MASTER/
    licenses/qtbase/LGPL-3.0-only.txt licenses/qtserialbus/LGPL-3.0-only.txt
    licenses/pugixml/LICENSE.md licenses/libcsv/COPYING.LESSER
)

# What the executables say about themselves: window or console program, version resource, icon.
windows_check_executables() { # folder with tessaro.exe and tessaro-cli.exe
    local dir=$1 exe headers
    headers=$("$windows_objdump" -p "$dir/tessaro.exe")
    grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" ||
        { echo "tessaro.exe is not a window program (GUI subsystem)" >&2; return 1; }
    headers=$("$windows_objdump" -p "$dir/tessaro-cli.exe")
    grep -q 'Subsystem.*(Windows CUI)' <<<"$headers" ||
        { echo "tessaro-cli.exe is not a console program" >&2; return 1; }
    for exe in tessaro.exe tessaro-cli.exe; do
        local rc want
        rc=$(x86_64-w64-mingw32-windres -i "$dir/$exe" -O rc 2>/dev/null)
        for want in 'VALUE "ProductName", "Tessaro"' 'VALUE "CompanyName", "Velmora"' \
            'VALUE "ProductVersion", "1.001"' 'VALUE "FileVersion", "1.001"' \
            'FILEVERSION 1, 1, 0, 0' 'RT_GROUP_ICON'; do
            grep -qF -- "$want" <<<"$rc" ||
                { echo "$exe: the version resource lacks $want" >&2; return 1; }
        done
    done
    echo "  tessaro.exe: Windows GUI, tessaro-cli.exe: console; both with version 1.001 and the icon"
}

# The configurator in an unpacked program folder or an installed tree shows its main window and
# ends when it is closed; a program folder then holds the settings Tessaro.xml.
windows_start_configurator() { # tessaro.exe, Wine prefix
    local exe=$1 prefix=$2
    # A wineserver still running from a program without a display would put the window on its
    # own desktop, off the virtual display: wait until it has ended.
    WINEPREFIX=$prefix wineserver -w
    TESSARO_WINEPREFIX=$prefix TESSARO_WINE_BARE=1 timeout 600 \
        xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
            "$1" "$2" &
            pid=$!
            status=0
            # On a loaded machine, a close sent soon after the window appears can go unheard
            # under Wine (seen with both cores busy): as a user would, the window is closed
            # again while it is still shown, six times at most.
            timeout=300
            for attempt in 1 2 3 4 5 6; do
                if ! /usr/bin/python3 "$3" "Configurator VC40362" --timeout "$timeout"; then
                    [ "$attempt" -gt 1 ] || status=1 # never shown
                    break
                fi
                timeout=5
                for _ in $(seq 300); do
                    kill -0 "$pid" 2>/dev/null || break 2
                    sleep 0.1
                done
                echo "tessaro.exe still runs 30 s after close $attempt" >&2
            done
            if kill -0 "$pid" 2>/dev/null; then
                echo "tessaro.exe did not end when its window was closed" >&2
                kill "$pid"
                status=1
            fi
            wait "$pid" || status=1
            exit "$status"
        ' start "$windows_dir/wine-run" "$exe" "$root/tools/close_window.py"
}

windows_zip() { # sdk
    local sdk=$1 version zip
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$windows_dir/CMakeCache.txt")
    zip=$root/dist/tessaro-$version-win64.zip
    say "Windows zip: $zip"
    local stage=$windows_dir/stage
    windows_stage_program "$sdk" "$stage/zip/Tessaro"
    mkdir -p "$root/dist"
    rm -f "$zip"
    (cd "$stage/zip" && zip -q -r -X "$zip" Tessaro)
    windows_zip_path=$zip

    say "Windows zip check"
    local work
    work=$(mktemp -d)
    # Unpacked anywhere: a folder with a blank and letters beyond ASCII.
    local unpacked="$work/Büro Süd"
    mkdir -p "$unpacked"
    unzip -q "$zip" -d "$unpacked"
    local dir=$unpacked/Tessaro file missing=0
    for file in "${windows_zip_files[@]}"; do
        [ -e "$dir/$file" ] || { echo "missing from the zip: $file" >&2; missing=1; }
    done
    [ "$missing" -eq 0 ]
    [ -z "$(find "$dir/PROJECTS" "$dir/MASTER" -mindepth 1)" ] ||
        { echo "PROJECTS and MASTER of the zip are not empty" >&2; return 1; }
    python3 "$root/packaging/windows/check_imports.py" "$dir" --objdump "$windows_objdump"
    windows_check_executables "$dir"

    # tessaro-cli.exe compiles the full configuration into the bytes of the Linux build, with
    # nothing but the zip's own DLLs.
    cp -r "$root/tests/data/End_To_End" "$dir/PROJECTS/Hall A"
    (cd "$dir" && TESSARO_WINE_BARE=1 "$windows_dir/wine-run" tessaro-cli.exe compile "Hall A")
    cmp "$dir/PROJECTS/Hall A/bin/bank.bin" "$root/tests/data/End_To_End_Bank.bin"
    if [ -x "$build_dir/src/cli/tessaro-cli" ]; then
        cp -r "$root/tests/data/End_To_End" "$work/linux"
        "$build_dir/src/cli/tessaro-cli" compile "$work/linux" >/dev/null
        cmp "$dir/PROJECTS/Hall A/bin/bank.bin" "$work/linux/bin/bank.bin"
        echo "  tessaro-cli.exe compile: the same $(stat -c %s "$work/linux/bin/bank.bin") bytes as the Linux tessaro-cli"
    else
        echo "  tessaro-cli.exe compile: the same bytes as tests/data/End_To_End_Bank.bin"
    fi
    rm -rf "$dir/PROJECTS/Hall A"

    # The configurator shows its main window and, closed, writes its settings beside itself.
    windows_start_configurator "$dir/tessaro.exe" "$windows_dir/wine-prefix"
    grep -q '<language>English</language>' "$dir/Tessaro.xml" ||
        { echo "tessaro.exe from the zip wrote no Tessaro.xml beside itself" >&2; return 1; }
    echo "  tessaro.exe showed its main window and wrote Tessaro.xml when it was closed"
    rm -rf "$work"
    say "Windows zip check passed: $zip"
}

windows_installer() {
    local sdk=$1 version setup
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$windows_dir/CMakeCache.txt")
    setup=$root/dist/tessaro-$version-win64-setup.exe
    say "Windows installer: $setup"
    # The installed tree: the program in bin, the shipped languages in share\tessaro.
    local tree=$windows_dir/stage/installer
    local program=$windows_dir/stage/zip/Tessaro
    rm -rf "$tree"
    mkdir -p "$tree/bin" "$tree/share/tessaro"
    cp -r "$program/." "$tree/bin/"
    rm -rf "$tree/bin/PROJECTS" "$tree/bin/MASTER" "$tree/bin/LANGUAGE" "$tree/bin/licenses" \
        "$tree/bin/Tessaro.xml"
    cp -r "$program/LANGUAGE" "$tree/share/tessaro/"
    cp -r "$program/licenses" "$tree/"
    local size_kb
    size_kb=$(du -sk "$tree" | cut -f1)
    rm -f "$setup"
    makensis -V2 -DVERSION="$version" -DSTAGE="$tree" -DSIZE_KB="$size_kb" \
        -DICON="$root/packaging/icons/tessaro.ico" -DOUTFILE="$setup" \
        "$root/packaging/windows/tessaro.nsi"
    windows_setup_path=$setup

    say "Windows installer check: silent install, start, silent uninstall (a fresh Wine prefix)"
    local prefix=$windows_dir/wine-install
    rm -rf "$prefix" "$prefix.lock"
    local wine=(env TESSARO_WINEPREFIX="$prefix" TESSARO_WINE_BARE=1 "$windows_dir/wine-run")
    "${wine[@]}" "$setup" /S
    local drive=$prefix/drive_c
    local installed="$drive/Program Files/Tessaro"
    for file in bin/tessaro.exe bin/tessaro-cli.exe bin/Qt6Widgets.dll bin/platforms/qwindows.dll \
        bin/translations/qtbase_de.qm share/tessaro/LANGUAGE/Deutsch.lng uninstall.exe; do
        [ -e "$installed/$file" ] || { echo "not installed: Program Files\\Tessaro\\$file" >&2; return 1; }
    done
    [ -e "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Tessaro.lnk" ] ||
        { echo "no Start menu entry Tessaro.lnk" >&2; return 1; }
    "${wine[@]}" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaro' \
        /v UninstallString | tr -d '\r' | grep -q 'uninstall.exe' ||
        { echo "the uninstaller is not in the programs list" >&2; return 1; }
    echo "  installed into Program Files\\Tessaro, Start menu entry, programs list entry"
    local before
    before=$(cd "$installed" && find . | sort)

    windows_start_configurator "$installed/bin/tessaro.exe" "$prefix"
    local data
    data="$drive/users/$(id -un)/AppData/Roaming/Tessaro"
    local sub
    for sub in PROJECTS MASTER LANGUAGE; do
        [ -d "$data/$sub" ] || { echo "no $sub in the data folder %APPDATA%\\Tessaro" >&2; return 1; }
    done
    grep -q '<language>English</language>' "$data/Tessaro.xml" ||
        { echo "no Tessaro.xml in %APPDATA%\\Tessaro" >&2; return 1; }
    [ "$(cd "$installed" && find . | sort)" = "$before" ] ||
        { echo "the installed configurator wrote into Program Files" >&2; return 1; }
    "${wine[@]}" "$installed/bin/tessaro-cli.exe" --help | tr -d '\r' | grep -q 'AppData.Roaming.Tessaro' ||
        { echo "the installed tessaro-cli.exe does not name the data folder" >&2; return 1; }
    echo "  the installed configurator made %APPDATA%\\Tessaro and wrote nothing into Program Files"

    # A configuration of the user's, which the uninstaller leaves alone.
    cp -r "$root/tests/data/End_To_End" "$data/PROJECTS/Hall A"
    "${wine[@]}" "$installed/uninstall.exe" /S
    # The uninstaller runs from a copy of itself: wait until it has finished.
    for _ in $(seq 120); do
        [ -e "$installed" ] || break
        sleep 0.5
    done
    [ ! -e "$installed" ] || { echo "the uninstaller left Program Files\\Tessaro" >&2; return 1; }
    [ ! -e "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Tessaro.lnk" ] ||
        { echo "the uninstaller left the Start menu entry" >&2; return 1; }
    if "${wine[@]}" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaro' \
        >/dev/null 2>&1; then
        echo "the uninstaller left its programs list entry" >&2
        return 1
    fi
    if [ ! -f "$data/PROJECTS/Hall A/ParGen.xml" ] || [ ! -f "$data/Tessaro.xml" ]; then
        echo "the uninstaller removed the user's configurations" >&2
        return 1
    fi
    echo "  uninstalled; the user's configurations and settings in %APPDATA%\\Tessaro stay"
    TESSARO_WINEPREFIX=$prefix WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
    say "Windows installer check passed: $setup"
}

windows_pass() { # sdk
    local sdk=$1
    local started=$SECONDS
    windows_build "$sdk"
    windows_tests
    windows_zip "$sdk"
    windows_installer "$sdk"
    say "Windows pass done in $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s:"
    say "  $windows_zip_path"
    say "  $windows_setup_path"
}

cmd_windows() {
    install_packages "${windows_packages[@]}"
    local sdk
    sdk=$(windows_find_sdk) || exit 1
    windows_pass "$sdk"
}

# ./dev test: the Windows pass when an SDK is there, else a note why it was skipped.
windows_pass_if_sdk() {
    local sdk
    if ! sdk=$(windows_find_sdk 2>"$root/build/windows-sdk-missing.txt"); then
        say "Windows pass skipped: no Windows SDK (TESSARO_WIN64_SDK unset, $windows_sdk_archive missing)."
        sed 's/^/  /' "$root/build/windows-sdk-missing.txt"
        return 0
    fi
    install_packages "${windows_packages[@]}"
    windows_pass "$sdk"
}
