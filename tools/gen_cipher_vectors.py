#!/usr/bin/env python3
"""Computes the book cipher's test vectors independently of the program.

Key = MD5(password bytes)[0:5] + 11 zero bytes; output byte i = input byte i
XOR RC4 key stream byte i; deciphering cuts at the first zero byte.

Writes tests/data/cipher_vectors.txt: one vector a line, tab-separated hex
fields (a lone "-" for no bytes):
    name  password  text  cipher  deciphered
"""
import hashlib
import os
import sys


def rc4(key: bytes, data: bytes) -> bytes:
    s = list(range(256))
    j = 0
    for i in range(256):
        j = (j + s[i] + key[i % len(key)]) & 0xFF
        s[i], s[j] = s[j], s[i]
    out = bytearray()
    i = j = 0
    for b in data:
        i = (i + 1) & 0xFF
        j = (j + s[i]) & 0xFF
        s[i], s[j] = s[j], s[i]
        out.append(b ^ s[(s[i] + s[j]) & 0xFF])
    return bytes(out)


def book_key(password: bytes) -> bytes:
    return hashlib.md5(password).digest()[:5] + bytes(11)


def encipher(password: bytes, text: bytes) -> bytes:
    return rc4(book_key(password), text)


def decipher(password: bytes, data: bytes) -> bytes:
    plain = rc4(book_key(password), data)
    zero = plain.find(b"\0")
    return plain if zero < 0 else plain[:zero]


def gbk(s: str) -> bytes:
    return s.encode("gbk")


def vectors():
    long_text = bytes((i * 7 + 13) % 251 + 1 for i in range(5000))  # no zero byte
    return [
        ("empty_password", b"", b"hello, diary"),
        ("ascii_password", b"secret", gbk("校验密码用文本\r\n【分割用文本】")),
        ("gbk_password", gbk("日记密码"), gbk("今天晴，出门散步。")),
        ("empty_text", b"abc", b""),
        ("zero_in_middle", b"pw", b"before\0after"),
        ("long_text", gbk("长"), long_text),
    ]


def hexs(b: bytes) -> str:
    return b.hex() if b else "-"


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = os.path.join(root, "tests", "data", "cipher_vectors.txt")
    lines = []
    for name, password, text in vectors():
        cipher = encipher(password, text)
        lines.append("\t".join([name, hexs(password), hexs(text), hexs(cipher),
                                hexs(decipher(password, cipher))]))
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    print(f"wrote {path}", file=sys.stderr)


if __name__ == "__main__":
    main()
