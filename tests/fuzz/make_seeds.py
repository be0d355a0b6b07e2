#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets over tree bodies, transformation
codes, batch files and the settings file into <target>-corpus/. Each seed is
a case the tests use, in the form its target takes (see the comment at the
top of each *_fuzz.cpp)."""
import os

here = os.path.dirname(os.path.abspath(__file__))


def tree(n, similarity, body):
    """The option byte (OTUs and type) and a tree body."""
    return bytes([(n - 1) | (0x40 if similarity else 0)]) + body


def codes(n, by_rows, text):
    """The option byte (variables and direction) and a code text."""
    return bytes([(n - 1) | (0 if by_rows else 0x80)]) + text


def batch(parameters, lines):
    """The batch parameters field, then the batch file."""
    return parameters + b"\n" + b"\r\n".join(lines) + b"\r\n"


seeds = {
    "tree_notation": {
        "notation": tree(3, False, b"((1,2),3);"),
        "notation-lengths": tree(4, False, b"((1:1,2:1):2,(3:2,4:2):1);"),
        "notation-over-lines": tree(3, False, b" \r\n ( ( 1 , 2 ) ,\r\n 3 ) ; dropped\r\nnext\r\n"),
        "notation-lifted-group": tree(3, False, b"((1:4,2:4):0,3:1);"),
        "notation-signed-leaf": tree(3, False, b"((-1,2),3);"),
        "notation-unbalanced": tree(2, False, b"((1,2);"),
        "rows": tree(5, False, b"  1 1.50000000000000E+000\r\n  2 4.25000000000000E+000\r\n"
                     b"  3 8.50000000000000E+000\r\n  4 2.50000000000000E+000\r\n   5 0.0\r\n"),
        "rows-similarity": tree(3, True, b"  2 0.5 x\r\n3,1.5 y\r\n\r\n  1 0.0 rest\r\nnext\r\n"),
        "rows-decimal-commas": tree(3, True, b"1 0,5\r\n2 1,5\r\n3\r\n"),
        "rows-pointer-twice": tree(3, True, b"1 1.0\r\n2 2.0\r\n1\r\n"),
    },
    "transf_codes": {
        "two-codes": codes(4, True, b"LN SQRT"),
        "joined-codes": codes(5, True, b"ADD(1)+LN+BAD"),
        "lower-case": codes(5, False, b"ln+sqrt SQ"),
        "ranges": codes(6, True, b"KEEP[2-4] DIVSTD[1] SUBYBAR[-3] DIVMAX[4-] RECIP[5-3]"),
        "parameters": codes(4, True, b"DIV(2) MUL(0.5) SHAPET(1,4)[1-2] BIN(0.5,1,2)"),
        "shapes": codes(8, False, b"1TO2 2TO1 1TO3 3TO1 SHAPETU2(1,3) TRANSP"),
        "unclosed": codes(3, True, b"SHAPET(1 2) SQRT(2)"),
        "bad-range": codes(3, True, b"LOG[a] LOG1[0] EXP[9]"),
    },
    "batch": {
        "consensus": batch(b"", [
            b"\" CONSENS on the four trees of trees6.tre by every method",
            b"*CONSENS O1=trees6.tre R=consens.tre M=STRICT",
            b"*CONSENS O1=trees6.tre R=consens.tre M=MAJRUL S=0.5 ST=YES",
            b"'*CONSENS O1=first.tre O2=second.tre R=consens.tre M=STINEB S=0.6"]),
        "parameters": batch(b"data.qmx tree.tre 7", [
            b"*SAHN O=%1 R=%2 CM=UPGMA",
            b"   TM=WARN",
            b"",
            b"*COPH O=%2 R=c%3.qmx",
            b"*TREE O=%9 X=%%1"]),
        "every-type": batch(b"second", [
            b"*TRANSF T=LN,O=in.qmx R=out.qmx C=%1 K=YES X=0.25 N=99",
            b"*OUTPUT T=a N=0 X=2 C=none K=ROW"]),
        "bad-lines": batch(b"a b c d e f g h i j", [
            b"SAHN O=x",
            b"*NOSUCH A=1",
            b"*SAHN O",
            b"*",
            b"*MST O=a=b"]),
    },
    "settings": {
        "defaults": b"[Config]\r\nFileFormat=e\r\nListingFormat=8.4f\r\nListingIndent=8\r\nDefaultDir=\r\n"
                    b"OverWrite=?\r\nEditor=MVEDIT\r\n[MainWindow]\r\nPage=0\r\n",
        "every-section": b"; other programs' lines stay\n[Other]\nKey=1\n[config]\nfileformat = e12.5\n"
                         b"LISTINGFORMAT=\"12.5F\"\nListingIndent=4\nDefaultDir=  /data/runs  \nOverWrite=a\n"
                         b"Editor=vi -n\n[MainWindow]\nPage=3\n[WinPos]\nListingF=0 1 0 0 0 0 10 20 300 400 \n"
                         b"[Mvedit]\nFile=x.qmx\n",
        "refused-values": b"[Config]\rFileFormat=%sF\rListingFormat=5.9f\rListingIndent=x\rOverWrite=Z\r"
                          b"[MainWindow]\rPage=-1\r[WinPos]\rListingF=1 2 x\r",
        "no-sections": b"FileFormat=e\n[Config\nOverWrite\n=F\n[]\n",
        # found by fuzzing: a key given twice came back once it was removed
        "key-twice": b"[Config]\r\nOverWrite=?\r\nEditor=MVEDIT\r\noverwrite=F\r\n",
        # found by fuzzing: an empty editor command did not read back as written
        "empty-editor": b"[Config]\r\nEditor=\x01\r\n",
    },
}

for target, inputs in seeds.items():
    folder = os.path.join(here, target + "-corpus")
    os.makedirs(folder, exist_ok=True)
    for name, data in inputs.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
