#!/usr/bin/env python3
"""Checks the delay-load imports of Windows executables without running them.

For every delay-load descriptor of each program, every address slot must hold an address inside
a code section of the image (before the first call it points at the stub that loads the DLL; a
slot of 0 makes the first call jump to address 0), and every name the descriptor imports must be
exported by the DLL of that name as Wine keeps it on disk.

The MinGW linker leaves the delay-import data directory empty, so the descriptors are found by
their shape: a 32-byte record whose DLL name, module handle, name table and address table all
lie inside the image and agree with one another.

  check_delay_imports.py [--expect DLL[,DLL...]] <pei-i386|pei-x86-64> <program.exe>...

With --expect, each program must delay-load exactly these DLLs. Exit code 77 (a skip) when
Wine's DLL folder for the architecture cannot be found.
"""

import os
import re
import struct
import sys

SKIP = 77

WINE_DLL_DIRS = {
    "pei-i386": [
        "/usr/lib/i386-linux-gnu/wine/i386-windows",
        "/usr/lib/wine/i386-windows",
        "/usr/lib32/wine/i386-windows",
        "/usr/local/lib/wine/i386-windows",
    ],
    "pei-x86-64": [
        "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows",
        "/usr/lib/wine/x86_64-windows",
        "/usr/lib64/wine/x86_64-windows",
        "/usr/local/lib/wine/x86_64-windows",
    ],
}

SCN_CNT_CODE = 0x00000020
SCN_MEM_EXECUTE = 0x20000000
SCN_MEM_WRITE = 0x80000000
DLL_NAME = re.compile(rb"[A-Za-z0-9_.\-]+\.dll", re.IGNORECASE)
FUNCTION_NAME = re.compile(rb"[A-Za-z_?@$][A-Za-z0-9_?@$]*")


