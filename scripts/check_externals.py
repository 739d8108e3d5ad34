#!/usr/bin/env python3
"""Checks Max externals without Max: every .mxe64 and .mxo in a folder.

.mxe64: the export table is exactly `main`; it imports only from MaxAPI.dll,
jitlib.dll and Windows' own DLLs, and every name it takes from MaxAPI.dll or
jitlib.dll is one the SDK's import library for that DLL lists; and no code
moves a 32- or 64-byte vector to or from the stack with an aligned move,
since mingw's GCC cannot align the Win64 stack past 16 bytes.

.mxo: a bundle (Info.plist of package type iLaX naming the executable,
PkgInfo) whose executable is universal (arm64 and x86_64), of file type
BUNDLE in each slice, exports only _main, binds nothing but Max and Jitter
names and libSystem's, and has an ad hoc signature on arm64.

    scripts/check_externals.py FOLDER [--expect N]

Prints a line per external and a closing count; exits 1 on any failure.
"""
import argparse
import pathlib
import plistlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SDK = ROOT / "third_party" / "max-sdk-base"
MAX_LIB = SDK / "c74support" / "max-includes" / "x64" / "MaxAPI.lib"
JIT_LIB = SDK / "c74support" / "jit-includes" / "x64" / "jitlib.lib"
WINDOWS_DLLS = {"kernel32.dll", "msvcrt.dll", "user32.dll", "advapi32.dll", "ws2_32.dll",
                "bcrypt.dll", "ntdll.dll"}
MINGW_NM = "x86_64-w64-mingw32-nm"
MINGW_OBJDUMP = "x86_64-w64-mingw32-objdump"
LLVM = "14"


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def import_library_names(lib):
    return set(re.findall(r"__imp_(\w+)", run(MINGW_NM, str(lib))))


def pe_tables(path):
    """(exports, {dll: [names]}) from objdump's private headers."""
    text = run(MINGW_OBJDUMP, "-p", str(path))
    imports, dll = {}, None
    for line in text.splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            dll = m.group(1)
            imports[dll] = []
            continue
        if dll and not line.strip():
            dll = None
        elif dll:
            m = re.match(r"\s*[0-9a-f]+\s+\d+\s+(\S+)", line)
            if m:
                imports[dll].append(m.group(1))
    table = text.split("[Ordinal/Name Pointer] Table", 1)
    exports = re.findall(r"\[\s*\d+\]\s+(\S+)", table[1].split("\n\n", 1)[0]) if len(table) > 1 else []
    return exports, imports


# An aligned ymm/zmm move with a stack operand, in either direction.
ALIGNED_STACK_MOVE = re.compile(
    r"\tvmov(?:aps|apd|dqa\w*|nt\w*)\s+(?:%[yz]mm\d+,\S*\(%r[sb]p\)|\S*\(%r[sb]p\),%[yz]mm\d+)")


def check_mxe64(path, names):
    problems = []
    spills = ALIGNED_STACK_MOVE.findall(run(MINGW_OBJDUMP, "-d", "--no-show-raw-insn", str(path)))
    if spills:
        problems.append(f"aligned vector moves on the stack: {spills[:3]}")
    exports, imports = pe_tables(path)
    if exports != ["main"]:
        problems.append(f"exports {exports}, not only main")
    for dll, used in imports.items():
        if dll in names:
            missing = sorted(set(used) - names[dll])
            if missing:
                problems.append(f"{dll} does not export {', '.join(missing)}")
        elif dll.lower() not in WINDOWS_DLLS:
            problems.append(f"imports {dll}")
    for dll in names:
        if dll not in imports:
            problems.append(f"does not import {dll}")
    return problems


def loader_names():
    """Max names (the SDK's linker flags) and Jitter names (its import library)."""
    text = (SDK / "script" / "max-linker-flags.txt").read_text()
    names = {"_" + n for n in re.findall(r"-U,_(\w+)", text)}
    return names | {"_" + n for n in import_library_names(JIT_LIB)}


