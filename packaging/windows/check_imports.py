#!/usr/bin/env python3
"""Checks that every program and library of an unpacked Windows program folder finds the DLLs it
imports: each import must lie in the folder of the executables (where Windows looks first, also
for the plugins in platforms/, styles/ and tls/) or be a DLL of Windows itself.

    check_imports.py FOLDER [--objdump PROGRAM]

Prints each .exe and .dll with its imports; exits 1 naming every import that is missing.
"""

import argparse
import os
import re
import subprocess
import sys

# The DLLs that every Windows system has, as the programs import them. The API sets
# (api-ms-win-*, ext-ms-win-*) are the system's too.
SYSTEM_DLLS = {
    "advapi32.dll", "authz.dll", "bcrypt.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll",
    "d2d1.dll", "d3d11.dll", "d3d9.dll", "dcomp.dll", "dnsapi.dll", "dwmapi.dll", "dwrite.dll",
    "dxgi.dll", "gdi32.dll", "imm32.dll", "iphlpapi.dll", "kernel32.dll", "mpr.dll",
    "msimg32.dll", "msvcrt.dll", "ncrypt.dll", "netapi32.dll", "ntdll.dll", "ole32.dll",
    "oleaut32.dll", "opengl32.dll", "secur32.dll", "setupapi.dll", "shcore.dll", "shell32.dll",
    "shlwapi.dll", "user32.dll", "userenv.dll", "uxtheme.dll", "version.dll", "winmm.dll",
    "winhttp.dll", "wininet.dll", "winspool.drv", "wtsapi32.dll", "ws2_32.dll", "wsock32.dll",
}


def imports(objdump, path):
    out = subprocess.run([objdump, "-p", path], check=True, capture_output=True, text=True,
                         errors="replace").stdout
    return re.findall(r"^\s*DLL Name:\s*(\S+)\s*$", out, re.MULTILINE)


def is_system(name):
    lower = name.lower()
    return lower in SYSTEM_DLLS or lower.startswith(("api-ms-win-", "ext-ms-win-"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("--objdump", default="x86_64-w64-mingw32-objdump")
    args = parser.parse_args()
    folder = os.path.abspath(args.folder)
    beside = {name.lower() for name in os.listdir(folder) if name.lower().endswith(".dll")}
    modules = []
    for base, _dirs, files in os.walk(folder):
        for name in sorted(files):
            if name.lower().endswith((".exe", ".dll")):
                modules.append(os.path.join(base, name))
    if not modules:
        print("check_imports: no .exe or .dll in " + folder, file=sys.stderr)
        return 1
    missing = []
    for module in sorted(modules):
        names = imports(args.objdump, module)
        relative = os.path.relpath(module, folder)
        print("%s: %s" % (relative, ", ".join(names) if names else "(no imports)"))
        for name in names:
            if name.lower() not in beside and not is_system(name):
                missing.append("%s imports %s, which is neither in the folder nor a Windows "
                               "DLL" % (relative, name))
    for line in missing:
        print("check_imports: " + line, file=sys.stderr)
    print("check_imports: %d modules, %s" % (len(modules),
                                             "%d missing imports" % len(missing) if missing
                                             else "every import found"))
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
