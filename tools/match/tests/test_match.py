"""Unit tests of the match harness's parsing and bookkeeping (no GUI needed).

Run: python3 -m unittest discover -s tools/match/tests -v
"""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import match  # noqa: E402

# Games as xboard 4.9 writes them with -pgnExtendedInfo (taken from real runs).
PGN = """[Event "match.sh"]
[Site "vm"]
[Round "1"]
[White "Stockfish 15.1"]
[Black "Fairy-Max 5.0b"]
[Result "0-1"]
[TimeControl "3"]

1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 {+0.50/17 0.2} b5 {+0.02/6 0.1} 5. Bb3
{+0.68/13} Nf6 {-0.03/6 0.1} 6. d4 {+0.69/14 0.1} Nxe4 {+0.20/5}
{Black wins on time} 0-1

[Event "match.sh"]
[Site "vm"]
[Round "2"]
[White "Fairy-Max 5.0b"]
[Black "Stockfish 15.1"]
[Result "1-0"]

1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Bd3 {+0.17/5} f5 {+1.36/18 0.2}
{polyglot: resign (illegal engine move by black: a1a1)} 1-0

[Event "match.sh"]
[Site "vm"]
[Round "3"]
[White "Stockfish 15.1"]
[Black "Fairy-Max 5.0b"]
[Result "1/2-1/2"]

1. d4 d5 2. c4 e6 3. Nc3 Nf6 4. Bg5 {+0.3/12 0.4} Be7 {-0.1/7 0.2}
{XBoard adjudication: repetition draw} 1/2-1/2

[Event "match.sh"]
[Site "vm"]
[Round "4"]
[White "Fairy-Max 5.0b"]
[Black "Stockfish 15.1"]
[Result "0-1"]

1. f3 {+0.1/5} e5 {+0.2/9 0.1} 2. g4 {-0.5/5} Qh4# {+1000.01/20}
{Xboard adjudication: Checkmate} 0-1
"""


class TimeControlTest(unittest.TestCase):
    def test_forms(self):
        self.assertEqual(match.parse_tc("0:10+1")["args"], ["-tc", "0:10", "-inc", "1"])
        self.assertEqual(match.parse_tc("90+0.5")["args"], ["-tc", "1:30", "-inc", "0.5"])
        self.assertEqual(match.parse_tc("40/20")["args"], ["-mps", "40", "-tc", "0:20"])
        self.assertEqual(match.parse_tc("st=2")["args"], ["-st", "0:02"])

    def test_a_fixed_depth_keeps_a_clock(self):
        tc = match.parse_tc("sd=4")
        self.assertEqual(tc["args"], ["-depth", "4", "-mps", "40", "-tc", "5:00"])
        self.assertEqual(match.parse_tc("sd=3,0:10+1")["args"], ["-depth", "3", "-tc", "0:10", "-inc", "1"])
        # the watchdog waits for both clocks run down over the move limit
        self.assertGreater(match.game_bound_s(tc, 250), 2 * 300 * 7)

    def test_bad_forms(self):
        for text in ("sd=0", "sd=3,sd=4", "sd=x", "st=0", "0:00+1", "10+x", "40/0", "40/20+1"):
            with self.assertRaises(match.UsageError, msg=text):
                match.parse_tc(text)


class ClassifyTest(unittest.TestCase):
    def setUp(self):
        self.games = [match.parse_game(g) for g in match.split_pgn(PGN)]

    def test_faults_go_to_the_side_that_lost(self):
        # game 1: first (white) lost on time; game 2: first (black) moved illegally
        f1 = match.classify(self.games[0], "first")
        self.assertEqual(f1, {"first": {"time"}, "second": set()})
        f2 = match.classify(self.games[1], "second")
        self.assertEqual(f2, {"first": {"illegal"}, "second": set()})
        for g, white in ((self.games[2], "first"), (self.games[3], "second")):
            self.assertEqual(match.classify(g, white), {"first": set(), "second": set()})

    def test_xboard_wordings(self):
        def faults(reason, result="1-0"):
            g = {"result": result, "reason": reason}
            return match.classify(g, "first")["second"]
        self.assertEqual(faults('Illegal move "e2e5" from second machine'), {"illegal"})
        self.assertEqual(faults("Xboard: Forfeit due to invalid move: e1g1 (e1g1 via h1, f1) res=1"),
                         {"illegal"})
        self.assertEqual(faults("False win claim: '0-1 {White mates}'"), {"false_claim"})
        self.assertEqual(faults("White wins on time"), {"time"})
        self.assertEqual(faults("White wins on time", "1/2-1/2"), set())

    def test_crash_marks_in_the_debug_log(self):
        debug = "\n".join([
            "1599 <first : tellusererror POLYGLOT: pipex_exit(): ./e.sh: child exited with status 3.",
            "Error: second chess program (sjeng) exited unexpectedly",
            "1601 <second: move e2e4",
            "1602 <first : tellusererror POLYGLOT: pipex_exit(): x: child exited with status 0.",
        ])
        sides = [s for s, _ in match.crash_lines(debug)]
        self.assertEqual(sides, ["first", "second"])
        g = {"result": "0-1", "reason": "Black wins on time"}
        self.assertEqual(match.classify(g, "first", debug),
                         {"first": {"time", "crash"}, "second": {"crash"}})


def pg(lines):
    """A polyglot log from (seconds, direction, text) triples."""
    return "\n".join("%.3f %s: %s" % (1000 + t, who, msg) if who != "POLYGLOT"
                     else "%.3f POLYGLOT %s" % (1000 + t, msg) for t, who, msg in lines) + "\n"


