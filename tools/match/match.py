#!/usr/bin/env python3
"""Play chess games between a UCI engine and another engine in xboard's match mode.

xboard runs the match headless under Xvfb: it alternates the colours, plays
each opening twice (once with each colour), keeps the clocks, adjudicates
and saves the games. UCI engines are attached through polyglot (xboard's
-fUCI/-sUCI), the way xboard users run them. This file builds xboard's
command line, stops xboard when a game hangs, and reads the games and the
logs back for the results and the protocol faults (illegal moves, time
forfeits, crashes, hangs, stray output).

match.sh is the entry point (it installs the Debian packages first and
plays the engine built in this repository); tests/test_match.py tests the
reading back.
"""
import argparse
import os
import re
import shlex
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
    """A time control as xboard options, its label and the clocks' worst
    case for one game.

    Forms: 'B+I' (base B as seconds or m:ss, increment I seconds, may be
    fractional), 'M/B' (M moves in B, repeating), 'st=S' (S whole seconds per
    move), and 'sd=N' or 'sd=N,TC' (a search depth of N plies, xboard's
    -depth, with the clock TC, default 40/5:00). max_moves is the move count
    after which xboard adjudicates a draw; it bounds the game.
    """
    t = text.strip().replace(" ", "")
    m = re.fullmatch(r"sd=(\d+)(?:,(.+))?", t)
    if m:
        depth = int(m.group(1))
        if depth < 1:
            raise UsageError("the search depth must be at least 1")
        clock = parse_tc(m.group(2) or "40/5:00", max_moves)
        if clock.get("depth"):
            raise UsageError("one depth only: %s" % text)
        return dict(clock, args=["-depth", str(depth)] + clock["args"],
                    label="depth %d, %s" % (depth, clock["label"]), depth=depth)
    m = re.fullmatch(r"st=(\d+)", t)
    if m:
        st = int(m.group(1))
        if st < 1:
            raise UsageError("seconds per move must be at least 1")
        return {"args": ["-st", _clock(st)], "label": "%ds/move" % st, "worst_s": 2 * max_moves * (st + 1.0)}
    m = re.fullmatch(r"(\d+)/([\d:]+)", t)
    if m:
        moves, base = int(m.group(1)), _seconds(m.group(2))
        if moves < 1 or base < 1:
            raise UsageError("bad time control %r" % text)
        sessions = -(-max_moves // moves)
        return {"args": ["-mps", str(moves), "-tc", _clock(base)],
                "label": "%d/%s" % (moves, _clock(base)), "worst_s": 2.0 * base * sessions}
    m = re.fullmatch(r"([\d:]+)(?:\+(\d+(?:\.\d+)?))?", t)
    if m:
        base = _seconds(m.group(1))
        inc = float(m.group(2) or 0)
        if base < 1:
            raise UsageError("base time must be at least 1 second: %s" % text)
        inc_s = "%g" % inc
        return {"args": ["-tc", _clock(base), "-inc", inc_s], "label": "%s+%s" % (_clock(base), inc_s),
                "worst_s": 2.0 * (base + max_moves * inc)}
    raise UsageError("cannot read time control %r (try 0:10+1, 40/60, st=1, sd=4)" % text)


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


def opening_file(path, work):
    """xboard's options for the openings: a .pgn file of opening lines, a
    .fen/.epd file of positions, or the built-in lines. Each is played twice
    (-lgi/-lpi -2) and the file starts again after its last one."""
    if not path:
        path = os.path.join(work, "openings.pgn")
        with open(path, "w") as fh:
            for i, line in enumerate(BUILTIN_OPENINGS):
                fh.write('[Event "opening %d"]\n\n%s *\n\n' % (i + 1, line))
    path = os.path.abspath(path)
    text = _read(path)
    if path.lower().endswith(".pgn"):
        count = sum(1 for line in text.splitlines() if line.startswith("[Event "))
        kind = ["-lgf", path, "-lgi", "-2"]
    else:
        count = sum(1 for line in text.splitlines() if line.strip() and not line.startswith("#"))
        kind = ["-lpf", path, "-lpi", "-2"]
    if not count:
        raise UsageError("no openings in %s" % path)
    return kind + ["-rewindIndex", str(count)]


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


def _debug_files(folder):
    found = []
    for name in os.listdir(folder):
        m = re.fullmatch(r"xboard_(\d+)\.debug", name)
        if m:
            found.append((int(m.group(1)), name))
    return [os.path.join(folder, n) for _k, n in sorted(found)]


def _read(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as fh:
            return fh.read()
    except FileNotFoundError:
        return ""


def xboard_command(first, second, tc, games, openings, out, gui=False, reuse=True, max_moves=250):
    args = ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24 -nolisten tcp", "xboard"]
    if not gui:
        args.append("-noGUI")
    args += ["-mg", str(games), "-xfb"] + tc["args"] + openings
    for key, eng in (("f", first), ("s", second)):
        args += ["-%scp" % key, eng["xcmd"], "-%sd" % key, eng["dir"]]
        if eng["uci"]:
            args.append("-%sUCI" % key)
        if eng["options"]:
            args += ["-firstOptions" if key == "f" else "-secondOptions", eng["options"]]
        if eng.get("pgn_name"):
            args += ["-%sn" % key, eng["pgn_name"]]
    args += [
        "-sgf", os.path.join(out, "games.pgn"),
        "-debug", "-nameOfDebugFile", os.path.join(out, "xboard", "xboard_%d.debug"),
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
    eng = dict(eng, dir=d, xcmd=eng["cmd"])
    if eng.get("wrap"):
        eng["xcmd"] = os.path.join(d, "engine.sh")
        with open(eng["xcmd"], "w") as fh:
            fh.write("#!/bin/bash\n# started by xboard/polyglot in this directory\nexec %s\n" % eng["cmd"])
        os.chmod(eng["xcmd"], 0o755)
    return eng


def last_mover(debug_text):
    """'first'/'second': the engine whose move xboard received last."""
    who = None
    for m in re.finditer(r"^\d+ <(first|second)\s*: move ", debug_text, re.M):
        who = m.group(1)
    return who


def play_match(first, second, games, tc, out, openings, gui=False, reuse=True, max_moves=250,
               deadline=None, log=print, game_timeout=None):
    """Runs xboard's match, stopping it when a game has had no result for
    its bound or the time budget is used up. Returns None, "stalled" or
    "budget"."""
    work = os.path.join(out, "work")
    os.makedirs(os.path.join(work, "home"), exist_ok=True)
    os.makedirs(os.path.join(out, "xboard"), exist_ok=True)
    env = dict(os.environ, HOME=os.path.join(work, "home"), LC_ALL="C", LANG="C", LANGUAGE="",
               PATH=os.environ.get("PATH", "/usr/bin:/bin") + ":/usr/games")
    cmd = xboard_command(first, second, tc, games, openings, out, gui=gui, reuse=reuse,
                         max_moves=max_moves)
    with open(os.path.join(out, "xboard", "command.txt"), "w") as fh:
        fh.write(" ".join(shlex.quote(a) for a in cmd) + "\n")
    bound = game_timeout or game_bound_s(tc, max_moves)
    pgn = os.path.join(out, "games.pgn")
    done, last_progress, stopped = 0, time.time(), None
    with open(os.path.join(out, "xboard", "xboard.out"), "w") as xout:
        proc = subprocess.Popen(cmd, cwd=work, env=env, stdin=subprocess.DEVNULL, stdout=xout,
                                stderr=subprocess.STDOUT, start_new_session=True)
        try:
            while proc.poll() is None:
                time.sleep(0.5)
                now = time.time()
                if count_games(pgn) > done:
                    done, last_progress = count_games(pgn), now
                    log("%d of %d games finished" % (done, games))
                if now - last_progress > bound:
                    log("game %d: no result after %.0f s; stopping xboard" % (done + 1, bound))
                    stopped = "stalled"
                    break
                if deadline is not None and now > deadline:
                    log("time budget used up during game %d; stopping xboard" % (done + 1))
                    stopped = "budget"
                    break
        finally:
            kill_group(proc)
    return stopped


def analyse(out, first_dir, second_dir):
    """The game records of a match: result, xboard's reason and each side's
    faults, from the PGN, xboard's debug logs and polyglot's logs."""
    games = split_pgn(_read(os.path.join(out, "games.pgn")))
    debug = _debug_files(os.path.join(out, "xboard"))
    polys = {role: scan_polyglot_log(_read(os.path.join(d, "polyglot.log")))
             for role, d in (("first", first_dir), ("second", second_dir))}
    records = []
    for i, text in enumerate(games):
        g = parse_game(text)
        white = "first" if i % 2 == 0 else "second"
        faults = classify(g, white, _read(debug[i]) if i < len(debug) else "")
        for role in ("first", "second"):
            if i == len(games) - 1 and abnormal_exits(polys[role]["exits"]):
                faults[role].add("crash")
            pgames = polys[role]["games"]
            # a crashed engine does not answer either; count it once, as a crash
            if i < len(pgames) and "crash" not in faults[role]:
                if pgames[i]["no_response"] or pgames[i]["slow_stop"]:
                    faults[role].add("no_response")
        records.append({"game": i + 1, "white": white, "result": g["result"], "reason": g["reason"],
                        "faults": faults, "unfinished": g["result"] == "*",
                        "names": (g["tags"].get("White"), g["tags"].get("Black"))})
    return records, polys


def charge_stalled_game(records, out, games, bound):
    """The game running when xboard was stopped for a hang: unfinished, and
    charged as "no response" to the side to move."""
    if records and records[-1]["result"] == "*":
        rec = records[-1]
    elif len(records) < games:
        n = len(records) + 1
        rec = {"game": n, "white": "first" if n % 2 else "second", "result": "*", "reason": "",
               "faults": {"first": set(), "second": set()}, "names": (None, None)}
        records.append(rec)
    else:
        return
    debug = _debug_files(os.path.join(out, "xboard"))
    mover = last_mover(_read(debug[rec["game"] - 1]) if len(debug) >= rec["game"] else "")
    to_move = rec["white"] if mover is None else ("second" if mover == "first" else "first")
    rec.update(unfinished=True, reason="harness: no result after %.0f s (game stopped)" % bound
               + ("; xboard: " + rec["reason"] if rec["reason"] else ""))
    rec["faults"][to_move].add("no_response")


# ---------------------------------------------------------------- summary

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


def summarize(records, polys, engine_label, opponent_label, tc, games_wanted, out):
    t = tally(records, "first")
    n = t["wins"] + t["draws"] + t["losses"]
    lines = ["Match: %s vs %s, time control %s, %d of %d games finished"
             % (engine_label, opponent_label, tc["label"], n, games_wanted)]
    if n:
        score = t["wins"] + 0.5 * t["draws"]
        lines.append("Engine: +%d =%d -%d  score %.1f/%d = %.1f%%"
                     % (t["wins"], t["draws"], t["losses"], score, n, 100.0 * score / n))
    else:
        lines.append("Engine: no finished game")
    reasons = {}
    for r in records:
        key = re.sub(r"\(.*", "", r["reason"] or "(no reason given)").strip()
        key = re.sub(r"^(White|Black) ", "", key)
        reasons[key] = reasons.get(key, 0) + 1
    lines.append("Game ends: " + "; ".join("%s: %d" % kv for kv in
                                          sorted(reasons.items(), key=lambda kv: -kv[1])))
    for side, label, key, name in (("first", "engine", "faults", engine_label),
                                   ("second", "opponent", "opponent_faults", opponent_label)):
        f, log = t[key], polys[side]
        lines.append("Protocol health, %s (%s):" % (label, name))
        lines.append("  games lost by illegal move: %d" % f["illegal"])
        lines.append("  games lost on time (time forfeit): %d" % f["time"])
        lines.append("  games with an engine crash / disconnect: %d" % f["crash"])
        lines.append("  games with no response (no bestmove / hang): %d" % f["no_response"])
        if f["false_claim"]:
            lines.append("  games lost by a false claim: %d" % f["false_claim"])
        if log["handshake_s"] or log["games"]:
            hs = log["handshake_s"]
            lines.append("  UCI handshake (uci -> uciok): %s" %
                         ("max %.2f s over %d start(s)" % (max(hs), len(hs)) if hs else "never completed"))
            errors, stray = log["engine_errors"], [s for s in log["stray"] if s not in log["engine_errors"]]
            lines.append("  error-like engine output lines: %d%s"
                         % (len(errors), " e.g. %r" % errors[0] if errors else ""))
            lines.append("  other non-UCI engine output lines: %d%s"
                         % (len(stray), " e.g. %r" % stray[:3] if stray else ""))
            bad = abnormal_exits(log["exits"])
            if bad:
                lines.append("  abnormal engine exits seen by polyglot: %d, e.g. %r" % (len(bad), bad[0]))
    lines.extend(fault_lines(records))
    unfinished = [r for r in records if r.get("unfinished")]
    if unfinished:
        lines.append("Unfinished games (harness watchdog or time budget): %s"
                     % ", ".join("game %d" % r["game"] for r in unfinished))
    lines.append("Files: %s (games), %s (xboard's command line and logs), %s (polyglot's logs)"
                 % (os.path.join(out, "games.pgn"), os.path.join(out, "xboard"), os.path.join(out, "work")))
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


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("engine_cmd", help="UCI engine command line (run in a scratch directory)")
    ap.add_argument("opponent", help="|".join(sorted(KNOWN_ENGINES)) + "|stockfish-skill:N")
    ap.add_argument("games", type=int)
    ap.add_argument("tc", help="e.g. 0:10+1, 40/60, st=1, sd=4")
    ap.add_argument("out", help="output folder (created; must be empty or new)")
    ap.add_argument("--openings", help=".pgn (opening lines) or .fen/.epd file; default built-in")
    ap.add_argument("--gui", action="store_true", help="draw the board (on Xvfb) instead of -noGUI")
    ap.add_argument("--no-reuse", action="store_true", help="restart engines for every game")
    ap.add_argument("--max-moves", type=int, default=250,
                    help="xboard adjudicates a draw after this many moves (bounds each game)")
    ap.add_argument("--max-minutes", type=float, default=None,
                    help="stop the match after this many minutes")
    ap.add_argument("--game-timeout", type=float, default=None,
                    help="seconds without a finished game before the harness stops xboard "
                         "(default: from the time control's worst case)")
    ap.add_argument("--strict", action="store_true",
                    help="exit 4 if the engine had any protocol fault")
    a = ap.parse_args(argv)
    out = os.path.abspath(a.out)
    try:
        if a.games < 1:
            raise UsageError("GAMES must be at least 1")
        tc = parse_tc(a.tc, a.max_moves)
        opp = engine_entry(a.opponent)
        eng = uci_command_entry(a.engine_cmd)
        if os.path.isdir(out) and os.listdir(out):
            raise UsageError("output folder %s is not empty" % a.out)
        os.makedirs(os.path.join(out, "work"), exist_ok=True)
        openings = opening_file(a.openings, os.path.join(out, "work"))
    except UsageError as exc:
        print("match: %s" % exc, file=sys.stderr)
        return 2
    t0 = time.time()

    def log(msg):
        print("[match %5.0fs] %s" % (time.time() - t0, msg), flush=True)

    bound = a.game_timeout or game_bound_s(tc, a.max_moves)
    log("%d games vs %s, time control %s, each game limited to %.0f s" % (a.games, opp["label"], tc["label"], bound))
    first = prepare_engine(eng, os.path.join(out, "work"), "first")
    second = prepare_engine(dict(opp, pgn_name=opp["label"] if opp["label"].startswith("stockfish") else ""),
                            os.path.join(out, "work"), "second")
    stopped = play_match(first, second, a.games, tc, out, openings, gui=a.gui, reuse=not a.no_reuse,
                         max_moves=a.max_moves, deadline=t0 + 60 * a.max_minutes if a.max_minutes else None,
                         log=log, game_timeout=a.game_timeout)
    records, polys = analyse(out, first["dir"], second["dir"])
    if stopped == "stalled":
        charge_stalled_game(records, out, a.games, bound)
    names = [r["names"][0 if r["white"] == "first" else 1] for r in records]
    eng_label = next((n for n in names if n), "engine")
    text, t = summarize(records, polys, eng_label, opp["label"], tc, a.games, out)
    with open(os.path.join(out, "summary.txt"), "w") as fh:
        fh.write(text)
    print(text, end="")
    if not records:
        return 3
    if a.strict and any(t["faults"].values()):
        return 4
    return 0


if __name__ == "__main__":
    sys.exit(main())
