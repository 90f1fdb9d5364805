#!/usr/bin/env python3
"""Tests of tools/check_layers.py on small trees made for each case.

    check_layers_test.py CASE     runs one case (ctest runs each on its own)
"""
import io
import os
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tools'))
import check_layers  # noqa: E402


def make_tree(files):
    """A project root with src/ holding files {path under src: text}."""
    root = tempfile.mkdtemp(prefix='layers-')
    for path, text in files.items():
        full = os.path.join(root, 'src', path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, 'w', encoding='utf-8') as out:
            out.write(text)
    return root


def run(files):
    out = io.StringIO()
    status = check_layers.check(make_tree(files), out=out)
    return status, out.getvalue()


# A small tree in layers: a platform file, an engine on it, a window on both, a program on top.
LAYERED = {
    'ground/platform/Files.h': '#pragma once\n#include <QString>\n',
    'ground/platform/Files.cpp': '#include "platform/Files.h"\n#include "Files.h"\n',
    'engines/access/Access_Table.h': '#pragma once\n#include "platform/Files.h"\n',
    'engines/map/Channel_Map.h': '#include "access/Access_Table.h"\n#include "Generated.h"\n',
    'ui/context/App_Context.h': '#include "platform/Files.h"\n#include "access/Access_Table.h"\n',
    'ui/map_window/UChannel_Map.h': '#include "context/App_Context.h"\n#include "map/Channel_Map.h"\n',
    'app/main.cpp': '#include "map_window/UChannel_Map.h"\n#include <QApplication>\n',
}


class Layers(unittest.TestCase):
    def test_LayeredTreePasses(self):
        status, text = run(LAYERED)
        self.assertEqual(status, 0, text)
        self.assertIn('6 folders', text)
        self.assertIn('no cycle', text)

    def test_CycleBetweenTwoFoldersNamesTheFilesThatCloseIt(self):
        files = dict(LAYERED)
        files['engines/access/Access_Check.cpp'] = (
            '#include "access/Access_Table.h"\n\n#include "map/Channel_Map.h"\n')
        status, text = run(files)
        self.assertEqual(status, 1, text)
        self.assertIn('cycle between folders: engines/access -> engines/map -> engines/access',
                      text)
        self.assertIn('src/engines/access/Access_Check.cpp:3 includes "map/Channel_Map.h"', text)
        self.assertIn('src/engines/map/Channel_Map.h:1 includes "access/Access_Table.h"', text)

    def test_CycleThroughThreeFoldersIsOneProblemWithEveryStep(self):
        files = dict(LAYERED)
        files['engines/image/Image.h'] = '#include "map/Channel_Map.h"\n'
        files['engines/access/Device_Requests.h'] = '#include "image/Image.h"\n'
        status, text = run(files)
        self.assertEqual(status, 1, text)
        self.assertEqual(text.count('cycle between folders'), 1, text)
        self.assertIn('engines/access -> engines/image -> engines/map -> engines/access', text)
        for step in ('Device_Requests.h:1 includes "image/Image.h"',
                     'Image.h:1 includes "map/Channel_Map.h"',
                     'Channel_Map.h:1 includes "access/Access_Table.h"'):
            self.assertIn(step, text)

    def test_UpwardIncludeIsNamedEvenWithoutACycle(self):
        files = dict(LAYERED)
        files['ground/platform/Save_File.cpp'] = '#include "context/App_Context.h"\n'
        status, text = run(files)
        self.assertEqual(status, 1, text)
        self.assertIn('upward include: ground/platform (a lower layer) includes ui/context', text)
        self.assertIn('src/ground/platform/Save_File.cpp:1 includes "context/App_Context.h"',
                      text)

    def test_ProgramIncludingTheOtherProgramFails(self):
        files = dict(LAYERED)
        files['cli/Cli.h'] = '#pragma once\n'
        files['app/Extra.cpp'] = '#include "cli/Cli.h"\n'
        status, text = run(files)
        self.assertEqual(status, 1, text)
        self.assertIn('include of another program: app includes cli', text)

    def test_IncludesBesideTheFileAndForeignHeadersAreNotFollowed(self):
        # "Files.h" beside Files.cpp, a generated header and a system header are no edges.
        status, text = run(LAYERED)
        self.assertEqual(status, 0, text)
        self.assertIn('7 folder includes', text)

    def test_ProjectTreeFormsLayers(self):
        root = os.path.join(HERE, '..', '..')
        out = io.StringIO()
        status = check_layers.check(os.path.abspath(root), out=out)
        self.assertEqual(status, 0, out.getvalue())


if __name__ == '__main__':
    if len(sys.argv) == 2:
        case = unittest.defaultTestLoader.loadTestsFromName('Layers.test_' + sys.argv[1],
                                                            sys.modules[__name__])
        result = unittest.TextTestRunner(verbosity=2).run(case)
        sys.exit(0 if result.wasSuccessful() else 1)
    unittest.main()
