#!/usr/bin/env python3
"""scripts/make-dictionary run on sample.csv, its output read back with
sqlite3; and the dictionary committed in data/dictionary."""

import hashlib
import pathlib
import sqlite3
import subprocess
import sys
import tempfile
import unittest

HERE = pathlib.Path(__file__).resolve().parent
REPO = HERE.parent.parent
SCRIPT = REPO / "scripts/make-dictionary"
SAMPLE = HERE / "sample.csv"
COMMITTED = REPO / "data/dictionary/ecdict.sqlite"


def run(*args):
    return subprocess.run([sys.executable, str(SCRIPT), *map(str, args)],
                          capture_output=True, text=True)


class MadeFromSample(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.out = pathlib.Path(cls.folder.name) / "made.sqlite"
        cls.made = run("--csv", SAMPLE, "--out", cls.out)
        cls.db = sqlite3.connect(cls.out)

    @classmethod
    def tearDownClass(cls):
        cls.db.close()
        cls.folder.cleanup()

    def entry(self, word):
        return self.db.execute("SELECT phonetic, translation, tags, exchange FROM entry WHERE word = ?",
                               (word,)).fetchone()

    def test_keeps_the_words_a_learner_meets(self):
        self.assertEqual(self.made.returncode, 0, self.made.stderr)
        words = {word for (word,) in self.db.execute("SELECT word FROM entry")}
        self.assertEqual(words, {"a", "abacus", "aerial", "air", "apple", "better", "can", "English",
                                 "go", "good", "leaf", "leave", "sheep", "study", "studied", "well"})
        keys = dict(self.db.execute("SELECT word, key FROM entry WHERE word IN ('English', 'go')"))
        self.assertEqual(keys, {"English": "english", "go": "go"})

    def test_mends_the_source_quirks(self):
        cases = {  # word: (phonetic, translation, tags, exchange)
            "a": ("ə", "第一个字母 A\nart. 一个", "zk", ""),
            "aerial": ("'ɛəriəl", "a. 空中的\nn. 天线", "cet6 ky gre", "s:aerials"),
            "air": ("ɛə", "n. 空气", "", "s:airs"),
            "apple": ("'æpl", "n. 苹果, 苹果树", "", "s:apples"),
            "better": ("'betə", "a. 较好的", "", "s:betters/0:good/1:r"),
            "can": ("kæn", "aux. 能\nn. 罐头", "", "p:could/s:cans"),
            "go": ("gəu", "vi. 去；走\nn. 尝试", "zk gk", "p:went/d:gone/i:going/3:goes"),
            "good": ("gud", "a. 好的", "", "r:better/t:best"),
            "sheep": ("ʃi:p", "n. 羊", "", ""),
            "studied": ("'stʌdid", "a. 有学问的", "gre", "0:study/1:pd"),
            "well": ("wel", "adv. 好, 很", "zk cet4 toefl", "r:better/t:best"),
        }
        for word, expected in cases.items():
            with self.subTest(word=word):
                self.assertEqual(self.entry(word), expected)

    def test_forms_come_from_both_sides_of_the_exchange(self):
        forms = set(self.db.execute("SELECT key, form, lemma, kinds FROM form"))
        self.assertEqual(forms, {
            ("aerials", "aerials", "aerial", "s"), ("airs", "airs", "air", "s"),
            ("apples", "apples", "apple", "s"), ("betters", "betters", "better", "s"),
            ("could", "could", "can", "p"), ("cans", "cans", "can", "s"),
            ("englishes", "Englishes", "English", "s"),
            ("went", "went", "go", "p"), ("gone", "gone", "go", "d"),
            ("going", "going", "go", "i"), ("goes", "goes", "go", "3"),
            ("better", "better", "good", "r"), ("best", "best", "good", "t"),
            ("better", "better", "well", "r"), ("best", "best", "well", "t"),
            ("leaves", "leaves", "leaf", "s"), ("leaves", "leaves", "leave", "3s"),
            ("left", "left", "leave", "pd"), ("leaving", "leaving", "leave", "i"),
            ("studies", "studies", "study", "3s"), ("studying", "studying", "study", "i"),
            ("studied", "studied", "study", "pd"),
        })

    def test_meta_and_summary_agree_with_the_tables(self):
        meta = dict(self.db.execute("SELECT name, value FROM meta"))
        headwords, = self.db.execute("SELECT count(*) FROM entry").fetchone()
        forms, = self.db.execute("SELECT count(*) FROM form").fetchone()
        self.assertEqual(meta["schema"], "1")
        self.assertTrue(meta["source"].startswith("ECDICT"))
        self.assertEqual(meta["source_sha256"], hashlib.sha256(SAMPLE.read_bytes()).hexdigest())
        self.assertEqual((meta["headwords"], meta["forms"]), (str(headwords), str(forms)))
        self.assertEqual(self.made.stdout.count("\n"), 1)
        self.assertIn(f"{headwords} headwords, {forms} forms, {self.out.stat().st_size} bytes",
                      self.made.stdout)

    def test_same_bytes_again_with_the_checksum_given(self):
        again = pathlib.Path(self.folder.name) / "again.sqlite"
        sha256 = hashlib.sha256(SAMPLE.read_bytes()).hexdigest()
        made = run("--csv", SAMPLE, "--sha256", sha256, "--out", again)
        self.assertEqual(made.returncode, 0, made.stderr)
        self.assertEqual(again.read_bytes(), self.out.read_bytes())

    def test_refuses_bad_input_in_one_line(self):
        folder = pathlib.Path(self.folder.name)
        (folder / "header.csv").write_text("word,meaning\ngo,去\n", encoding="utf-8")
        cases = {  # what is wrong: (arguments, words the message holds)
            "missing": (["--csv", folder / "none.csv"], ["none.csv", "no such file"]),
            "checksum": (["--csv", SAMPLE, "--sha256", "0" * 64], ["sha256", "0" * 64]),
            "header": (["--csv", folder / "header.csv"], ["header.csv", "header"]),
        }
        for name, (args, words) in cases.items():
            with self.subTest(name):
                out = folder / f"{name}.sqlite"
                made = run(*args, "--out", out)
                self.assertNotEqual(made.returncode, 0)
                self.assertEqual(made.stderr.count("\n"), 1, made.stderr)
                for word in words:
                    self.assertIn(word, made.stderr)
                self.assertFalse(out.exists())


class Committed(unittest.TestCase):
    def test_committed_dictionary_reads(self):
        db = sqlite3.connect(f"file:{COMMITTED}?mode=ro", uri=True)
        meta = dict(db.execute("SELECT name, value FROM meta"))
        self.assertEqual(meta["schema"], "1")
        self.assertTrue(30_000 <= int(meta["headwords"]) <= 50_000, meta["headwords"])
        self.assertEqual(db.execute("SELECT lemma, kinds FROM form WHERE key = 'went'").fetchall(),
                         [("go", "p")])
        self.assertIsNotNone(db.execute("SELECT 1 FROM entry WHERE key = 'go'").fetchone())
        db.close()


if __name__ == "__main__":
    unittest.main()
