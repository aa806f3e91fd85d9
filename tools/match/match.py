#!/usr/bin/env python3
"""Play chess games between a UCI engine and another engine through xboard.

xboard runs headless under Xvfb in match mode; UCI engines are attached
through polyglot (xboard's -fUCI/-sUCI), the way xboard users run them.  The
games, xboard's debug logs and polyglot's logs are kept; the results and the
protocol faults (illegal moves, time forfeits, crashes, hangs, stray output)
are read back from them and summarised.

match.sh is the entry point (it installs the Debian packages first and
plays the engine built in this repository); this file is unit-tested by
tests/test_match.py.
"""
import argparse
import json
import math
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import time


# ---------------------------------------------------------------- engines

# name -> (command line, speaks UCI?, Debian package)
KNOWN_ENGINES = {
    "fairymax": ("fairymax", False, "fairymax"),
    "phalanx": ("phalanx", False, "phalanx"),
    "sjeng": ("sjeng", False, "sjeng"),
    "hoichess": ("hoichess", False, "hoichess"),
    "gnuchess": ("gnuchess -x", False, "gnuchess"),
    "glaurung": ("glaurung", True, "glaurung"),
    "toga2": ("toga2", True, "toga2"),
    "ethereal": ("ethereal-chess", True, "ethereal-chess"),
    "stockfish": ("stockfish", True, "stockfish"),
}


class UsageError(Exception):
    pass


def engine_entry(name):
    """A named engine: 'fairymax', ..., 'stockfish' or 'stockfish-skill:N'."""
    m = re.fullmatch(r"stockfish-skill:(\d+)", name)
    if m:
        level = int(m.group(1))
        if level > 20:
            raise UsageError("Skill Level is 0..20: %s" % name)
        return {"label": name, "cmd": "stockfish", "uci": True,
                "options": "Skill Level=%d" % level, "package": "stockfish"}
    if name not in KNOWN_ENGINES:
        raise UsageError("unknown engine %r; known: %s, stockfish-skill:N"
                         % (name, ", ".join(sorted(KNOWN_ENGINES))))
    cmd, uci, pkg = KNOWN_ENGINES[name]
    return {"label": name, "cmd": cmd, "uci": uci, "options": "", "package": pkg}


def uci_command_entry(cmd, label="engine", cwd=None):
    """The engine under test: any UCI command line.  Relative paths in it that
    exist from the caller's directory are made absolute, since the engine
    itself runs in a scratch directory."""
    try:
        words = shlex.split(cmd)
    except ValueError as exc:
        raise UsageError("cannot parse ENGINE_CMD: %s" % exc)
    if not words:
        raise UsageError("ENGINE_CMD is empty")
    base = cwd or os.getcwd()
    for i, word in enumerate(words):
        if "/" in word and not os.path.isabs(word) and not word.startswith("-") \
                and os.path.exists(os.path.join(base, word)):
            words[i] = os.path.abspath(os.path.join(base, word))
    return {"label": label, "cmd": " ".join(shlex.quote(w) for w in words), "uci": True,
            "options": "", "package": None, "wrap": True}


# ----------------------------------------------------------- time control

def _seconds(text):
    """'10', '0:10', '1:30' -> whole seconds."""
    if ":" in text:
        mins, secs = text.split(":", 1)
        if not mins.isdigit() or not re.fullmatch(r"\d+", secs):
            raise UsageError("bad time %r" % text)
        return int(mins) * 60 + int(secs)
    if not re.fullmatch(r"\d+", text):
        raise UsageError("bad time %r (whole seconds or m:ss)" % text)
    return int(text)


