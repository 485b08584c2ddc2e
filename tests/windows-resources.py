#!/usr/bin/python3
"""Reads back what each Windows program carries about itself, as Windows
reads it: the manifest the loader applies, and the version resource that
Explorer shows under Properties, Details. Both must say what the project
says: its version, its name, its licence's copyright line.
    windows-resources.py VERSION LICENSE EXE...
"""
import os
import sys
import xml.etree.ElementTree as ElementTree

import pefile

RT_MANIFEST = 24
PROCESS_MANIFEST = 1  # the one the loader reads for an .exe
WINDOWS_10_AND_11 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
SETTINGS = {  # element: (namespace, value)
    "activeCodePage": ("http://schemas.microsoft.com/SMI/2019/WindowsSettings", "UTF-8"),
    "longPathAware": ("http://schemas.microsoft.com/SMI/2016/WindowsSettings", "true"),
}
COMPATIBILITY = "urn:schemas-microsoft-com:compatibility.v1"


def manifest_problems(pe):
    resources = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    found = [
        pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
        for kind in (resources.entries if resources else []) if kind.id == RT_MANIFEST
        for name in kind.directory.entries if name.id == PROCESS_MANIFEST
        for lang in name.directory.entries
    ]
    if len(found) != 1:
        return [f"{len(found)} manifests with resource id 1, not one"]
    root = ElementTree.fromstring(found[0])
    problems = []
    for element, (namespace, value) in SETTINGS.items():
        values = [e.text for e in root.iter(f"{{{namespace}}}{element}")]
        if values != [value]:
            problems.append(f"{element} is {values}, not [{value!r}]")
    systems = [e.get("Id") for e in root.iter(f"{{{COMPATIBILITY}}}supportedOS")]
    if WINDOWS_10_AND_11 not in systems:
        problems.append(f"supportedOS {systems} lacks Windows 10 and 11")
    return problems


def version_problems(pe, exe, version, copyright_line):
    if not hasattr(pe, "VS_FIXEDFILEINFO"):
        return ["no version resource"]
    fixed = pe.VS_FIXEDFILEINFO[0]
    numbers = ".".join(str(n) for n in (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF,
                                        fixed.FileVersionLS >> 16, fixed.FileVersionLS & 0xFFFF))
    product = (fixed.ProductVersionMS, fixed.ProductVersionLS)
    problems = []
    if numbers != version + ".0" or product != (fixed.FileVersionMS, fixed.FileVersionLS):
        problems.append(f"fixed file and product versions are not {version}.0")
    tables = {table.LangID.decode(): table.entries
              for info in pe.FileInfo[0] if info.Key == b"StringFileInfo"
              for table in info.StringTable}
    translations = [var.entry.get(b"Translation") for info in pe.FileInfo[0]
                    if info.Key == b"VarFileInfo" for var in info.Var]
    # Explorer shows the strings of the language and code page the
    # translation names, and no others.
    if list(tables) != ["040904B0"] or translations != ["0x0409 0x04b0"]:
        return problems + [f"string tables {list(tables)}, translations {translations}"]
    strings = {key.decode(): value.decode() for key, value in tables["040904B0"].items()}
    program = os.path.basename(exe)
    wanted = {
        "ProductName": "wavesplice",
        "FileVersion": version,
        "ProductVersion": version,
        "OriginalFilename": program,
        "InternalName": program.removesuffix(".exe"),
        "LegalCopyright": copyright_line,
    }
    for key, value in wanted.items():
        if strings.get(key) != value:
            problems.append(f"{key} is {strings.get(key)!r}, not {value!r}")
    description = strings.get("FileDescription", "")
    if not description or "\n" in description:
        problems.append(f"FileDescription {description!r} is not one line")
    return problems


def main():
    version, licence, *exes = sys.argv[1:]
    with open(licence, encoding="utf-8") as text:
        copyright_line = next(line.strip() for line in text if line.startswith("Copyright "))
    failed = False
    for exe in exes:
        pe = pefile.PE(exe)
        problems = manifest_problems(pe) + version_problems(pe, exe, version, copyright_line)
        for problem in problems:
            print(f"{exe}: {problem}")
        failed = failed or bool(problems)
        if not problems:
            print(f"{os.path.basename(exe)}: manifest and version {version} as the project has them")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
