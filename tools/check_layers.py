#!/usr/bin/env python3
"""Checks the layers of src/: reads every #include "folder/file.h" and fails when folders include
each other in a cycle, or when a folder includes one of a layer above its own.

    tools/check_layers.py [PROJECT]        PROJECT: the project's root (default: this one)
    tools/check_layers.py --graph          also print which folder includes which

The layers, from the ground up: src/ground, src/engines, src/ui, then the programs src/app and
src/cli. An include is looked up as the compiler does: beside the including file, then in the
include root of each layer (the programs include from src/). Headers that are not the project's
(Qt, pugixml, the standard library) are not followed. Exit status 0 when the folders form
layers, 1 with every cycle and every upward include named by the files that make it, 2 for a
wrong argument.
"""
import os
import re
import sys

# Layer roots below src/, lowest first, and the folders that are programs (directly in src/).
LAYERS = ['ground', 'engines', 'ui']
PROGRAMS = ['app', 'cli']
SOURCE_SUFFIXES = ('.h', '.hpp', '.cpp')
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def layer_of(folder):
    """The rank of a folder such as 'engines/access' (0 ground, 1 engines, 2 ui, 3 programs)."""
    top = folder.split('/')[0]
    if top in LAYERS:
        return LAYERS.index(top)
    return len(LAYERS)


def source_files(src):
    for dirpath, dirnames, filenames in os.walk(src):
        dirnames.sort()
        for name in sorted(filenames):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.join(dirpath, name)


def folder_of(src, path):
    return os.path.relpath(os.path.dirname(path), src).replace(os.sep, '/')


def resolve(src, including, name):
    """The file under src that an include names, or None when it is not the project's."""
    candidates = [os.path.dirname(including)]
    candidates += [os.path.join(src, layer) for layer in LAYERS]
    candidates.append(src)
    for base in candidates:
        path = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(path) and os.path.commonpath([path, src]) == src:
            return path
    return None


def read_edges(src):
    """{(from folder, to folder): [(file, line number, include text, included file)]}"""
    edges = {}
    folders = set()
    for path in source_files(src):
        here = folder_of(src, path)
        folders.add(here)
        with open(path, encoding='utf-8', errors='replace') as text:
            for number, line in enumerate(text, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = resolve(src, path, match.group(1))
                if target is None:
                    continue
                there = folder_of(src, target)
                if there != here:
                    edges.setdefault((here, there), []).append(
                        (path, number, match.group(1), target))
    return folders, edges


def strongly_connected(folders, edges):
    """Tarjan's components with more than one folder, each sorted."""
    graph = {folder: [] for folder in folders}
    for (a, b) in edges:
        graph.setdefault(a, []).append(b)
        graph.setdefault(b, [])
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = [0]

    def visit(node):
        # Iterative, so that a long chain of folders cannot exhaust the recursion limit.
        work = [(node, iter(sorted(graph[node])))]
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        while work:
            current, children = work[-1]
            advanced = False
            for child in children:
                if child not in index:
                    index[child] = low[child] = counter[0]
                    counter[0] += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(graph[child]))))
                    advanced = True
                    break
                if child in on_stack:
                    low[current] = min(low[current], index[child])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[current])
            if low[current] == index[current]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == current:
                        break
                if len(component) > 1:
                    found.append(sorted(component))

    for node in sorted(graph):
        if node not in index:
            visit(node)
    return sorted(found)


def shortest_cycle(component, edges):
    """One shortest cycle through the first folder of a component: [a, b, ..., a]."""
    members = set(component)
    start = component[0]
    previous = {start: None}
    queue = [start]
    while queue:
        node = queue.pop(0)
        for (a, b) in sorted(edges):
            if a != node or b not in members:
                continue
            if b == start:
                path = [node]
                while previous[path[-1]] is not None:
                    path.append(previous[path[-1]])
                return list(reversed(path)) + [start]
            if b not in previous:
                previous[b] = node
                queue.append(b)
    return [start, start]


def describe(edge, uses, root):
    a, b = edge
    lines = ['  %s -> %s' % (a, b)]
    for path, number, name, _ in uses:
        lines.append('      %s:%d includes "%s"' % (os.path.relpath(path, root), number, name))
    return lines


def check(root, show_graph=False, out=sys.stdout):
    src = os.path.join(root, 'src')
    if not os.path.isdir(src):
        print('check_layers: no src/ folder in %s' % root, file=sys.stderr)
        return 2
    src = os.path.realpath(src)
    folders, edges = read_edges(src)
    problems = 0

    for component in strongly_connected(folders, edges):
        problems += 1
        cycle = shortest_cycle(component, edges)
        print('cycle between folders: %s' % ' -> '.join(cycle), file=out)
        print('  (the folders %s include each other)' % ', '.join(component), file=out)
        for a, b in zip(cycle, cycle[1:]):
            for line in describe((a, b), edges[(a, b)], root)[1:]:
                print(line, file=out)

    for (a, b), uses in sorted(edges.items()):
        if layer_of(b) > layer_of(a):
            problems += 1
            print('upward include: %s (a lower layer) includes %s' % (a, b), file=out)
            for line in describe((a, b), uses, root)[1:]:
                print(line, file=out)
        elif b.split('/')[0] in PROGRAMS and b != a:
            problems += 1
            print('include of another program: %s includes %s' % (a, b), file=out)
            for line in describe((a, b), uses, root)[1:]:
                print(line, file=out)

    if show_graph:
        for folder in sorted(folders, key=lambda f: (layer_of(f), f)):
            used = sorted({b for (a, b) in edges if a == folder})
            print('%-28s %s' % (folder, ' '.join(used)), file=out)

    if problems:
        print('check_layers: %d problem%s in the layers of %s' %
              (problems, '' if problems == 1 else 's', src), file=out)
        return 1
    print('check_layers: %d folders, %d folder includes, no cycle, no upward include' %
          (len(folders), len(edges)), file=out)
    return 0


def main(argv):
    show_graph = False
    root = None
    for arg in argv:
        if arg == '--graph':
            show_graph = True
        elif arg in ('-h', '--help'):
            print(__doc__.strip())
            return 0
        elif arg.startswith('-') or root is not None:
            print('usage: tools/check_layers.py [--graph] [PROJECT]', file=sys.stderr)
            return 2
        else:
            root = arg
    if root is None:
        root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    return check(os.path.abspath(root), show_graph)


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
