#!/usr/bin/env python3
"""Writes lang/English.lng from the program's English texts
(src/ground/lang/Default_Texts.cpp).

Every text that is not a single blank gets one line, exactly as the program holds it, so that
loading the file changes nothing; it is the model that translators copy.

    python3 tools/make_english_lng.py [output file]     (default: lang/English.lng)
"""

import os
import re
import sys

VERSION = "1.00"
PILCROW = "\u00b6"

BLOCKS = {
    0: "Main window",
    100: "New configuration dialog",
    200: "Open configuration dialog",
    300: "Software options dialog",
    400: "Set Communication dialog",
    500: "DMX default values dialog",
    600: "Modbus TCP master access dialog",
    700: "Channel map",
    720: "Dry run",
    745: "Spreadsheet export and import",
    760: "Report and compare",
    780: "A file changed by another program",
    785: "Installed program",
    800: "Update dialog",
    900: "Table row copy and paste",
    903: "Report and compare (continued)",
    930: "Dry run (continued)",
    950: "Channel map (continued)",
    965: "Spreadsheet export and import (continued)",
    975: "Messages in the user's language: file problems, load errors, message box titles",
    985: "What a screen reader hears of the channel grid and the dry run",
}

# Entries that no window shows: translations may leave them out.
NOT_SHOWN = (
    list(range(407, 412)) + list(range(415, 428)) + list(range(430, 444)) + [668]
    + [800, 801, 804, 805] + list(range(807, 814)) + list(range(825, 832))
)

# What the program joins to a text; a translation must read right once joined.
NOTES = {
    9: "shown alone; keep the blank at the end",
    11: "first line of the configuration label; the name follows on the second line",
    19: "text of the link to the download page",
    304: "+ language name",
    305: "+ page + STR306 + number of pages",
    306: "between page and number of pages",
    314: "text of the link to the download page",
    316: "+ current language + STR317 + new language + STR318",
    317: "between the two language names",
    318: "closes the question of STR316",
    404: "group caption: a blank on each side",
    445: "group caption: a blank on each side",
    507: "+ row number + STR508",
    508: "follows STR507 + row number",
    674: "+ row number + one of STR675 to STR696",
    680: "+ upper bound (2000 or 125)",
    683: "+ upper bound (511)",
    691: "+ upper bound (1968 or 123)",
    694: "+ upper bound (511)",
    697: "+ row number (question with Yes and No)",
    745: "caption of a 90-pixel button with a glyph and a menu arrow: keep it short",
    755: "+ file name; the next line: STR756 + line + STR757 + column + the reason",
    756: "+ line number + STR757",
    757: "+ column number + the reason (one of STR758, STR759, STR965 to STR972)",
    758: "+ number of columns",
    759: "+ the most rows of a table (512)",
    780: "+ file name; then STR783 and STR784 (question with Yes and No)",
    781: "+ file name; then STR783 and STR784 (question with Yes and No)",
    782: "+ file name; then STR783 and STR784 (question with Yes and No)",
    783: "what the answer Yes does",
    784: "what the answer No does",
    967: "+ the column title expected",
    968: "+ the channel number expected",
    969: "+ the channel count",
    973: "+ file name; the reason follows on the next line",
    975: "keep %1 and %2: the file name and the system's reason",
    976: "keep %1 to %4: the file name, line, column and the XML parser's English description",
    977: "keep %1 and %2: the file name and the system's reason",
    978: "keep %1: the number of rows; follows the file's message after an empty line",
    979: "keep %1: the file name; follows the file's message after an empty line",
    980: "keep %1: the file name; follows the file's message after an empty line",
    737: "keep %1, %2 and %3: requests, connections, answers per second",
    739: "+ the editor's message for the row",
    741: "help text: each \u2022 starts a paragraph of its own",
    930: "keep %1 to %7: row, slave address:port, unit, type, address, points, function",
    931: "keep %1: the round trip in ms",
    932: "keep %1 and %2: the first and last channel",
    933: "keep %1: the function code",
    934: "keep %1: how many more are not shown",
    936: "keep %1: the time-out in ms",
    939: "keep %1: the system's description of the network error",
    940: "keep %1: the exception code; its name follows in brackets",

    785: "+ updater file name (error box; STR786 and the folders follow on lines of their own)",
    786: "followed by the folders looked in, one per line",
    788: "+ path of Flashlink.xml",
    789: "+ path of the updater",
    790: "+ the reason the system gives (in English)",

    704: "+ channel number; then STR706 or STR707, or STR708, STR709 or STR716",
    705: "+ channel range such as 17-32; then as STR704",
    706: "+ one bit number",
    707: "+ bit numbers such as 3-4",
    708: "+ row numbers such as 3, 7; then STR710 or STR713",
    709: "+ one row number; then STR711",
    710: "follows the row numbers of STR708",
    711: "+ channel count + STR712",
    712: "follows the channel count of STR711",
    713: "follows the row numbers of STR708",
    714: "slave address and port + STR714 + slave ID",
    715: "+ the editor's message for the row",
    716: "follows a channel or a range of channels",
    958: "+ value (0 to 255)",
    959: "+ row number",
    960: "+ channel count",
    985: "the Suspended column of the dry run, after its glyph: keep it short",
    986: "read by a screen reader in the Suspended column of a request that runs",
    987: "spoken after a channel that no request uses",
    988: "spoken after the row of a suspended request",
    989: "+ the request's last error, spoken after its row",
    990: "the name a screen reader gives the grid of the 512 channels",
    991: "how the keys move in the grid; STR992 or STR993 follows",
    992: "follows STR991 in the channel map",
    993: "follows STR991 in the dry run",
}