def libsystem_names(tbd):
    return set(re.findall(r"(?<![\w/])(_[\w$.]+)", tbd.read_text()))


def bound_names(binary, arch):
    text = run(f"llvm-objdump-{LLVM}", "--macho", "--bind", "--lazy-bind", "--weak-bind",
               f"--arch={arch}", str(binary))
    names = set()
    for line in text.splitlines():
        fields = line.split()
        if len(fields) >= 2 and fields[0].startswith("__") and fields[-1].startswith("_"):
            names.add(fields[-1])
    return names


def check_mxo(bundle, allowed):
    problems = []
    name = bundle.name[: -len(".mxo")]
    contents = bundle / "Contents"
    try:
        info = plistlib.loads((contents / "Info.plist").read_bytes())
    except (OSError, plistlib.InvalidFileException) as e:
        return [f"Info.plist: {e}"]
    if info.get("CFBundlePackageType") != "iLaX":
        problems.append(f"CFBundlePackageType {info.get('CFBundlePackageType')!r}")
    if info.get("CFBundleExecutable") != name:
        problems.append(f"CFBundleExecutable {info.get('CFBundleExecutable')!r}")
    pkginfo = contents / "PkgInfo"
    if not pkginfo.is_file() or not pkginfo.read_text().startswith("iLaX"):
        problems.append("no PkgInfo of type iLaX")
    binary = contents / "MacOS" / name
    if not binary.is_file():
        return problems + [f"no executable {binary.relative_to(bundle)}"]
    archs = sorted(run(f"llvm-lipo-{LLVM}", "-archs", str(binary)).split())
    if archs != ["arm64", "x86_64"]:
        return problems + [f"architectures {archs}"]
    for arch in archs:
        header = run(f"llvm-otool-{LLVM}", "-hv", "-arch", arch, str(binary))
        if " BUNDLE " not in header:
            problems.append(f"{arch}: not of file type BUNDLE")
        exports = run(f"llvm-nm-{LLVM}", "-gU", f"--arch={arch}", str(binary)).split()[2::3]
        if exports != ["_main"]:
            problems.append(f"{arch}: exports {exports}, not only _main")
        stray = sorted(bound_names(binary, arch) - allowed)
        if stray:
            problems.append(f"{arch}: binds names of no Max, Jitter or libSystem: {', '.join(stray)}")
    commands = run(f"llvm-otool-{LLVM}", "-l", "-arch", "arm64", str(binary))
    if "LC_CODE_SIGNATURE" not in commands:
        problems.append("arm64: not signed")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("folder", type=pathlib.Path)
    parser.add_argument("--expect", type=int, help="how many externals of each kind there must be")
    parser.add_argument("--libsystem", type=pathlib.Path,
                        default=ROOT / "build-deps/macos/MacOSX11.0.sdk/usr/lib/libSystem.tbd")
    args = parser.parse_args()

    windows = sorted(args.folder.glob("*.mxe64"))
    macos = sorted(args.folder.glob("*.mxo"))
    checks = []
    if windows:
        names = {"MaxAPI.dll": import_library_names(MAX_LIB), "jitlib.dll": import_library_names(JIT_LIB)}
        checks += [(p, lambda p=p: check_mxe64(p, names)) for p in windows]
    if macos:
        allowed = loader_names() | libsystem_names(args.libsystem)
        checks += [(p, lambda p=p: check_mxo(p, allowed)) for p in macos]

    failed = 0
    for path, check in checks:
        problems = check()
        failed += bool(problems)
        print(f"{'FAIL' if problems else 'ok  '} {path.name}" + "".join(f"\n     {p}" for p in problems))
    if args.expect is not None:
        for kind, found in (("mxe64", windows), ("mxo", macos)):
            if len(found) != args.expect:
                print(f"FAIL {len(found)} .{kind} in {args.folder}, expected {args.expect}")
                failed += 1
    print(f"externals: {len(checks) - min(failed, len(checks))} passed, {failed} failed")
    return 1 if failed or not checks else 0


if __name__ == "__main__":
    sys.exit(main())