def _clock(secs):
    return "%d:%02d" % (secs // 60, secs % 60)


def parse_tc(text, max_moves=250):
    """Parse a time control into xboard options and a worst-case game length.

    Forms: 'B+I' (base B as seconds or m:ss, increment I seconds, may be
    fractional), 'M/B' or 'M/B+0' (M moves in B, repeating), 'st=S' or
    'S/move' (S whole seconds per move).  max_moves is the move count after
    which xboard adjudicates a draw; it bounds the game.
    """
    t = text.strip().replace(" ", "")
    m = re.fullmatch(r"(?:st[=:](\d+)|(\d+)s?/move)", t)
    if m:
        st = int(m.group(1) or m.group(2))
        if st < 1:
            raise UsageError("seconds per move must be at least 1")
        worst = 2 * max_moves * (st + 1.0)
        return {"args": ["-st", _clock(st)], "label": "%ds/move" % st, "worst_s": worst,
                "kind": "st", "st": st}
    m = re.fullmatch(r"(\d+)/([\d:]+)(?:\+([\d.]+))?", t)
    if m:
        moves, base = int(m.group(1)), _seconds(m.group(2))
        inc = float(m.group(3) or 0)
        if inc:
            raise UsageError("xboard cannot combine moves per session with an increment: %s" % text)
        if moves < 1 or base < 1:
            raise UsageError("bad time control %r" % text)
        sessions = math.ceil(max_moves / moves)
        return {"args": ["-mps", str(moves), "-tc", _clock(base)],
                "label": "%d/%s" % (moves, _clock(base)), "worst_s": 2.0 * base * sessions,
                "kind": "mps", "moves": moves, "base": base, "inc": 0.0}
    m = re.fullmatch(r"([\d:]+)(?:\+(\d+(?:\.\d+)?))?", t)
    if m:
        base = _seconds(m.group(1))
        inc = float(m.group(2) or 0)
        if base < 1:
            raise UsageError("base time must be at least 1 second: %s" % text)
        inc_s = ("%g" % inc)
        return {"args": ["-tc", _clock(base), "-inc", inc_s],
                "label": "%s+%s" % (_clock(base), inc_s),
                "worst_s": 2.0 * (base + max_moves * inc), "kind": "inc",
                "base": base, "inc": inc}
    raise UsageError("cannot read time control %r (try 0:10+0.1, 40/60, st=1)" % text)


def game_bound_s(tc, max_moves=250):
    """Wall-clock limit for one game: the clocks' worst case plus GUI and
    engine overhead (start-up, pauses, ~0.1 s per ply of messaging)."""
    return tc["worst_s"] * 1.15 + 30.0 + 2 * max_moves * 0.1


# --------------------------------------------------------------- openings

BUILTIN_OPENINGS = [
    "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6",
    "1. d4 d5 2. c4 e6 3. Nc3 Nf6",
    "1. e4 c5 2. Nf3 d6 3. d4 cxd4 4. Nxd4 Nf6",
    "1. d4 Nf6 2. c4 g6 3. Nc3 Bg7 4. e4 d6",
    "1. e4 e6 2. d4 d5 3. Nc3 Nf6",
    "1. c4 e5 2. Nc3 Nf6 3. g3 d5",
    "1. e4 c6 2. d4 d5 3. e5 Bf5",
    "1. d4 Nf6 2. c4 e6 3. Nc3 Bb4",
    "1. e4 e5 2. Nf3 Nc6 3. Bc4 Bc5",
    "1. Nf3 d5 2. g3 Nf6 3. Bg2 e6",
    "1. d4 d5 2. c4 c6 3. Nf3 Nf6",
    "1. e4 d5 2. exd5 Qxd5 3. Nc3 Qa5",
    "1. e4 d6 2. d4 Nf6 3. Nc3 g6",
    "1. d4 f5 2. g3 Nf6 3. Bg2 e6",
    "1. e4 c5 2. c3 Nf6 3. e5 Nd5",
    "1. e4 e5 2. Nf3 Nf6 3. Nxe5 d6 4. Nf3 Nxe4",
]


def load_openings(path):
    """-> (kind, items): kind 'pgn' (items: PGN game texts) or 'fen' (FEN lines)."""
    if not path:
        return "pgn", ['[Event "opening %d"]\n\n%s *\n' % (i + 1, line)
                       for i, line in enumerate(BUILTIN_OPENINGS)]
    with open(path, encoding="utf-8", errors="replace") as fh:
        text = fh.read()
    if path.lower().endswith(".pgn"):
        games = split_pgn(text)
        if not games:
            raise UsageError("no games in opening file %s" % path)
        return "pgn", games
    fens = [ln.strip() for ln in text.splitlines() if ln.strip() and not ln.startswith("#")]
    if not fens:
        raise UsageError("no positions in opening file %s" % path)
    return "fen", fens


def opening_for_game(n, count, first_opening=0):
    """Game n (1-based) uses opening first_opening + (n-1)//2: each opening
    twice, with colours swapped."""
    return (first_opening + (n - 1) // 2) % count


# ------------------------------------------------------------------- PGN

TAG_RE = re.compile(r'^\[(\w+)\s+"((?:[^"\\]|\\.)*)"\]\s*$')
RESULT_TOKENS = ("1-0", "0-1", "1/2-1/2", "*")


def split_pgn(text):
    games, cur = [], []
    for line in text.splitlines(True):
        if line.startswith("[Event ") and any(l.strip() and not l.startswith("[") for l in cur):
            games.append("".join(cur))
            cur = []
        cur.append(line)
    if "".join(cur).strip():
        games.append("".join(cur))
    return games


def parse_game(text):
    """Tags, result, the comment that explains the result, and the ply count."""
    tags, body = {}, []
    for line in text.splitlines():
        m = TAG_RE.match(line)
        if m and not body:
            tags[m.group(1)] = m.group(2)
        else:
            body.append(line)
    moves = " ".join(body)
    comments = re.findall(r"\{([^}]*)\}", moves)
    bare = re.sub(r"\{[^}]*\}", " ", moves)
    bare = re.sub(r"\([^()]*\)", " ", bare)
    tokens = bare.split()
    result = tags.get("Result", "*")
    if tokens and tokens[-1] in RESULT_TOKENS:
        result = tokens[-1]
    sans = [t for t in tokens if t not in RESULT_TOKENS and not re.fullmatch(r"\d+\.+", t)
            and not t.startswith("$")]
    # xboard writes the reason for the result as the last comment, after the last move
    m = re.search(r"\{([^}]*)\}\s*(1-0|0-1|1/2-1/2|\*)\s*$", moves.strip())
    reason = m.group(1).strip() if m else ""
    if reason and re.fullmatch(r"[+-]?\d+\.\d+/\d+(\s+[\d.]+)?", reason):
        reason = ""  # that was a move's score/depth/time comment
    return {"tags": tags, "result": result, "reason": reason, "plies": len(sans),
            "comments": len(comments)}


# ----------------------------------------------------- fault classification

ILLEGAL_RE = re.compile(r"illegal move|forfeit due to (invalid|illegal) move|illegal engine move", re.I)
FALSE_CLAIM_RE = re.compile(r"false (illegal-move|win|draw) claim", re.I)
TIME_RE = re.compile(r"wins on time|loses on time|time forfeit", re.I)
CRASH_RE = re.compile(r"exited unexpectedly|pipex_exit\(\).*(child exited with status [1-9]|signal)|"
                      r"child (terminated|killed)|error (writing to|reading from) (first|second)",
                      re.I)


def loser_of(result):
    return {"1-0": "black", "0-1": "white"}.get(result)


def crash_lines(debug_text):
    """(side, line) for each crash/disconnect mark in an xboard debug log;
    side is 'first' or 'second' (or None when the line does not say)."""
    out = []
    for line in debug_text.splitlines():
        if CRASH_RE.search(line):
            m = re.search(r"\b(first|second)\b", line)
            out.append((m.group(1) if m else None, line.strip()))
    return out


def classify(game, white_side, debug_text=""):
    """Faults of one game, per side ('first'/'second').

    game: from parse_game; white_side: which engine played white.
    Returns {'first': set(), 'second': set()} with members 'illegal',
    'false_claim', 'time', 'crash'.
    """
    black_side = "second" if white_side == "first" else "first"
    faults = {"first": set(), "second": set()}
    loser_colour = loser_of(game["result"])
    loser = {"white": white_side, "black": black_side}.get(loser_colour)
    reason = game["reason"]
    if loser and ILLEGAL_RE.search(reason):
        faults[loser].add("illegal")
    if loser and FALSE_CLAIM_RE.search(reason):
        faults[loser].add("false_claim")
    if loser and TIME_RE.search(reason):
        faults[loser].add("time")
    for side, _line in crash_lines(debug_text):
        if side in faults:
            faults[side].add("crash")
    return faults


# ------------------------------------------------------- polyglot log scan

UCI_WORDS = {"id", "uciok", "readyok", "bestmove", "info", "option", "copyprotection",
             "registration"}
PG_LINE_RE = re.compile(r"^(\d+(?:\.\d+)?)\s+(GUI->Adapter|Adapter->GUI|Adapter->Engine|"
                        r"Engine->Adapter|POLYGLOT)[: ]\s?(.*)$")


def scan_polyglot_log(text, stop_limit_s=5.0):
    """Read a polyglot log (UCI traffic of one engine over a run of games).

    Games are delimited by the 'result' that xboard sends at each game end;
    a 'go' belongs to the game in which it was sent.  Returns per-game
    records (go/bestmove counts, unanswered or late answers) and run-wide
    facts: handshake times, stray output, engine exits.
    """
    games = []
    run = {"handshake_s": [], "stray": [], "engine_errors": [], "polyglot_warnings": [],
           "exits": []}
    ended = 0           # games ended so far = index of the running game
    pending_go = None   # (time, game index) of a go without bestmove
    stop_at = None
    uci_at = None

    def rec(idx):
        while len(games) <= idx:
            games.append({"go": 0, "bestmove": 0, "no_response": [], "slow_stop": []})
        return games[idx]

    for raw in text.splitlines():
        m = PG_LINE_RE.match(raw)
        if not m:
            continue
        ts, who, msg = float(m.group(1)), m.group(2), m.group(3)
        word = msg.split(" ", 1)[0] if msg.strip() else ""
        if who == "GUI->Adapter" and word == "result":
            rec(ended)
            ended += 1
        elif who == "Adapter->Engine":
            if word == "uci":
                uci_at = ts
            elif word == "go":
                if pending_go is not None:
                    rec(pending_go[1])["no_response"].append(
                        "go at %.1f got no bestmove before the next go" % pending_go[0])
                pending_go = (ts, ended)
                stop_at = None
                rec(ended)["go"] += 1
            elif word == "stop" and pending_go is not None:
                stop_at = ts
            elif word == "quit" and pending_go is not None and stop_at is None:
                stop_at = ts    # quit also asks for the move; it may still come
        elif who == "Engine->Adapter":
            if word == "uciok" and uci_at is not None:
                run["handshake_s"].append(round(ts - uci_at, 3))
                uci_at = None
            if word == "bestmove":
                if pending_go is not None:
                    r = rec(pending_go[1])
                    r["bestmove"] += 1
                    if stop_at is not None and ts - stop_at > stop_limit_s:
                        r["slow_stop"].append("bestmove %.1f s after stop" % (ts - stop_at))
                pending_go = None
                stop_at = None
            elif msg.strip() and word not in UCI_WORDS and msg.strip() != "EOF":
                run["stray"].append(msg.strip())
                if re.search(r"illegal|error|unknown|not yet implemented|invalid", msg, re.I):
                    run["engine_errors"].append(msg.strip())
        elif who == "POLYGLOT":
            if re.search(r"pipex_exit|child exited|terminated|signal", msg, re.I):
                run["exits"].append(msg.strip())
            if re.search(r"illegal|error|warning|unknown|not found|cannot", msg, re.I):
                run["polyglot_warnings"].append(msg.strip())
    if pending_go is not None:
        rec(pending_go[1])["no_response"].append(
            "go at %.1f never answered (log ends)" % pending_go[0])
    return {"games": games, **run}


def abnormal_exits(exits):
    return [e for e in exits if not re.search(r"status 0\b", e)]


# ------------------------------------------------------------------ Elo

def elo_from_score(p):
    return -400.0 * math.log10(1.0 / p - 1.0)


def elo_estimate(wins, draws, losses):
    """Elo difference and the half width of its 95% interval (normal
    approximation on the per-game score).  Returns (elo, err, note).  A clean
    sweep (score 0% or 100%) has no finite estimate: elo is then the one-sided
    95% bound (a sweep of n games happens with probability 0.05 when the
    per-game score is 0.05**(1/n)), err is None and note says which bound."""
    n = wins + draws + losses
    if n == 0:
        return None, None, "no games"
    p = (wins + 0.5 * draws) / n
    if p <= 0.0 or p >= 1.0:
        bound = elo_from_score(0.05 ** (1.0 / n))
        return ((bound, None, "all games won: 95% lower bound") if p >= 1.0
                else (-bound, None, "all games lost: 95% upper bound"))
    var = (wins * (1 - p) ** 2 + draws * (0.5 - p) ** 2 + losses * p ** 2) / n
    se = math.sqrt(var / n)
    lo, hi = max(p - 1.96 * se, 1e-6), min(p + 1.96 * se, 1 - 1e-6)
    elo = elo_from_score(p)
    err = (elo_from_score(hi) - elo_from_score(lo)) / 2.0
    return elo, err, ""


def format_elo(wins, draws, losses):
    elo, err, note = elo_estimate(wins, draws, losses)
    if elo is None:
        return "n/a (no games)"
    if note:
        return "no finite estimate from %d games (%s %+.0f)" % (wins + draws + losses, note, elo)
    return "%+.0f +/- %.0f (95%%)" % (elo, err)


# ------------------------------------------------------------ the match

def kill_group(proc, grace=5.0):
    """End the process group that proc leads (xvfb-run, Xvfb, xboard,
    polyglot and the engines): TERM, then KILL after the grace time."""
    if proc.poll() is None:
        try:
            os.killpg(proc.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            proc.wait(timeout=grace)
        except subprocess.TimeoutExpired:
            pass
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass
    try:
        proc.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        pass


def count_games(pgn_path):
    try:
        with open(pgn_path, encoding="utf-8", errors="replace") as fh:
            return sum(1 for line in fh if line.startswith("[Event "))
    except FileNotFoundError:
        return 0


def _debug_files(chunk_dir):
    found = []
    for name in os.listdir(chunk_dir):
        m = re.fullmatch(r"xboard_(\d+)\.debug", name)
        if m:
            found.append((int(m.group(1)), name))
    return [os.path.join(chunk_dir, n) for _k, n in sorted(found)]


def _read(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as fh:
            return fh.read()
    except FileNotFoundError:
        return ""


def preflight(eng, workdir, timeout_s=15.0):
    """Talk UCI to the engine under test directly: uci/uciok, isready/readyok,
    a short search, quit.  Returns a dict with 'ok', 'name', 'problems'."""
    res = {"ok": False, "name": None, "problems": [], "seconds": {}}
    env = dict(os.environ, PATH=os.environ.get("PATH", "/usr/bin:/bin") + ":/usr/games")
    seen = []
    try:
        proc = subprocess.Popen(["bash", "-c", "exec " + eng["cmd"]], cwd=workdir, env=env,
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, start_new_session=True)
    except OSError as exc:
        res["problems"].append("cannot start: %s" % exc)
        return res
    import selectors
    sel = selectors.DefaultSelector()
    sel.register(proc.stdout, selectors.EVENT_READ)
    buf = b""

    def expect(word, limit):
        nonlocal buf
        t0 = time.monotonic()
        while time.monotonic() - t0 < limit:
            while b"\n" in buf:
                line, buf = buf.split(b"\n", 1)
                text = line.decode("utf-8", "replace").strip()
                seen.append(text)
                if text.startswith("id name ") and res["name"] is None:
                    res["name"] = text[8:].strip()
                if text.split(" ", 1)[0] == word:
                    return time.monotonic() - t0
            if not sel.select(timeout=0.2):
                continue
            chunk = os.read(proc.stdout.fileno(), 65536)
            if not chunk:
                tail = [t for t in seen + [buf.decode("utf-8", "replace")] if t.strip()][-2:]
                res["problems"].append("engine output ended%s" % (
                    (": " + " | ".join(tail)) if tail else ""))
                return None
            buf += chunk
        return None

    def send(text):
        try:
            proc.stdin.write(text.encode())
            proc.stdin.flush()
            return True
        except OSError:
            return False

    try:
        for cmd, word in (("uci\n", "uciok"), ("isready\n", "readyok"),
                          ("ucinewgame\nposition startpos moves e2e4 e7e5\ngo movetime 300\n",
                           "bestmove")):
            if not send(cmd):
                res["problems"].append("engine closed its input before %r" % cmd.split()[0])
                break
            took = expect(word, timeout_s)
            if took is None:
                res["problems"].append("no %r within %.0f s after %r" % (word, timeout_s,
                                                                      cmd.strip().splitlines()[-1]))
                break
            res["seconds"][word] = round(took, 3)
        else:
            send("quit\n")
            try:
                rc = proc.wait(timeout=5)
                if rc != 0:
                    res["problems"].append("exit status %d after quit" % rc)
            except subprocess.TimeoutExpired:
                res["problems"].append("did not exit within 5 s of quit")
    finally:
        kill_group(proc, grace=1.0)
    res["ok"] = not any(p.startswith(("cannot", "no ", "engine closed")) for p in res["problems"])
    return res


def xboard_command(first, second, tc, games, first_plays_black, openings_kind, openings_file,
                   chunk_dir, gui=False, reuse=True, max_moves=250):
    args = ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24 -nolisten tcp", "xboard"]
    if not gui:
        args.append("-noGUI")
    args += ["-mg", str(games)] + tc["args"]
    for key, eng in (("f", first), ("s", second)):
        args += ["-%scp" % key, eng["xcmd"], "-%sd" % key, eng["dir"]]
        if eng["uci"]:
            args.append("-%sUCI" % key)
        if eng["options"]:
            args += ["-firstOptions" if key == "f" else "-secondOptions", eng["options"]]
        if eng.get("pgn_name"):
            args += ["-%sn" % key, eng["pgn_name"]]
    args += ["-fb" if first_plays_black else "-xfb"]
    if openings_kind == "pgn":
        args += ["-lgf", openings_file, "-lgi", "-1"]
    else:
        args += ["-lpf", openings_file, "-lpi", "-1"]
    args += [
        "-sgf", os.path.join(chunk_dir, "games.pgn"),
        "-debug", "-nameOfDebugFile", os.path.join(chunk_dir, "xboard_%d.debug"),
        "-engineDebugOutput", "1",
        "-adapterCommand",
        'polyglot -noini -log true -lf "%fd/polyglot.log" -ec "%fcp" -ed "%fd"',
        "-saveSettingsOnExit", "false", "-popupExitMessage", "false",
        "-popupMoveErrors", "false", "-autoDisplayComment", "false",
        "-autoDisplayTags", "false", "-soundProgram", "", "-xanimate",
        "-ponderNextMove", "false", "-smpCores", "1", "-niceEngines", "0",
        "-usePolyglotBook", "false", "-matchPause", "1000", "-autoCallFlag", "true",
        "-testClaims", "true", "-checkMates", "true", "-materialDraws", "true",
        "-trivialDraws", "false", "-ruleMoves", "51", "-repeatsToDraw", "3",
        "-adjudicateDrawMoves", str(max_moves), "-pgnExtendedInfo", "true",
        # no tablebases are installed: do not send xboard.conf's made-up Syzygy path
        "-egtFormats", "", "-defaultPathEGTB", "",
        "-reuseFirst", "true" if reuse else "false",
        "-reuseSecond", "true" if reuse else "false",
        "-pgnEventHeader", "match.sh",
    ]
    return args


def prepare_engine(eng, work, role):
    """Give the engine its scratch directory and the command xboard runs."""
    d = os.path.join(work, role)
    os.makedirs(d, exist_ok=True)
    eng = dict(eng)
    eng["dir"] = d
    if eng.get("wrap"):
        wrapper = os.path.join(d, "engine.sh")
        with open(wrapper, "w") as fh:
            fh.write("#!/bin/bash\n# started by xboard/polyglot in this directory\nexec %s\n"
                     % eng["cmd"])
        os.chmod(wrapper, 0o755)
        eng["xcmd"] = wrapper
    else:
        eng["xcmd"] = eng["cmd"]
    return eng


def write_chunk_openings(kind, items, game_numbers, path, first_opening=0):
    with open(path, "w") as fh:
        for n in game_numbers:
            item = items[opening_for_game(n, len(items), first_opening)]
            fh.write(item.rstrip("\n") + "\n\n" if kind == "pgn" else item + "\n")


def last_mover(debug_text):
    """'first'/'second': the engine whose move xboard received last."""
    who = None
    for m in re.finditer(r"^\d+ <(first|second)\s*: move ", debug_text, re.M):
        who = m.group(1)
    return who


def play_match(first, second, games, tc, out, openings=None, gui=False, reuse=True,
               max_moves=250, deadline=None, log=print, first_opening=0, game_timeout=None):
    """Play `games` games, first vs second, alternating colours (first is
    white in odd games).  Returns the list of game records."""
    work = os.path.join(out, "work")
    home = os.path.join(work, "home")
    os.makedirs(home, exist_ok=True)
    kind, items = load_openings(openings)
    first = prepare_engine(first, work, "first")
    second = prepare_engine(second, work, "second")
    env = dict(os.environ)
    env.update({"HOME": home, "LC_ALL": "C", "LANG": "C", "LANGUAGE": "",
                "PATH": env.get("PATH", "/usr/bin:/bin") + ":/usr/games"})
    bound = game_timeout or game_bound_s(tc, max_moves)
    records = []
    next_game = 1
    chunk_no = 0
    empty_chunks = 0
    while next_game <= games:
        if deadline is not None and time.time() + 5 > deadline:
            log("time budget used up; stopping before game %d" % next_game)
            break
        chunk_no += 1
        chunk_dir = os.path.join(out, "xboard", "run%02d" % chunk_no)
        os.makedirs(chunk_dir, exist_ok=True)
        numbers = list(range(next_game, games + 1))
        ofile = os.path.join(chunk_dir, "openings." + ("pgn" if kind == "pgn" else "fen"))
        write_chunk_openings(kind, items, numbers, ofile, first_opening)
        for eng in (first, second):
            pg = os.path.join(eng["dir"], "polyglot.log")
            if os.path.exists(pg):
                os.remove(pg)
        cmd = xboard_command(first, second, tc, len(numbers), next_game % 2 == 0, kind, ofile,
                             chunk_dir, gui=gui, reuse=reuse, max_moves=max_moves)
        with open(os.path.join(chunk_dir, "command.txt"), "w") as fh:
            fh.write(" ".join(shlex.quote(a) for a in cmd) + "\n")
        pgn = os.path.join(chunk_dir, "games.pgn")
        started = last_progress = time.time()
        done = 0
        stalled = False
        with open(os.path.join(chunk_dir, "xboard.out"), "w") as xout:
            proc = subprocess.Popen(cmd, cwd=chunk_dir, env=env, stdin=subprocess.DEVNULL,
                                    stdout=xout, stderr=subprocess.STDOUT,
                                    start_new_session=True)
            try:
                while proc.poll() is None:
                    time.sleep(0.5)
                    n = count_games(pgn)
                    now = time.time()
                    if n > done:
                        done, last_progress = n, now
                    if now - last_progress > bound:
                        stalled = True
                        log("game %d: no result after %.0f s; stopping xboard"
                            % (next_game + done, bound))
                        break
                    if deadline is not None and now > deadline:
                        log("time budget used up during game %d; stopping xboard"
                            % (next_game + done))
                        stalled = "budget"
                        break
            finally:
                kill_group(proc)
        rc = proc.returncode
        for eng, role in ((first, "first"), (second, "second")):
            pg = os.path.join(eng["dir"], "polyglot.log")
            if os.path.exists(pg):
                shutil.move(pg, os.path.join(chunk_dir, "polyglot_%s.log" % role))
        chunk_records = analyse_chunk(chunk_dir, next_game)
        done = len(chunk_records)
        records.extend(chunk_records)
        if stalled is True and next_game + done <= games + 1:
            # the game that was running when the watchdog stopped xboard; xboard
            # sometimes saves it with result '*' as it exits
            dbg = _debug_files(chunk_dir)
            if chunk_records and chunk_records[-1]["result"] == "*":
                rec = chunk_records[-1]
                idx = done - 1
            elif next_game + done <= games:
                idx = done
                rec = {"game": next_game + done, "white": "first" if (next_game + done) % 2 else
                       "second", "result": "*", "reason": "", "plies": None,
                       "faults": {"first": set(), "second": set()}, "chunk": chunk_no,
                       "debug": os.path.relpath(dbg[idx], out) if len(dbg) > idx else None}
                records.append(rec)
                done += 1
            else:
                rec = None
            if rec is not None:
                text = _read(dbg[idx]) if len(dbg) > idx else ""
                mover = last_mover(text)
                to_move = (rec["white"] if mover is None else
                           ("second" if mover == "first" else "first"))
                rec.update(unfinished=True, to_move=to_move,
                           reason=("harness: no result after %.0f s (game stopped)" % bound)
                           + ("; xboard: " + rec["reason"] if rec["reason"] else ""))
                rec["faults"][to_move].add("no_response")
        log("run %d: %d game(s) finished, xboard exit status %s, %.0f s"
            % (chunk_no, done, rc, time.time() - started))
        next_game += done
        empty_chunks = empty_chunks + 1 if done == 0 else 0
        if empty_chunks >= 2 or stalled == "budget":
            if empty_chunks >= 2:
                log("two xboard runs in a row finished no game; giving up")
            break
    return records


def analyse_chunk(chunk_dir, first_game):
    games = split_pgn(_read(os.path.join(chunk_dir, "games.pgn")))
    debug = _debug_files(chunk_dir)
    polys = {role: scan_polyglot_log(_read(os.path.join(chunk_dir, "polyglot_%s.log" % role)))
             for role in ("first", "second")}
    out_dir = os.path.dirname(os.path.dirname(chunk_dir))
    records = []
    for i, text in enumerate(games):
        g = parse_game(text)
        n = first_game + i
        white = "first" if n % 2 == 1 else "second"
        dtext = _read(debug[i]) if i < len(debug) else ""
        faults = classify(g, white, dtext)
        for role in ("first", "second"):
            if i == len(games) - 1 and abnormal_exits(polys[role]["exits"]):
                faults[role].add("crash")
            pgames = polys[role]["games"]
            # a crashed engine does not answer either; count it once, as a crash
            if i < len(pgames) and "crash" not in faults[role]:
                if pgames[i]["no_response"] or pgames[i]["slow_stop"]:
                    faults[role].add("no_response")
        records.append({"game": n, "white": white, "result": g["result"],
                        "reason": g["reason"], "plies": g["plies"], "faults": faults,
                        "white_name": g["tags"].get("White"), "black_name": g["tags"].get("Black"),
                        "chunk": os.path.basename(chunk_dir),
                        "unfinished": g["result"] == "*",
                        "debug": os.path.relpath(debug[i], out_dir) if i < len(debug) else None})
    return records


def health_from_logs(out):
    """Run-wide facts of each side from all polyglot logs of a match."""
    facts = {}
    for role in ("first", "second"):
        agg = {"handshake_s": [], "stray": [], "engine_errors": [], "polyglot_warnings": [],
               "exits": [], "uci": False}
        base = os.path.join(out, "xboard")
        for chunk in sorted(os.listdir(base)) if os.path.isdir(base) else []:
            path = os.path.join(base, chunk, "polyglot_%s.log" % role)
            if os.path.exists(path):
                agg["uci"] = True
                s = scan_polyglot_log(_read(path))
                for k in ("handshake_s", "stray", "engine_errors", "polyglot_warnings", "exits"):
                    agg[k].extend(s[k])
        facts[role] = agg
    return facts


def tally(records, side):
    """Wins/draws/losses of `side` ('first' or 'second') and fault counts."""
    w = d = l = 0
    faults = {"illegal": 0, "false_claim": 0, "time": 0, "crash": 0, "no_response": 0}
    other = "second" if side == "first" else "first"
    opp_faults = dict.fromkeys(faults, 0)
    unfinished = 0
    for r in records:
        for k in r["faults"][side]:
            faults[k] += 1
        for k in r["faults"][other]:
            opp_faults[k] += 1
        if r.get("unfinished") or r["result"] == "*":
            unfinished += 1
            continue
        if r["result"] == "1/2-1/2":
            d += 1
        elif (r["result"] == "1-0") == (r["white"] == side):
            w += 1
        else:
            l += 1
    return {"wins": w, "draws": d, "losses": l, "unfinished": unfinished, "faults": faults,
            "opponent_faults": opp_faults}


def summarize(records, facts, engine_label, opponent_label, tc, games_wanted, out,
              preflight_info=None):
    t = tally(records, "first")
    n = t["wins"] + t["draws"] + t["losses"]
    score = t["wins"] + 0.5 * t["draws"]
    lines = []
    lines.append("Match: %s vs %s, time control %s, %d of %d games finished"
                 % (engine_label, opponent_label, tc["label"], n, games_wanted))
    if n:
        lines.append("Engine: +%d =%d -%d  score %.1f/%d = %.1f%%"
                     % (t["wins"], t["draws"], t["losses"], score, n, 100.0 * score / n))
    else:
        lines.append("Engine: no finished game")
    lines.append("Elo difference (engine - opponent): %s"
                 % format_elo(t["wins"], t["draws"], t["losses"]))
    reasons = {}
    for r in records:
        key = re.sub(r"\(.*", "", r["reason"] or "(no reason given)").strip()
        key = re.sub(r"^(White|Black) ", "", key)
        reasons[key] = reasons.get(key, 0) + 1
    lines.append("Game ends: " + "; ".join("%s: %d" % kv for kv in
                                          sorted(reasons.items(), key=lambda kv: -kv[1])))
    for side, label, key in (("first", "engine", "faults"), ("second", "opponent",
                                                              "opponent_faults")):
        f = t[key]
        fa = facts.get(side, {})
        lines.append("Protocol health, %s (%s):" % (label, engine_label if side == "first"
                                                    else opponent_label))
        lines.append("  games lost by illegal move: %d" % f["illegal"])
        lines.append("  games lost on time (time forfeit): %d" % f["time"])
        lines.append("  games with an engine crash / disconnect: %d" % f["crash"])
        lines.append("  games with no response (no bestmove / hang): %d" % f["no_response"])
        if f["false_claim"]:
            lines.append("  games lost by a false claim: %d" % f["false_claim"])
        if fa.get("uci"):
            hs = fa["handshake_s"]
            lines.append("  UCI handshake (uci -> uciok): %s" %
                         ("max %.2f s over %d start(s)" % (max(hs), len(hs)) if hs
                          else "never completed"))
            lines.append("  error-like engine output lines: %d%s" % (
                len(fa["engine_errors"]),
                (" e.g. %r" % fa["engine_errors"][0]) if fa["engine_errors"] else ""))
            lines.append("  other non-UCI engine output lines: %d%s" % (
                len(fa["stray"]) - len(fa["engine_errors"]),
                (" e.g. %r" % [s for s in fa["stray"] if s not in fa["engine_errors"]][:3])
                if len(fa["stray"]) > len(fa["engine_errors"]) else ""))
            bad = abnormal_exits(fa["exits"])
            if bad:
                lines.append("  abnormal engine exits seen by polyglot: %d, e.g. %r"
                             % (len(bad), bad[0]))
    lines.extend(fault_lines(records))
    unfinished = [r for r in records if r.get("unfinished")]
    if unfinished:
        lines.append("Unfinished games (harness watchdog or time budget): %d (%s)" % (
            len(unfinished), ", ".join(
                "game %d%s" % (r["game"], "" if not r.get("to_move") else ", %s to move" % (
                    "engine" if r["to_move"] == "first" else "opponent")) for r in unfinished)))
    if preflight_info is not None:
        lines.append("Preflight (direct UCI): %s%s" % (
            "ok" if preflight_info["ok"] else "FAILED",
            "" if not preflight_info["problems"] else " - " + "; ".join(preflight_info["problems"])))
    lines.append("Files: %s (games), %s (per-game table), %s (xboard and polyglot logs)"
                 % (os.path.join(out, "games.pgn"), os.path.join(out, "games.tsv"),
                    os.path.join(out, "xboard")))
    return "\n".join(lines) + "\n", t


FAULT_NAMES = {"illegal": "illegal move", "time": "time forfeit", "crash": "crash / disconnect",
               "no_response": "no response", "false_claim": "false claim"}


def fault_lines(records):
    """One line per game in which a side lost by a protocol fault (or crashed
    or hung), naming the game, the colours, the result and xboard's reason."""
    lines = []
    for r in records:
        for side, label in (("first", "engine"), ("second", "opponent")):
            kinds = sorted(r["faults"][side])
            if not kinds:
                continue
            colour = "white" if r["white"] == side else "black"
            lines.append("  game %d: %s (%s) %s, result %s, %s" % (
                r["game"], label, colour, ", ".join(FAULT_NAMES.get(k, k) for k in kinds),
                r["result"], r["reason"] or "no reason given"))
    return ["Games with faults: %d" % len(lines)] + lines


def write_outputs(records, out):
    with open(os.path.join(out, "games.pgn"), "w") as fh:
        base = os.path.join(out, "xboard")
        for chunk in sorted(os.listdir(base)):
            fh.write(_read(os.path.join(base, chunk, "games.pgn")))
    with open(os.path.join(out, "games.tsv"), "w") as fh:
        fh.write("game\tengine_colour\tresult\tengine_score\tplies\treason\tengine_faults"
                 "\topponent_faults\tdebug_log\n")
        for r in records:
            col = "white" if r["white"] == "first" else "black"
            if r["result"] == "1/2-1/2":
                sc = "0.5"
            elif r["result"] in ("1-0", "0-1"):
                sc = "1" if (r["result"] == "1-0") == (col == "white") else "0"
            else:
                sc = "-"
            fh.write("%d\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n" % (
                r["game"], col, r["result"], sc, r["plies"] if r["plies"] is not None else "-",
                r["reason"], ",".join(sorted(r["faults"]["first"])) or "-",
                ",".join(sorted(r["faults"]["second"])) or "-", r.get("debug") or "-"))


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("engine_cmd", help="UCI engine command line (run in a scratch directory)")
    ap.add_argument("opponent", help="|".join(sorted(KNOWN_ENGINES)) + "|stockfish-skill:N")
    ap.add_argument("games", type=int)
    ap.add_argument("tc", help="e.g. 0:10+0.1, 40/60, st=1")
    ap.add_argument("out", help="output folder (created; must be empty or new)")
    ap.add_argument("--openings", help=".pgn (opening lines) or .fen/.epd file; default built-in")
    ap.add_argument("--gui", action="store_true", help="draw the board (on Xvfb) instead of -noGUI")
    ap.add_argument("--no-reuse", action="store_true", help="restart engines for every game")
    ap.add_argument("--max-moves", type=int, default=250,
                    help="xboard adjudicates a draw after this many moves (bounds each game)")
    ap.add_argument("--max-minutes", type=float, default=None,
                    help="stop starting games after this many minutes")
    ap.add_argument("--game-timeout", type=float, default=None,
                    help="seconds without a finished game before the harness stops xboard "
                         "(default: from the time control's worst case)")
    ap.add_argument("--no-preflight", action="store_true")
    ap.add_argument("--strict", action="store_true",
                    help="exit 4 if the engine had any protocol fault")
    a = ap.parse_args(argv)
    try:
        if a.games < 1:
            raise UsageError("GAMES must be at least 1")
        tc = parse_tc(a.tc, a.max_moves)
        opp = engine_entry(a.opponent)
        eng = uci_command_entry(a.engine_cmd)
        if a.openings:
            load_openings(a.openings)
    except UsageError as exc:
        print("match: %s" % exc, file=sys.stderr)
        return 2
    out = os.path.abspath(a.out)
    if os.path.isdir(out) and os.listdir(out):
        print("match: output folder %s is not empty" % a.out, file=sys.stderr)
        return 2
    os.makedirs(out, exist_ok=True)
    t0 = time.time()
    deadline = t0 + 60 * a.max_minutes if a.max_minutes else None

    def log(msg):
        print("[match %5.0fs] %s" % (time.time() - t0, msg), flush=True)

    pf = None
    if not a.no_preflight:
        pdir = os.path.join(out, "work", "preflight")
        os.makedirs(pdir, exist_ok=True)
        pf = preflight(eng, pdir)
        log("preflight: %s%s" % ("ok" if pf["ok"] else "FAILED",
                                 "" if not pf["problems"] else " - " + "; ".join(pf["problems"])))
        if not pf["ok"]:
            with open(os.path.join(out, "summary.txt"), "w") as fh:
                fh.write("Preflight failed: %s\n" % "; ".join(pf["problems"]))
            return 3
    eng_label = (pf or {}).get("name") or "engine"
    log("%d games, %s vs %s, time control %s, each game limited to %.0f s"
        % (a.games, eng_label, opp["label"], tc["label"],
           a.game_timeout or game_bound_s(tc, a.max_moves)))
    opp = dict(opp, pgn_name=opp["label"] if opp["label"].startswith("stockfish") else "")
    records = play_match(eng, opp, a.games, tc, out, openings=a.openings, gui=a.gui,
                         reuse=not a.no_reuse, max_moves=a.max_moves, deadline=deadline, log=log,
                         game_timeout=a.game_timeout)
    facts = health_from_logs(out)
    write_outputs(records, out)
    text, t = summarize(records, facts, eng_label, opp["label"], tc, a.games, out, pf)
    with open(os.path.join(out, "summary.txt"), "w") as fh:
        fh.write(text)
    with open(os.path.join(out, "summary.json"), "w") as fh:
        json.dump({"engine": eng_label, "opponent": opp["label"], "tc": tc["label"],
                   "games_wanted": a.games, "tally": t, "elapsed_s": round(time.time() - t0, 1),
                   "records": [dict(r, faults={k: sorted(v) for k, v in r["faults"].items()})
                               for r in records]}, fh, indent=1)
    print(text, end="")
    if not records:
        return 3
    if a.strict and any(t["faults"].values()):
        return 4
    return 0


if __name__ == "__main__":
    sys.exit(main())