ESCAPES = {'"': '"', "\\": "\\", "'": "'", "n": "\n", "t": "\t", "?": "?"}


def c_string(literal):
    out = []
    i = 0
    while i < len(literal):
        c = literal[i]
        if c != "\\":
            out.append(c)
            i += 1
            continue
        nxt = literal[i + 1]
        if nxt not in ESCAPES:
            raise ValueError("unsupported escape \\" + nxt)
        out.append(ESCAPES[nxt])
        i += 2
    return "".join(out)


def default_texts(source):
    """(index, text) pairs of the table in source order; adjacent literals are joined."""
    entry = re.compile(r'\{\s*(\d+)\s*,\s*((?:"(?:[^"\\]|\\.)*"\s*)+)\}')
    literal = re.compile(r'"((?:[^"\\]|\\.)*)"')
    texts = []
    for index, literals in entry.findall(source):
        texts.append((int(index), "".join(c_string(s) for s in literal.findall(literals))))
    return texts


def lng_text(text):
    """A text as written after "=": between two marks when its blanks must stay."""
    if "/#/" in text or PILCROW in text or "\n" in text or "\r" in text:
        raise ValueError("a language file cannot hold the text %r" % text)
    if text == "" or text != text.strip(" \t") or text[0] <= " " or text[-1] <= " ":
        return PILCROW + text + PILCROW
    return text


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.join(here, "..")
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "lang", "English.lng")
    texts = os.path.join(root, "src", "ground", "lang", "Default_Texts.cpp")
    with open(texts, encoding="utf-8") as f:
        texts = default_texts(f.read())
    if len(texts) < 100 or len({i for i, _ in texts}) != len(texts):
        raise SystemExit("could not read the default texts")

    lines = [
        "// Tessaro language file: English (the program's own texts)",
        "//",
        "// How to write a language file:",
        "// - Save it as UTF-8 (with or without byte-order mark), named after the language as",
        "//   the user should see it in the options dialog, e.g. Italiano.lng; put the flag",
        "//   beside it as Italiano.bmp (48 x 48 pixels, its bottom-left colour is transparent).",
        "// - One text per line: STR<index> = <text>. Keep a blank before \"=\": the character",
        "//   just before \"=\" is not read as part of the index.",
        "// - Leading and trailing blanks are removed; to keep them, write the text between two",
        "//   \u00b6 marks. \"/#/\" starts a comment. Other lines are ignored.",
        "// - Entries the file leaves out keep their English text. Entries no window shows:",
        "//   407-411, 415-427, 430-443, 668, 800, 801, 804, 805, 807-813, 825-831.",
        "// - The About window shows the version below as the language version.",
        "",
        "//VERSION " + VERSION,
    ]
    block = None
    for index, text in texts:
        start = max((s for s in BLOCKS if s <= index), default=index // 100 * 100)
        if index // 100 * 100 > start:
            start = index // 100 * 100
        if start != block:
            block = start
            heading = BLOCKS.get(start, "Entries %d to %d" % (start, start + 99))
            lines += ["", "// " + heading]
        line = "STR%d = %s" % (index, lng_text(text))
        note = NOTES.get(index)
        if index in NOT_SHOWN:
            note = "not shown" if not note else note + "; not shown"
        if note:
            line += " /#/ " + note
        lines.append(line)
    with open(out, "w", encoding="utf-8-sig", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