class PolyglotLogTest(unittest.TestCase):
    def test_healthy_games(self):
        log = pg([(0, "Adapter->Engine", "uci"), (0.2, "Engine->Adapter", "id name X"),
                  (0.3, "Engine->Adapter", "uciok"),
                  (1, "Adapter->Engine", "go wtime 1000 btime 1000"),
                  (1.5, "Engine->Adapter", "info depth 3 score cp 20 pv e2e4"),
                  (1.6, "Engine->Adapter", "bestmove e2e4"),
                  (2, "GUI->Adapter", "result 1-0 {Xboard adjudication: Checkmate}"),
                  (3, "Adapter->Engine", "go wtime 1000 btime 1000"),
                  (3.1, "GUI->Adapter", "result 1-0 {Black resigns}"),
                  (3.1, "Adapter->Engine", "stop"), (3.1, "Adapter->Engine", "quit"),
                  # the move may come after quit; that is still an answer
                  (3.2, "Engine->Adapter", "bestmove d2d4"),
                  (3.3, "POLYGLOT", "Child exited with status 0.")])
        s = match.scan_polyglot_log(log)
        self.assertEqual([(g["go"], g["bestmove"], g["no_response"]) for g in s["games"]],
                         [(1, 1, []), (1, 1, [])])
        self.assertEqual(s["handshake_s"], [0.3])
        self.assertEqual(match.abnormal_exits(s["exits"]), [])
        self.assertEqual(s["stray"], [])

    def test_hang_is_charged_to_the_game_of_the_unanswered_go(self):
        log = pg([(1, "Adapter->Engine", "go wtime 900 btime 900"),
                  (4, "GUI->Adapter", "result 0-1 {Black wins on time}"),
                  (4, "Adapter->Engine", "stop"),
                  (5, "Adapter->Engine", "go wtime 900 btime 900"),
                  (9, "GUI->Adapter", "result 1-0 {White wins on time}"),
                  (9, "Adapter->Engine", "stop"), (9, "Adapter->Engine", "quit")])
        games = match.scan_polyglot_log(log)["games"]
        self.assertEqual(len(games), 2)
        self.assertTrue(games[0]["no_response"] and games[1]["no_response"])

    def test_late_answer_to_stop(self):
        log = pg([(1, "Adapter->Engine", "go wtime 900 btime 900"),
                  (2, "GUI->Adapter", "result 0-1 {Black wins on time}"),
                  (2, "Adapter->Engine", "stop"),
                  (8.5, "Engine->Adapter", "bestmove e2e4")])
        g = match.scan_polyglot_log(log)["games"][0]
        self.assertEqual(g["no_response"], [])
        self.assertEqual(len(g["slow_stop"]), 1)

    def test_stray_and_error_output_and_crash_exit(self):
        # an engine may greet with a banner and report bad moves as text
        log = pg([(0, "Engine->Adapter", ""), (0, "Engine->Adapter", "MAVO-Kestrano"),
                  (0, "Engine->Adapter", "have fun"),
                  (1, "Engine->Adapter", "Illegal move: e1g1"),
                  (2, "POLYGLOT", "pipex_exit(): ./engine.sh: child exited with status 139.")])
        s = match.scan_polyglot_log(log)
        self.assertEqual(s["stray"], ["MAVO-Kestrano", "have fun", "Illegal move: e1g1"])
        self.assertEqual(s["engine_errors"], ["Illegal move: e1g1"])
        self.assertEqual(len(match.abnormal_exits(s["exits"])), 1)


class ScoreTest(unittest.TestCase):
    def test_tally_by_colour_and_unfinished(self):
        recs = [
            {"white": "first", "result": "1-0", "faults": {"first": set(), "second": set()}},
            {"white": "second", "result": "1-0", "faults": {"first": {"time"}, "second": set()}},
            {"white": "first", "result": "1/2-1/2", "faults": {"first": set(), "second": set()}},
            {"white": "second", "result": "0-1", "faults": {"first": set(), "second": {"crash"}}},
            {"white": "first", "result": "*", "unfinished": True,
             "faults": {"first": {"no_response"}, "second": set()}},
        ]
        t = match.tally(recs, "first")
        self.assertEqual((t["wins"], t["draws"], t["losses"], t["unfinished"]), (2, 1, 1, 1))
        self.assertEqual(t["faults"]["time"], 1)
        self.assertEqual(t["faults"]["no_response"], 1)
        self.assertEqual(t["opponent_faults"]["crash"], 1)
        o = match.tally(recs, "second")
        self.assertEqual((o["wins"], o["draws"], o["losses"]), (1, 1, 2))

    def test_every_faulty_game_is_listed_with_its_side(self):
        recs = [
            {"game": 1, "white": "first", "result": "1-0", "reason": "Xboard adjudication: Checkmate",
             "faults": {"first": set(), "second": set()}},
            {"game": 2, "white": "second", "result": "1-0", "reason": "White wins on time",
             "faults": {"first": {"time"}, "second": set()}},
            {"game": 3, "white": "first", "result": "1-0", "reason": "",
             "faults": {"first": set(), "second": {"illegal", "crash"}}},
        ]
        self.assertEqual(match.fault_lines(recs), [
            "Games with faults: 2",
            "  game 2: engine (black) time forfeit, result 1-0, White wins on time",
            "  game 3: opponent (black) crash / disconnect, illegal move, result 1-0, no reason given"])


if __name__ == "__main__":
    unittest.main()
