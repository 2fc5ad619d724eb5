#!/usr/bin/env python3
"""Figures of the bundled national list, for the texts that name them.

    list_figures.py LIST.csv VERSION PAGE.in PAGE.html HEADER.h

Reads the list (UTF-8, header meslek_kodu,meslek_adi, RFC 4180 quoting) and
writes the start page from its template, with @ROWS@ (the row count with
Turkish digit grouping), @FIRST@ and @LAST@ (the least and the greatest code)
and @VERSION@ replaced, and a C++ header with the same figures. Fails on a list
without rows or with an empty code, so that no text names a figure it could
not read.
"""
import csv
import sys


def turkish_grouping(number):
    return f"{number:,}".replace(",", ".")


def read_codes(path):
    with open(path, encoding="utf-8", newline="") as source:
        rows = csv.reader(source)
        header = next(rows, None)
        if header is None or [name.strip() for name in header[:2]] != ["meslek_kodu", "meslek_adi"]:
            sys.exit(f"{path}: the header is not meslek_kodu,meslek_adi")
        codes = []
        for line, row in enumerate(rows, start=2):
            if not row:
                continue
            if not row[0].strip():
                sys.exit(f"{path}:{line}: a row without a code")
            codes.append(row[0].strip())
    if not codes:
        sys.exit(f"{path}: the list has no rows")
    return codes


def c_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    list_path, version, template_path, page_path, header_path = sys.argv[1:]
    codes = read_codes(list_path)
    figures = {
        "@ROWS@": turkish_grouping(len(codes)),
        "@FIRST@": min(codes),
        "@LAST@": max(codes),
        "@VERSION@": version,
    }
    with open(template_path, encoding="utf-8") as template:
        page = template.read()
    for placeholder, value in figures.items():
        page = page.replace(placeholder, value)
    with open(page_path, "w", encoding="utf-8") as out:
        out.write(page)
    with open(header_path, "w", encoding="utf-8") as out:
        out.write(
            "// Made by data/list_figures.py from the bundled list: do not edit.\n"
            "#pragma once\n\n"
            "namespace bundledlist {\n\n"
            f"constexpr int RowCount = {len(codes)};\n"
            f"constexpr const char* RowCountText = {c_string(figures['@ROWS@'])};\n"
            f"constexpr const char* FirstCode = {c_string(figures['@FIRST@'])};\n"
            f"constexpr const char* LastCode = {c_string(figures['@LAST@'])};\n"
            f"constexpr const char* ProgramVersion = {c_string(version)};\n\n"
            "}  // namespace bundledlist\n")


if __name__ == "__main__":
    main()
