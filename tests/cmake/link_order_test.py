import collections
import unittest

from link_order import ordered


def order(natural, counts, symbols, unlisted=()):
    symbols = {lib: set(symbols.get(lib, "")) for lib in natural}
    return ordered(natural, collections.Counter(counts), symbols, set(natural) - set(unlisted))


class OrderedTest(unittest.TestCase):
    def test_most_bound_first_when_nothing_is_shared(self):
        self.assertEqual(order(["a", "b", "c"], {"b": 5, "c": 9, "a": 1}, {"a": "x", "b": "y"}),
                         ["c", "b", "a"])

    def test_a_library_never_passes_one_it_shares_a_symbol_with(self):
        cases = [
            # natural order, bindings, defined symbols, expected
            (["a", "b"], {"b": 9}, {"a": "s", "b": "s"}, ["a", "b"]),
            # the shared-symbol partner is pulled forward ahead of the busier library
            (["a", "b", "c"], {"c": 9, "b": 5}, {"a": "s", "c": "s"}, ["a", "c", "b"]),
            # through a chain
            (["a", "b", "c", "d"], {"d": 9, "c": 1}, {"a": "p", "b": "pq", "d": "q"},
             ["a", "b", "d", "c"]),
        ]
        for natural, counts, symbols, expected in cases:
            with self.subTest(natural=natural, counts=counts):
                self.assertEqual(order(natural, counts, symbols), expected)

    def test_unlisted_libraries_and_those_behind_them_keep_their_place(self):
        # "b" cannot be named on the link line, "c" shares a symbol with it: both stay out of
        # the list and so load after everything in it, as they did.
        result = order(["a", "b", "c", "d"], {"b": 9, "c": 8, "d": 1},
                       {"b": "s", "c": "s", "d": "t"}, unlisted=["b"])
        self.assertEqual(result, ["d", "a"])


if __name__ == "__main__":
    unittest.main()
