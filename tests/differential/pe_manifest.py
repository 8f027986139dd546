#!/usr/bin/env python3
"""Prints what the application manifest embedded in a PE file asks of Windows.

Reads the resource RT_MANIFEST (24), id 1, of the executable named on the
command line, parses it as XML (Windows refuses to start a program whose
manifest does not parse) and prints one line per finding:
    execution level LEVEL
    supported OS GUID            (one line each)
    dpi aware VALUE              (or "dpi aware none")
Exits 1 when the file has no manifest or it does not parse.
"""
import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_MANIFEST = 24
ASM_V3 = '{urn:schemas-microsoft-com:asm.v3}'
COMPATIBILITY = '{urn:schemas-microsoft-com:compatibility.v1}'


def resource_section(image):
    """The resource directory's bytes and its RVA."""
    pe = struct.unpack_from('<I', image, 0x3C)[0]
    sections, optional_size = struct.unpack_from('<H12xH', image, pe + 6)
    optional = pe + 24
    directories = optional + (96 if struct.unpack_from('<H', image, optional)[0] == 0x10B else 112)
    rva, size = struct.unpack_from('<II', image, directories + 2 * 8)
    for i in range(sections):
        header = optional + optional_size + 40 * i
        virtual_size, address, raw_size, raw = struct.unpack_from('<IIII', image, header + 8)
        if address <= rva < address + max(virtual_size, raw_size):
            start = raw + rva - address
            return image[start:start + size], rva
    raise ValueError('no resource section')


def entry(directory, offset, wanted_id=None):
    """The offset of the entry with `wanted_id` (the first when None)."""
    named, ids = struct.unpack_from('<HH', directory, offset + 12)
    for i in range(named + ids):
        name, target = struct.unpack_from('<II', directory, offset + 16 + 8 * i)
        if wanted_id is None or name == wanted_id:
            return target & 0x7FFFFFFF
    raise KeyError(wanted_id)


def manifest_bytes(path):
    with open(path, 'rb') as f:
        image = f.read()
    directory, rva = resource_section(image)
    language = entry(directory, entry(directory, entry(directory, 0, RT_MANIFEST), 1))
    data_rva, size = struct.unpack_from('<II', directory, language)
    return directory[data_rva - rva:data_rva - rva + size]


def main():
    try:
        root = ElementTree.fromstring(manifest_bytes(sys.argv[1]))
    except (KeyError, ValueError, struct.error, ElementTree.ParseError) as error:
        print(f'no manifest: {error!r}')
        return 1
    for level in root.iter(ASM_V3 + 'requestedExecutionLevel'):
        print('execution level', level.get('level'))
    for system in root.iter(COMPATIBILITY + 'supportedOS'):
        print('supported OS', system.get('Id'))
    aware = [e.text for e in root.iter() if e.tag.endswith('}dpiAware') or e.tag.endswith('}dpiAwareness')]
    print('dpi aware', ' '.join(aware) if aware else 'none')
    return 0


if __name__ == '__main__':
    sys.exit(main())
