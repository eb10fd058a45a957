"""An independent reader of the library index files, for checking what the
scanner wrote."""

import os
import struct


def item_block(data):
    items = []
    if len(data) < 4:
        return items
    count, = struct.unpack_from("<i", data, 0)
    pos = 4
    while pos + 4 <= len(data) and len(items) < count:
        size, = struct.unpack_from("<i", data, pos)
        end = pos + size
        body = data[pos + 4:end]
        texts = []
        at = 0
        for _ in range(2):
            stop = at
            while stop + 2 <= len(body) and body[stop:stop + 2] != b"\0\0":
                stop += 2
            texts.append(body[at:stop].decode("utf-16-le"))
            at = stop + 2
        items.append((texts[0], texts[1], body[at:]))
        pos = end
    return items


def read_index(folder):
    """Tracks in FileIndex.bin order: dicts with id, path, state, format, properties, tags (names
    lower-cased: the system looks tags up with ASCII case folding), art."""
    def load(name):
        path = os.path.join(folder, name)
        if not os.path.exists(path):
            return b""
        with open(path, "rb") as f:
            return f.read()

    names = {}
    lines = load("FileNameList.bin").decode("utf-16-le").split("\r\n")
    for line in lines[1:]:
        fields = line.split("{_; _}")
        if len(fields) == 4:
            names[int(fields[0])] = (int(fields[1]), int(fields[2]), fields[3])
    index = load("FileIndex.bin")
    props = load("InfPropsNTags.bin")
    arts_idx = load("AlbumArtsIdx.bin")
    arts = load("AlbumArts.bin")
    art_records = [struct.unpack_from("<iIQ", arts_idx, p) for p in range(0, len(arts_idx) - 15, 16)]
    tracks = []
    for p in range(0, len(index) - 60, 61):
        file_id, = struct.unpack_from("<i", index, p)
        state = index[p + 12]
        track_stamp, art_key, art_size, entry, prop_len, tag_len = struct.unpack_from("<qiIqII", index, p + 13)
        channels, = struct.unpack_from("<H", props, entry + 2)
        rate, = struct.unpack_from("<I", props, entry + 4)
        bits, = struct.unpack_from("<H", props, entry + 14)
        properties = item_block(props[entry + 68:entry + 68 + prop_len])
        tags = item_block(props[entry + 68 + prop_len:entry + 68 + prop_len + tag_len])
        art = b""
        for key, size, offset in art_records:
            if key == art_key and size == art_size and art_size:
                art = arts[offset:offset + size]
                break
        stamp, second, path = names[file_id]
        tracks.append(dict(id=file_id, path=path, state=state, stamp=stamp, track_stamp=track_stamp,
                           format=(channels, rate, bits), properties={n: v for n, v, _ in properties},
                           tags={n.lower(): v for n, v, _ in tags}, art=art))
    return tracks
