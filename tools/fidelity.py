#!/usr/bin/env python3
"""Paragraph fidelity of lectern-convert on the books that have reference paragraphs.

    tools/fidelity.py [--convert PATH] [--shared DIR] [--jobs N] [MODE ...]

Converts each book of SHARED/corpus/books that has SHARED/fidelity/truth/BOOK.paras twice, as it
is and with every empty line removed (the shape of many e-texts), once per MODE, and scores each
rebuild with SHARED/fidelity/score.py. A MODE is a name and the converter's options, "name=opts":
the default modes are poorly=--poorly-written, well=--well-written and detect (no option).
Prints a table of F1 per book and mode and the mean of each mode per variant, with the mean of
the better and of the worse mode per book among the first two.
"""
import argparse
import concurrent.futures
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def convert(converter, book, out, options):
    env = dict(os.environ, QT_QPA_PLATFORM='offscreen')
    done = subprocess.run([converter, book, out] + options, env=env, capture_output=True, text=True)
    if done.returncode != 0:
        raise RuntimeError('%s %s: %s' % (book, ' '.join(options), done.stderr.strip()))


def without_empty_lines(book, out):
    with open(book, 'rb') as fh:
        data = fh.read()
    lines = data.replace(b'\r\n', b'\n').replace(b'\r', b'\n').split(b'\n')
    with open(out, 'wb') as fh:
        fh.write(b'\n'.join(l for l in lines if l.strip()) + b'\n')


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument('--convert', default=os.path.join(ROOT, 'build', 'package', 'lectern-convert'))
    ap.add_argument('--shared', default=os.path.join(os.path.dirname(ROOT), 'shared'))
    ap.add_argument('--jobs', type=int, default=2)
    ap.add_argument('modes', nargs='*')
    args = ap.parse_args()
    modes = args.modes or ['poorly=--poorly-written', 'well=--well-written', 'detect=']
    modes = [(m.split('=', 1)[0], m.split('=', 1)[1].split() if '=' in m else []) for m in modes]

    truth_dir = os.path.join(args.shared, 'fidelity', 'truth')
    sys.path.insert(0, os.path.join(args.shared, 'fidelity'))
    import score  # the shared scorer, used as it is

    books = sorted(f[:-6] for f in os.listdir(truth_dir) if f.endswith('.paras'))
    work = tempfile.mkdtemp(prefix='lectern-fidelity-')
    jobs = []
    for name in books:
        book = os.path.join(args.shared, 'corpus', 'books', name + '.txt')
        flat = os.path.join(work, name + '.flat.txt')
        without_empty_lines(book, flat)
        for variant, source in (('as-is', book), ('no-empty', flat)):
            for mode, options in modes:
                out = os.path.join(work, '%s.%s.%s.out.txt' % (name, variant, mode))
                jobs.append((name, variant, mode, source, out, options))
    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        list(pool.map(lambda j: convert(args.convert, j[3], j[4], j[5]), jobs))

    f1 = {}
    for name, variant, mode, _, out, _ in jobs:
        truth = score.load_truth(os.path.join(truth_dir, name + '.paras'))
        f1[name, variant, mode] = score.score(score.load_output(out), truth)[2]

    names = [m for m, _ in modes]
    for variant in ('as-is', 'no-empty'):
        print('== %s' % variant)
        print('%-30s %s' % ('book', ' '.join('%8s' % m for m in names)))
        for name in books:
            print('%-30s %s' % (name, ' '.join('%8.3f' % f1[name, variant, m] for m in names)))
        means = ['%8.3f' % (sum(f1[b, variant, m] for b in books) / len(books)) for m in names]
        print('%-30s %s' % ('mean', ' '.join(means)))
        if len(names) >= 2:
            best = sum(max(f1[b, variant, names[0]], f1[b, variant, names[1]]) for b in books) / len(books)
            worst = sum(min(f1[b, variant, names[0]], f1[b, variant, names[1]]) for b in books) / len(books)
            print('%-30s %8.3f (worse %.3f)' % ('per-book best of first two', best, worst))
    return 0


if __name__ == '__main__':
    sys.exit(main())
