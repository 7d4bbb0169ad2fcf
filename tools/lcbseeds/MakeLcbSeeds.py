#!/usr/bin/env python3
"""Writes the seed files of the LCB reader's fuzz target (fuzz/corpus/Lcb/).

A LCB file: the 42-byte header, the entry count, the names block, one entry per form class
(name and offset), then each form's stored localization component in the class library's
component stream (TPF0, class, name, tagged properties, two end markers).
Run from the repository root: tools/lcbseeds/MakeLcbSeeds.py
"""
import struct


def short(b):
    return bytes([len(b)]) + b


def i32(v):
    return struct.pack('<i', v)


def u16(v):
    return struct.pack('<H', v)


def utf16(s):
    return s.encode('utf-16-le')


data = ("stCaptions_Unicode\r\nLabel1\tHello\tПривет\t\r\nQObject\tTitle\tЗаголовок\t\r\n"
        "stStrings_Unicode\r\nIDS_1\tOne\tОдин\t\r\n")
values = utf16('\u044f\u044e10\t12\t')
image = (b'TPF0' + short(b'TlcLang') + short(b'lcLang')
         + short(b'NumOfLanguages') + b'\x02\x02'
         + short(b'LangNames.Strings') + b'\x01\x06' + short(b'English') + b'\x06' + short(b'Russian') + b'\x00'
         + short(b'Language') + b'\x06' + short(b'English')
         + short(b'TranslationData') + b'\x0a' + i32(len(utf16(data))) + utf16(data)
         + short(b'ExtendedTranslations') + b'\x0e\x01'
         + short(b'Identifier') + b'\x06' + short(b'QObject.Width')
         + short(b'PropertyType') + b'\x07' + short(b'tkInteger')
         + short(b'ValuesEx') + b'\x0a' + i32(len(values)) + values
         + b'\x00\x00\x00\x00')


def lcb(image, cls=b'QObject'):
    f = b'LCB file: TlcLang binary translation data\x00'
    names = b'TOtherForm\r\n' + cls
    f += u16(2) + u16(len(names)) + names
    start = len(f) + 2 + 10 + 4 + 2 + len(cls) + 4
    f += u16(10) + b'TOtherForm' + i32(0) + u16(len(cls)) + cls + i32(start)
    return f + image


with open('fuzz/corpus/Lcb/two-languages.lcb', 'wb') as out:
    out.write(lcb(image))
with open('fuzz/corpus/Lcb/truncated.lcb', 'wb') as out:
    out.write(lcb(image)[:120])
