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

SMI = "http://schemas.microsoft.com/SMI/"
WANTED_SETTINGS = [(SMI + "2019/WindowsSettings", "activeCodePage", "UTF-8"),
                   (SMI + "2016/WindowsSettings", "longPathAware", "true")]
COMPATIBILITY = "urn:schemas-microsoft-com:compatibility.v1"
WINDOWS_10_AND_11 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"


def problems(exe, version, copyright_line):
    pe = pefile.PE(exe)
    resources = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    # Type RT_MANIFEST (24), id 1: the one the loader reads for an .exe.
    manifests = [pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                 for kind in (resources.entries if resources else []) if kind.id == 24
                 for name in kind.directory.entries if name.id == 1
                 for lang in name.directory.entries]
    if len(manifests) != 1 or not hasattr(pe, "VS_FIXEDFILEINFO"):
        return [f"{len(manifests)} manifests of id 1, version resource: "
                f"{hasattr(pe, 'VS_FIXEDFILEINFO')}"]
    root = ElementTree.fromstring(manifests[0])
    wrong = []
    for namespace, key, value in WANTED_SETTINGS:
        values = [e.text for e in root.iter(f"{{{namespace}}}{key}")]
        if values != [value]:
            wrong.append(f"{key} is {values}, not [{value!r}]")
    systems = [e.get("Id") for e in root.iter(f"{{{COMPATIBILITY}}}supportedOS")]
    if WINDOWS_10_AND_11 not in systems:
        wrong.append(f"supportedOS {systems} lacks Windows 10 and 11")

    fixed = pe.VS_FIXEDFILEINFO[0]
    numbers = [fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF,
               fixed.FileVersionLS >> 16, fixed.FileVersionLS & 0xFFFF]
    product = (fixed.ProductVersionMS, fixed.ProductVersionLS)
    if ".".join(map(str, numbers)) != version + ".0" or \
            product != (fixed.FileVersionMS, fixed.FileVersionLS):
        wrong.append(f"fixed file and product versions are not {version}.0")
    # Explorer shows the strings of the language and code page that the
    # translation names, and no others.
    tables = {t.LangID: t.entries for info in pe.FileInfo[0] if info.Key == b"StringFileInfo"
              for t in info.StringTable}
    translations = [var.entry.get(b"Translation") for info in pe.FileInfo[0]
                    if info.Key == b"VarFileInfo" for var in info.Var]
    if list(tables) != [b"040904B0"] or translations != ["0x0409 0x04b0"]:
        return wrong + [f"string tables {list(tables)}, translations {translations}"]
    strings = {key.decode(): value.decode() for key, value in tables[b"040904B0"].items()}
    program = os.path.basename(exe)
    for key, value in [("ProductName", "wavesplice"), ("FileVersion", version),
                       ("ProductVersion", version), ("OriginalFilename", program),
                       ("InternalName", program.removesuffix(".exe")),
                       ("LegalCopyright", copyright_line)]:
        if strings.get(key) != value:
            wrong.append(f"{key} is {strings.get(key)!r}, not {value!r}")
    # A title, as Explorer and Task Manager show it: short, no sentence.
    description = strings.get("FileDescription") or ""
    if not description or len(description) > 40 or any(mark in description for mark in ".,;:\n"):
        wrong.append(f"FileDescription {description!r} is no short title")
    return wrong


version, licence, *exes = sys.argv[1:]
with open(licence, encoding="utf-8") as text:
    copyright_line = next(line.strip() for line in text if line.startswith("Copyright "))
failed = False
for exe in exes:
    wrong = problems(exe, version, copyright_line)
    print("\n".join(f"{exe}: {problem}" for problem in wrong) or
          f"{os.path.basename(exe)}: manifest and version {version} as the project has them")
    failed = failed or bool(wrong)
sys.exit(1 if failed else 0)
