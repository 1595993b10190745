#!/usr/bin/env python3
"""Makes sets of typing mistakes for quillet-term --measure-typos.

  bench/make_typos.py TEXT WORDLIST OUTDIR [SEED]

Words of five letters or more are taken from TEXT where WORDLIST (one word a
line, UTF-8, such as Debian's /usr/share/dict/american-english) holds them
in lower case; each is mistyped by seeded random edits: a letter replaced,
inserted or deleted, or two neighbours swapped. Accented words of WORDLIST
lose their accents. OUTDIR receives "typed<TAB>intended" lines:
  single.tsv   400 words with one edit
  double.tsv    50 words with two edits
  accents.tsv   50 accented words typed without their accents
and accents.txt, the accented words in code page 1252, to import into a
dictionary of the measuring home.
"""
import os
import random
import re
import sys
import unicodedata

LETTERS = "abcdefghijklmnopqrstuvwxyz"


def edit(word, rng):
    i = rng.randrange(len(word))
    kind = rng.choice(("replace", "insert", "delete", "swap"))
    if kind == "replace":
        return word[:i] + rng.choice(LETTERS.replace(word[i], "")) + word[i + 1:]
    if kind == "insert":
        return word[:i] + rng.choice(LETTERS) + word[i:]
    if kind == "delete":
        return word[:i] + word[i + 1:]
    i = min(i, len(word) - 2)
    return word[:i] + word[i + 1] + word[i] + word[i + 2:]


def strip_accents(word):
    return "".join(c for c in unicodedata.normalize("NFD", word) if not unicodedata.combining(c))


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    text_path, list_path, out = sys.argv[1:4]
    rng = random.Random(int(sys.argv[4]) if len(sys.argv) == 5 else 17)
    with open(list_path, encoding="utf-8") as f:
        listed = [w.strip() for w in f]
    known = {w for w in listed if re.fullmatch(r"[a-z]+", w)}
    with open(text_path, encoding="utf-8", errors="replace") as f:
        words = sorted({w.lower() for w in re.findall(r"[A-Za-z]+", f.read())})
    words = [w for w in words if len(w) >= 5 and w in known]
    os.makedirs(out, exist_ok=True)

    def mistype(count, edits, name):
        lines = []
        while len(lines) < count:
            word = rng.choice(words)
            typed = word
            for _ in range(edits):
                typed = edit(typed, rng)
            if typed != word and typed not in known:
                lines.append(f"{typed}\t{word}\n")
        with open(os.path.join(out, name), "w", encoding="utf-8") as f:
            f.writelines(lines)

    mistype(400, 1, "single.tsv")
    mistype(50, 2, "double.tsv")
    accented = sorted({w for w in listed if re.fullmatch(r"[^\W\d_A-Z]+", w) and strip_accents(w) != w
                       and all(ord(c) < 256 for c in w)})
    with open(os.path.join(out, "accents.txt"), "w", encoding="cp1252") as f:
        f.writelines(w + "\r\n" for w in accented)
    with open(os.path.join(out, "accents.tsv"), "w", encoding="utf-8") as f:
        f.writelines(f"{strip_accents(w)}\t{w}\n" for w in rng.sample(accented, min(50, len(accented))))


if __name__ == "__main__":
    main()
