#!/usr/bin/env python3
"""Writes src/document/shape_tokens.inc, the table of shape tokens (binary id,
name, value layout), from the token list tokens.tsv.

Usage: scripts/gen_shape_tokens.py [tokens.tsv] [output]
The defaults are ../shared/shape-format/tokens.tsv beside the clone and the
checked-in src/document/shape_tokens.inc. The output is checked in, so that a
clone without the token list builds; run this again when the list changes.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def c_string(text):
    return '"' + text.replace('\\', '\\\\').replace('"', '\\"') + '"'


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, '..', 'shared', 'shape-format', 'tokens.tsv')
    target = sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, 'src', 'document', 'shape_tokens.inc')
    rows = []
    seen_ids = set()
    seen_names = set()
    with open(source, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\r\n')
            if not line or line.startswith('#'):
                continue
            cells = line.split('\t')
            if cells[0] == 'id':
                continue  # the column names
            if len(cells) < 3:
                sys.exit(f'{source}:{number}: fewer than three columns')
            token_id, name, layout = int(cells[0]), cells[1].strip(), cells[2].strip()
            if not 0 < token_id < 65536:
                sys.exit(f'{source}:{number}: id {token_id} does not fit 16 bits')
            if token_id in seen_ids or name in seen_names:
                sys.exit(f'{source}:{number}: id {token_id} or name {name} twice')
            seen_ids.add(token_id)
            seen_names.add(name)
            rows.append((token_id, name, layout))
    rows.sort()
    out = [
        '// Made by scripts/gen_shape_tokens.py from the token list; not edited by hand.',
        '// Each row: binary token id, block name, value layout ("-" when none is known).',
        '// clang-format off',
    ]
    for token_id, name, layout in rows:
        out.append(f'{{{token_id}, {c_string(name)}, {c_string(layout)}}},')
    out.append('// clang-format on')
    text = '\n'.join(out) + '\n'
    with open(target, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)


if __name__ == '__main__':
    main()
