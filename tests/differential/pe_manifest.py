#!/usr/bin/env python3
"""Prints what the manifest embedded in a PE file (resource RT_MANIFEST 1)
asks of Windows: "execution level LEVEL", one "supported OS GUID" a line and
"dpi aware VALUE" (or "none"). Exits 1 when there is none or it does not
parse as XML (Windows then refuses to start the program)."""
import struct
import sys
import xml.etree.ElementTree as ElementTree


def resources(image):
    """The resource section's bytes from the resource directory on, and its RVA."""
    pe = struct.unpack_from('<I', image, 0x3C)[0]
    sections, optional_size = struct.unpack_from('<H12xH', image, pe + 6)
    optional = pe + 24
    pe32 = struct.unpack_from('<H', image, optional)[0] == 0x10B
    rva = struct.unpack_from('<I', image, optional + (96 if pe32 else 112) + 16)[0]
    for i in range(sections):
        size, address, raw_size, raw = struct.unpack_from('<4I', image, optional + optional_size + 40 * i + 8)
        if address <= rva < address + max(size, raw_size):
            return image[raw + rva - address:raw + raw_size], rva
    raise ValueError('no resource section')


def child(directory, offset, wanted=None):
    """The entry of a resource directory with id `wanted` (the first when None)."""
    named, ids = struct.unpack_from('<HH', directory, offset + 12)
    for i in range(named + ids):
        name, target = struct.unpack_from('<II', directory, offset + 16 + 8 * i)
        if wanted in (None, name):
            return target & 0x7FFFFFFF
    raise KeyError(f'resource {wanted}')


def main(path):
    try:
        directory, rva = resources(open(path, 'rb').read())
        data_rva, size = struct.unpack_from('<II', directory, child(directory, child(directory, child(directory, 0, 24), 1)))
        root = ElementTree.fromstring(directory[data_rva - rva:data_rva - rva + size])
    except (KeyError, ValueError, struct.error, ElementTree.ParseError) as error:
        print(f'no manifest: {error}')
        return 1
    tags = [(element.tag.split('}')[-1], element) for element in root.iter()]
    for tag, element in tags:
        if tag == 'requestedExecutionLevel':
            print('execution level', element.get('level'))
        if tag == 'supportedOS':
            print('supported OS', element.get('Id'))
    aware = [element.text for tag, element in tags if tag in ('dpiAware', 'dpiAwareness')]
    print('dpi aware', ' '.join(aware) if aware else 'none')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1]))