class Image:
    """The parts of a PE file the checks read."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        data = self.data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE header")
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        self.pe32plus = magic == 0x20B
        self.pointer = 8 if self.pe32plus else 4
        if self.pe32plus:
            self.image_base = struct.unpack_from("<Q", data, optional + 24)[0]
            directories = optional + 112
        else:
            self.image_base = struct.unpack_from("<I", data, optional + 28)[0]
            directories = optional + 96
        self.export_directory = struct.unpack_from("<II", data, directories)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            entry = table + 40 * i
            name = data[entry:entry + 8].rstrip(b"\0").decode("ascii", "replace")
            vsize, rva, raw_size, raw_offset = struct.unpack_from("<IIII", data, entry + 8)
            flags = struct.unpack_from("<I", data, entry + 36)[0]
            self.sections.append((name, rva, max(vsize, raw_size), raw_offset, raw_size, flags))
        self.size_of_image = max(rva + size for _, rva, size, _, _, _ in self.sections)

    def section_of(self, rva):
        for section in self.sections:
            if section[1] <= rva < section[1] + section[2]:
                return section
        return None

    def offset(self, rva):
        """File offset of an RVA, or None when the RVA has no bytes in the file."""
        section = self.section_of(rva)
        if section is None:
            return None
        _, start, _, raw_offset, raw_size, _ = section
        if rva - start >= raw_size:
            return None
        return raw_offset + rva - start

    def read(self, rva, size):
        offset = self.offset(rva)
        if offset is None or offset + size > len(self.data):
            return None
        return self.data[offset:offset + size]

    def pointer_at(self, rva):
        raw = self.read(rva, self.pointer)
        if raw is None:
            return None
        return struct.unpack("<Q" if self.pe32plus else "<I", raw)[0]

    def string_at(self, rva, limit=256):
        offset = self.offset(rva)
        if offset is None:
            return None
        end = self.data.find(b"\0", offset, offset + limit)
        if end < 0:
            return None
        return self.data[offset:end]

    def is_code(self, va):
        section = self.section_of(va - self.image_base) if va >= self.image_base else None
        return section is not None and (section[5] & (SCN_CNT_CODE | SCN_MEM_EXECUTE)) != 0

    def exports(self):
        """The names and ordinals a DLL exports."""
        rva, size = self.export_directory
        names, ordinals = set(), set()
        if rva == 0 or size == 0:
            return names, ordinals
        head = self.read(rva, 40)
        base, functions, count, functions_rva, names_rva = struct.unpack_from("<IIIII", head, 16)
        ordinals.update(range(base, base + functions))
        for i in range(count):
            name_rva = struct.unpack("<I", self.read(names_rva + 4 * i, 4))[0]
            names.add(self.string_at(name_rva).decode("ascii", "replace"))
        return names, ordinals


def read_table(image, rva):
    """The entries of a zero-terminated table of pointer-size values; None when it runs off."""
    entries = []
    while len(entries) < 4096:
        value = image.pointer_at(rva + image.pointer * len(entries))
        if value is None:
            return None
        if value == 0:
            return entries
        entries.append(value)
    return None


def imported_name(image, entry):
    """'name' or '#ordinal' of one name-table entry; None when it is no such entry."""
    ordinal_flag = 1 << (image.pointer * 8 - 1)
    if entry & ordinal_flag:
        return "#%d" % (entry & 0xFFFF)
    if entry >= image.size_of_image:
        return None
    name = image.string_at(entry + 2)
    if name is None or not FUNCTION_NAME.fullmatch(name):
        return None
    return name.decode("ascii")


def delay_descriptors(image):
    """Every delay-load descriptor of the image: (DLL name, [(slot RVA, slot value, name)])."""
    found = []
    for _, start, _, raw_offset, raw_size, _ in image.sections:
        for at in range(0, raw_size - 32 + 1, 4):
            attributes, name, module, iat, int_, _, _, _ = struct.unpack_from(
                "<8I", image.data, raw_offset + at)
            if attributes != 1 or 0 in (name, module, iat, int_) or iat == int_:
                continue
            if max(name, module, iat, int_) >= image.size_of_image:
                continue
            dll = image.string_at(name)
            module_section = image.section_of(module)
            if dll is None or not DLL_NAME.fullmatch(dll) or module_section is None:
                continue
            if not module_section[5] & SCN_MEM_WRITE:
                continue
            names = read_table(image, int_)
            if not names:
                continue
            functions = [imported_name(image, entry) for entry in names]
            if None in functions:
                continue
            slots = [(iat + image.pointer * i, image.pointer_at(iat + image.pointer * i))
                     for i in range(len(functions))]
            found.append((dll.decode("ascii"),
                          [(rva, value, function)
                           for (rva, value), function in zip(slots, functions)]))
    return found


def main(argv):
    expected = None
    if len(argv) > 1 and argv[1] == "--expect":
        expected = sorted(dll.lower() for dll in argv[2].split(",") if dll)
        argv = argv[:1] + argv[3:]
    if len(argv) < 3 or argv[1] not in WINE_DLL_DIRS:
        print(__doc__.strip().splitlines()[-3], file=sys.stderr)
        return 2
    image_format, programs = argv[1], argv[2:]
    wine_dir = next((d for d in WINE_DLL_DIRS[image_format]
                     if os.path.isfile(os.path.join(d, "kernel32.dll"))), None)
    if wine_dir is None:
        print("SKIP: no Wine DLL folder for %s found (looked in %s); the delay-load imports of "
              "%s were not checked" % (image_format, ", ".join(WINE_DLL_DIRS[image_format]),
                                       ", ".join(programs)))
        return SKIP

    status = 0
    export_cache = {}
    for program in programs:
        image = Image(program)
        descriptors = delay_descriptors(image)
        dlls = sorted(dll.lower() for dll, _ in descriptors)
        failures = []
        if expected is not None and dlls != expected:
            failures.append("delay-loads %s, expected %s" % (dlls or "nothing", expected))
        for dll, slots in descriptors:
            system_dll = os.path.join(wine_dir, dll.lower())
            if dll.lower() not in export_cache:
                export_cache[dll.lower()] = (Image(system_dll).exports()
                                             if os.path.isfile(system_dll) else None)
            exports = export_cache[dll.lower()]
            if exports is None:
                failures.append("delay-loads %s, which Wine has no DLL for in %s" % (dll, wine_dir))
            for rva, value, function in slots:
                where = "%s!%s (slot at RVA 0x%x)" % (dll, function, rva)
                if not image.is_code(value):
                    failures.append("the delay-load slot of %s holds 0x%x, which is not in the "
                                    "image's code" % (where, value))
                if exports is not None:
                    names, ordinals = exports
                    known = (int(function[1:]) in ordinals if function.startswith("#")
                             else function in names)
                    if not known:
                        failures.append("%s is not exported by %s" % (where, system_dll))
        for failure in failures:
            print("FAIL %s: %s" % (program, failure))
        if failures:
            status = 1
        else:
            summary = "; ".join("%s: %s" % (dll, " ".join(f for _, _, f in slots))
                                for dll, slots in descriptors)
            print("ok %s: delay-loads %s (checked against %s)"
                  % (program, summary or "nothing", wine_dir))
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv))
