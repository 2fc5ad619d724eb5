#!/usr/bin/env bash
# Makes seed inputs for the fuzz targets from files the default build writes.
# Usage: make_seeds.sh BUILD_DIR SEED_DIR
set -euo pipefail
build="$1"
seeds="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

mkdir -p "$seeds/header_fuzz" "$seeds/table_stream_fuzz" "$seeds/csv_fuzz"
head -n 40 "$root/data/meslekler.csv" > "$tmp/small.csv"
"$build/meslek-mdb" create "$tmp/sample.mdb" --csv "$tmp/small.csv" --quiet
"$build/meslek-mdb" create "$tmp/open.mdb" --csv "$tmp/small.csv" --password "" --quiet
"$build/meslek-mdb" create "$tmp/turkish.mdb" --csv "$tmp/small.csv" --password "Şifre İğ 1" --quiet
for db in sample open turkish; do
    head -c 4096 "$tmp/$db.mdb" > "$seeds/header_fuzz/$db"
done
"$build/meslek-reader" "$tmp/sample.mdb" meslekler > "$seeds/table_stream_fuzz/sample" || true
"$build/meslek-reader" "$tmp/sample.mdb" yok > "$seeds/table_stream_fuzz/missing" || true
# The first byte of a stream seed picks the piece size; prefix one.
for f in "$seeds/table_stream_fuzz"/*; do
    { printf '\x07'; cat "$f"; } > "$f.seed" && mv "$f.seed" "$f"
done
# The search path: choices and two terms before the same stream (see table_search_fuzz.cpp).
search="$seeds/table_search_fuzz"
mkdir -p "$search"
tail -c +2 "$seeds/table_stream_fuzz/sample" > "$tmp/sample.stream"
seed_search() { { printf "$2"; cat "$tmp/sample.stream"; } > "$search/$1"; }
seed_search all '\x07\x00\x00\x00'
seed_search one_term_csv '\x07\x43subay\x00\x00'
seed_search or_json_by_name '\x07\xb3aşçı\x00MÜHENDİS\x00'
seed_search and_by_code_desc '\x07\x12\x00\x30\x00'
seed_search codes '\x07\x82011\x00.0\x00'
cp "$tmp/small.csv" "$seeds/csv_fuzz/small.csv"
printf 'meslek_kodu,meslek_adi\n"1,2",x\n' > "$seeds/csv_fuzz/quoted.csv"

# Workbooks, written from code.
mkdir -p "$seeds/workbook_fuzz"
"$build/xlsx-seeds" "$seeds/workbook_fuzz"
printf '\x01<worksheet><sheetData><row r="2"><c r="A2" t="inlineStr"><is><t>0110.01</t></is></c><c r="B2" t="s"><v>1</v></c></row></sheetData></worksheet>' > "$seeds/workbook_fuzz/sheet"
printf '\x02<sst><si><r><t>Mes</t></r><r><t>lek</t></r><rPh><t>x</t></rPh></si><si><t xml:space="preserve"> a </t></si></sst>' > "$seeds/workbook_fuzz/strings"

# Help files: the bundled text and small RTF pieces of each kind the reader knows.
help="$seeds/help_fuzz"
mkdir -p "$help"
{ printf '\x00'; cat "$root/data/yardim.rtf"; } > "$help/yardim"
printf '\x00Plain text\r\nwith www.example.com\rand \xfd\n' > "$help/plain"
printf '\x01{\\fonttbl{\\f0\\fcharset162 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs20\\b\\cf1 \\'"'"'fd\\u351?\\uc2\\u287 ab\\par\\pard\\qc\\li720 x}' > "$help/format"
printf '\x01{\\field{\\*\\fldinst HYPERLINK "http://a.example"}{\\fldrslt link}}{\\*\\shppict{\\pict\\pngblip\\picw1\\pich1 89504e470d0a1a0a}}{\\nonshppict{\\pict\\wmetafile8 00}}}' > "$help/field"
printf '\x01\\trowd\\cellx100\\pard\\intbl a\\cell b\\cell\\row{\\listtext \\bullet\\tab}{\\pict\\jpegblip\\bin4 \xff\xd8\r\n}}' > "$help/table"
printf '\x02\\'"'"'82\\'"'"'a0{\\f0 \\'"'"'fd}}' > "$help/codepage"
printf '\x07abc\\par def\\line ghi}' > "$help/capacity"
printf '\x01{\\pict\\dibitmap0 280000000100000001000000010018000000000004000000000000000000000000000000000000000000ff00}}' > "$help/bitmap"
