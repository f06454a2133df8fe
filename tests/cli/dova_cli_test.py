#!/usr/bin/env python3
"""dova-cli end to end: a book it creates deciphers, with an RC4 and MD5 of
Python's own, to exactly the plain book text the format prescribes, and
exporting it gives back the titles and bodies it was made from.

Usage: dova_cli_test.py PATH-TO-dova-cli
"""
import json
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
from gen_cipher_vectors import decipher  # noqa: E402  pure-Python MD5 + RC4

SIGNATURE_LENGTH = 285

ENTRIES = [
    {"title": "第一天", "body": "今天晴\r\n出门散步。"},
    {"title": "表情 😀", "body": "🎉 emoji in GB18030 take four bytes"},
    {"title": "", "body": ""},
    {"title": "全角１２３", "body": "ａｂｃ　and [头] inside"},
]


def gbk(s):
    return s.encode("gb18030")


def expected_plain(entries):
    index = b"".join(b"\r\n" + gbk(e["title"]) + b"," + str(i + 1).encode()
                     for i, e in enumerate(entries))
    records = b"".join(b"\r\n" + gbk("[头]") + gbk(e["body"]) + gbk("[尾]") for e in entries)
    mark = gbk("【分割用文本】")
    rest = b"\r\n" + mark + index + b"\r\n" + mark + records + b"\r\n" + mark + b"\r\n" + gbk("[结束]")
    lead = gbk("校验密码用文本") + b"\r\n" + mark + b"\r\n"
    # The length field counts the whole text, its own digits included.
    for digits in range(1, 12):
        n = len(lead) + digits + len(rest)
        if len(str(n)) == digits:
            return lead + str(n).encode() + rest
    raise AssertionError("no length field fits")


def run(cli, *args, env_password="日记密码"):
    env = dict(os.environ, DOVA_PASSWORD=env_password)
    return subprocess.run([cli, *args], env=env, stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=60)


def main():
    cli = sys.argv[1]
    failures = []

    def check(cond, what):
        if not cond:
            failures.append(what)

    with tempfile.TemporaryDirectory() as d:
        source = os.path.join(d, "in.json")
        book = os.path.join(d, "b.dova")
        with open(source, "w", encoding="utf-8") as f:
            json.dump({"entries": ENTRIES}, f, ensure_ascii=False)

        r = run(cli, "create", book, "--from", source)
        check(r.returncode == 0, f"create failed: {r.returncode} {r.stderr!r}")

        data = open(book, "rb").read()
        plain = decipher(gbk("日记密码"), data[SIGNATURE_LENGTH:])
        want = expected_plain(ENTRIES)
        check(data[:8] == b"\x89PNG\r\n\x1a\n", "the book does not begin with a PNG picture")
        check(len(data) == SIGNATURE_LENGTH + len(want), "the book has the wrong length")
        check(plain == want, f"deciphered text differs:\n{plain!r}\n{want!r}")

        r = run(cli, "export", book, "--format", "json")
        check(r.returncode == 0, f"export failed: {r.returncode} {r.stderr!r}")
        got = json.loads(r.stdout.decode("utf-8"))["entries"]
        check([(e["title"], e["body"]) for e in got] == [(e["title"], e["body"]) for e in ENTRIES],
              f"export differs: {got!r}")
        check([e["record_number"] for e in got] == [1, 2, 3, 4], "record numbers are not 1..n")

        r = run(cli, "decrypt", book)
        check(r.returncode == 0 and r.stdout == want, "decrypt does not give the plain text")

        r = run(cli, "list", book, env_password="wrong")
        check(r.returncode == 4 and r.stdout == b"", f"wrong password gave {r.returncode}")

    for f in failures:
        print("FAIL:", f)
    print("ok" if not failures else f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
