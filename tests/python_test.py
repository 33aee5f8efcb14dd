"""The Python module rgbhsv as its users call it: numpy arrays and bytes in,
the engine's numbers out (held to hsvconv's), and every wrong argument a
TypeError or ValueError with a message, never a crash.

usage: python3 python_test.py HSVCONV   (with the module on PYTHONPATH)
"""
import random
import subprocess
import sys
import threading
import unittest

import numpy

import rgbhsv

HSVCONV = sys.argv.pop(1)


def engine(direction, triples):
    """hsvconv's results for each triple, one request a line."""
    requests = ''.join('%s %d %d %d\n' % ((direction,) + tuple(t)) for t in triples)
    out = subprocess.run([HSVCONV], input=requests, capture_output=True, text=True, check=True).stdout
    return [tuple(int(n) for n in line.split()) for line in out.splitlines()]


class Module(unittest.TestCase):
    def test_arrays_and_bytes_give_the_engines_numbers(self):
        rng = random.Random(2026)
        triples = [(rng.randrange(256), rng.randrange(256), rng.randrange(256)) for _ in range(4096)]
        for direction, convert in (('rgb', rgbhsv.rgb_to_hsv), ('hsv', rgbhsv.hsv_to_rgb)):
            expected = engine(direction, triples)
            array = numpy.array(triples, dtype=numpy.uint8).reshape(64, 64, 3)
            result = convert(array)
            self.assertEqual((result.shape, result.dtype), ((64, 64, 3), numpy.uint8))
            self.assertEqual([tuple(p) for p in result.reshape(-1, 3).tolist()], expected)
            self.assertEqual(array.reshape(-1, 3).tolist(), [list(t) for t in triples])  # the input untouched
            flat = bytes(b for t in triples for b in t)
            for given in (flat, bytearray(flat), memoryview(flat)):
                out = convert(given)
                self.assertIsInstance(out, bytes)
                self.assertEqual([tuple(out[i:i + 3]) for i in range(0, len(out), 3)], expected)
            self.assertEqual(convert(b''), b'')

    def test_wrong_arguments_are_refused_with_a_message(self):
        good = numpy.zeros((4, 3), dtype=numpy.uint8)
        cases = [
            (numpy.zeros((4, 3), dtype=numpy.float32), TypeError, 'uint8'),
            (numpy.zeros((4, 3), dtype=numpy.int8), TypeError, 'uint8'),
            (numpy.zeros((4, 3), dtype=numpy.uint16), TypeError, 'uint8'),
            (numpy.zeros((4, 4), dtype=numpy.uint8), ValueError, 'last axis'),
            (numpy.zeros((3, 4), dtype=numpy.uint8)[:, :3], ValueError, 'contiguous'),
            (good[::2], ValueError, 'contiguous'),
            (b'0123456789', ValueError, 'whole number of pixels'),
            ([1, 2, 3], TypeError, 'list'),
            (None, TypeError, 'NoneType'),
        ]
        for convert in (rgbhsv.rgb_to_hsv, rgbhsv.hsv_to_rgb):
            for given, error, words in cases:
                with self.assertRaises(error) as caught:
                    convert(given)
                self.assertIn(words, str(caught.exception))

    def test_threads_at_once_give_the_same(self):
        image = numpy.arange(3 << 20, dtype=numpy.uint32).astype(numpy.uint8).reshape(1024, 1024, 3)
        alone = rgbhsv.rgb_to_hsv(image)
        results = [None] * 4

        def run(i):
            results[i] = rgbhsv.rgb_to_hsv(image)

        threads = [threading.Thread(target=run, args=(i,)) for i in range(4)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        for result in results:
            self.assertTrue(numpy.array_equal(result, alone))


unittest.main(verbosity=2)
