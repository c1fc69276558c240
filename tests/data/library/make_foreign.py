#!/usr/bin/env python3
"""Writes foreign/Recordings.d and foreign/Folders.d from the table file format alone, the way
another program would: fields in another order and letter case, a notes block, a zero integer
written with data, and a String without size digits. Run from this folder."""
import struct

def text(s):
    return s.encode("utf-8")

def table(fields, records, notes=None):
    desc = b"".join(b"XXX." + name + b" " + typ + b"\x12" for name, typ in fields) + b"\x14"
    body = b""
    if notes is not None:
        body += b"*" + struct.pack("<H", len(notes)) + notes
    for rec in records:
        lengths, data = b"", b""
        for (name, typ), value in zip(fields, rec):
            if value is None:
                lengths += b"\x00"
            elif typ == b"i":
                lengths += b"\x04"
                data += struct.pack("<i", value)
            elif typ.startswith(b"s"):
                lengths += b"\x04"
                data += struct.pack("<i", len(value)) + value
            else:
                lengths += bytes([len(value)])
                data += value
        body += lengths + data
    head = b"S" + struct.pack("<iii", len(records), len(fields), len(desc)) + desc
    image = head + body
    return struct.pack("<i", len(image) + 4) + image

folders = table([(b"FOLDERNAME", b"s"), (b"FOLDERID", b"K")],
                [(text("General"), text("0A1b2C3d")), (text("Work, \"old\""), text("9z8Y7x6W"))])
recordings = table(
    [(b"ID", b"A"), (b"DateS", b"C"), (b"TimeS", b"C"), (b"Duration", b"A"), (b"Comment", b"s255"),
     (b"FolderID", b"K"), (b"Channel", b"i")],
    [(text("Ab3dE5gH"), text("12/8/26"), text("1:14:53 PM"), text("09:59"), text("+49 30 1234"), text("0A1b2C3d"), 1),
     (text("Zz9yX8wV"), text("1/2/99"), text("11:05:00 AM"), text("01:05"), text("=HYPERLINK(\"x\")"), text("9z8Y7x6W"), 1),
     (text("Qq1wE2rT"), text("3/4/25"), text("8:00:07 PM"), text("00:05"), text("M\u00fcller, \"Hans\""), text("9z8Y7x6W"), 0)],
    notes=b"written by hand")
open("foreign/Folders.d", "wb").write(folders)
open("foreign/Recordings.d", "wb").write(recordings)
open("foreign/wav/1_20261208_131453.wav", "wb").write(b"RIFF")
open("foreign/wav/Zz9yX8wV.wav", "wb").write(b"RIFF")
