#!/usr/bin/env python3
"""Reads a Windows DLL's import and export tables and checks what a player's machine needs.

    check_dll.py DLL ARCH

Fails unless the DLL is a 64-bit PE for ARCH (x86_64 or arm64), imports (directly or
delay-loaded) only DLLs that ship with Windows, and exports exactly vantrel_library_init
by name and nothing by ordinal alone.
"""

import re
import struct
import sys

ENTRY = "vantrel_library_init"
MACHINES = {"x86_64": 0x8664, "arm64": 0xAA64}
# What Windows itself provides; the GCC runtime (libgcc_s_seh-1, libstdc++-6,
# libwinpthread-1) must not be among the imports.
SYSTEM_DLL = re.compile(r"^(kernel32|msvcrt|ucrtbase|ntdll|advapi32|user32|bcrypt|api-ms-win-[a-z0-9-]+)\.dll$")

EXPORT_DIRECTORY, IMPORT_DIRECTORY, DELAY_IMPORT_DIRECTORY = 0, 1, 13


class Image:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no DOS header")
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, sections, optional_size = struct.unpack_from("<HH12xH", data, pe + 4)
        optional = pe + 24
        if self.u16(optional) != 0x20B:
            raise ValueError("not a 64-bit (PE32+) image")
        self.directory_count = self.u32(optional + 108)
        self.directories = optional + 112
        table = optional + optional_size
        self.sections = [struct.unpack_from("<8xIIII", data, table + 40 * k) for k in range(sections)]

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def offset(self, rva):
        for virtual_size, address, raw_size, raw_offset in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return rva - address + raw_offset
        raise ValueError("address %#x lies in no section" % rva)

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def directory(self, index):
        if index >= self.directory_count:
            return 0, 0
        return struct.unpack_from("<II", self.data, self.directories + 8 * index)

    # DLL names of a table of fixed-size descriptors that ends with an all-zero one.
    def dll_names(self, index, descriptor_size, name_at):
        rva, size = self.directory(index)
        names = []
        while rva and size:
            start = self.offset(rva)
            if not any(self.data[start:start + descriptor_size]):
                break
            names.append(self.text(self.u32(start + name_at)))
            rva += descriptor_size
        return names

    def imports(self):
        return self.dll_names(IMPORT_DIRECTORY, 20, 12) + self.dll_names(DELAY_IMPORT_DIRECTORY, 32, 4)

    # (names, number of exported functions)
    def exports(self):
        rva, size = self.directory(EXPORT_DIRECTORY)
        if not rva or not size:
            return [], 0
        start = self.offset(rva)
        functions, count, names = struct.unpack_from("<II4xI", self.data, start + 20)
        return [self.text(self.u32(self.offset(names) + 4 * k)) for k in range(count)], functions


def problems(image, arch):
    found = []
    if image.machine != MACHINES[arch]:
        found.append("machine %#x is not %s" % (image.machine, arch))
    imports = image.imports()
    foreign = [name for name in imports if not SYSTEM_DLL.match(name.lower())]
    if foreign:
        found.append("imports DLLs that Windows does not ship: %s" % ", ".join(foreign))
    if not imports:
        found.append("imports nothing, so the import table was not read")
    names, functions = image.exports()
    if names != [ENTRY] or functions != 1:
        found.append("exports %s (%d functions), wanted %s only" % (names, functions, ENTRY))
    return found, imports, names


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in MACHINES:
        print(__doc__)
        return 2
    path, arch = sys.argv[1], sys.argv[2]
    try:
        with open(path, "rb") as f:
            found, imports, names = problems(Image(f.read()), arch)
    except (OSError, ValueError, struct.error) as e:
        found, imports, names = ["cannot read %s: %s" % (path, e)], [], []
    for problem in found:
        print("FAIL: " + problem)
    if not found:
        print("ok: %s imports %s and exports %s" % (path, ", ".join(imports), ", ".join(names)))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
