// Live UCI sessions over pipes, as a GUI drives the engine: latencies of
// "go" and "stop", lines that arrive during a search, the time budget of the
// clock values, long move lists and the end of input.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include "blackbox/uci_session.h"

namespace mavo::test {
namespace {

// Bounds generous for a busy machine, far below what a clock would lose.
TEST(UciTiming, SearchesEndOnTheirBudget) {
  Uci uci;
  for (auto [go, budgetMs] :
       {std::pair{"go movetime 1000", 1000}, {"go wtime 3000 btime 1", 100}, {"go winc 300", 300}}) {
    uci.engine.send("position startpos\n");
    int64_t ms = uci.timed(std::string(go) + "\n", "bestmove ");
    EXPECT_GE(ms, budgetMs) << go;
    EXPECT_LE(ms, budgetMs + 500) << go;
  }
}

// "top" is taken as a stop too (a "stop" whose first letter was lost).
TEST(UciTiming, StopAndTopEndAnInfiniteSearchAtOnce) {
  for (const char* word : {"stop\n", "top\n"}) {
    Uci uci;
    uci.engine.send("position startpos moves e2e4\ngo infinite\n");
    ASSERT_TRUE(uci.engine.waitFor("info depth 5 ", 5000));
    EXPECT_LE(uci.timed(word, "bestmove "), 200) << word;
  }
}

// isready is answered at once and the search goes on; every other line
// waits and is served after the bestmove, in the order it came; a position
// line ends the search, and is then the position of the next one; quit
// ends the search, its bestmove sent, and then the program.
TEST(UciSession, NoLineIsLostDuringASearch) {
  Uci uci;
  uci.engine.send("position startpos\ngo infinite\n");
  ASSERT_TRUE(uci.engine.waitFor("info depth 3 ", 5000));
  size_t from = uci.mark();
  EXPECT_LE(uci.timed("isready\r\n", "readyok\n"), 200);
  uci.engine.send("moves\nsetoption name UCI_Chess960 value true\nisready\n");
  ASSERT_TRUE(uci.engine.waitFor("readyok\n", 2000, uci.engine.output().find("readyok\n", from) + 1));
  uci.engine.drain(200);
  EXPECT_EQ(bestMove(uci.engine.output(), from), "") << "the search must go on";
  EXPECT_EQ(uci.since(from).find("legal moves"), std::string::npos) << "moves waits for the search";
  uci.engine.send("stop\ndisp\n");
  ASSERT_TRUE(uci.engine.waitFor("\n20 legal moves:\n", 5000, from));
  ASSERT_TRUE(uci.engine.waitFor("turn: white", 5000, from)) << "disp after moves";
  std::string out = uci.since(from);
  EXPECT_LT(out.find("bestmove "), out.find("20 legal moves"));
  EXPECT_LT(out.find("20 legal moves"), out.find("turn: white"));
  // Chess960 was switched on after the search: the e1 king takes its rook.
  EXPECT_NE(
      uci.search("position fen 4k3/8/8/8/8/8/8/4K2R w K - 0 1\ngo depth 1 searchmoves e1h1\n").find("bestmove e1h1\n"),
      std::string::npos);

  uci.engine.send("position startpos\ngo infinite\n");
  ASSERT_TRUE(uci.engine.waitFor("info depth 3 ", 5000, uci.mark()));
  EXPECT_NE(uci.search("position startpos moves e2e4\n"), "") << "a position line ends the search";
  EXPECT_GT(bestMove(uci.search("go depth 2\n")).substr(1, 1), "6") << "the new position, Black to move";

  from = uci.mark();
  uci.engine.send("position startpos\ngo infinite\n");
  ASSERT_TRUE(uci.engine.waitFor("info depth 3 ", 5000, from));
  uci.engine.send("quit\n");
  EXPECT_EQ(uci.engine.waitExit(5000), 0);
  EXPECT_NE(bestMove(uci.engine.output(), from), "");
}

// A match runner's conversation, a line at a time as it sends them: each
// game opens with ucinewgame and an isready ping, its moves come as
// position lines, and each search has its own kind of limit.
TEST(UciSession, MatchRunnerConversation) {
  Uci uci;
  std::string moves;
  auto play = [&](const std::string& go) {
    const std::string out = uci.search("position startpos" + moves + "\n" + go + "\n");
    const std::string move = bestMove(out);
    EXPECT_TRUE(std::regex_match(move, std::regex("[a-h][1-8][a-h][1-8][qrbn]?"))) << go << ":\n" << out;
    moves += (moves.empty() ? " moves " : " ") + move;
    return out;
  };
  for (int game = 0; game < 2; ++game) {
    moves.clear();
    EXPECT_LT(uci.timed("ucinewgame\nisready\n", "readyok\n"), kNever);
    EXPECT_EQ(lastDepth(play("go depth 4")), 4);
    EXPECT_GE(lastDepth(play("go nodes 5000")), 3);
    play("go wtime 2000 btime 2000 winc 100 binc 100 movestogo 40");
    play("go movetime 100");
    const size_t from = uci.mark();
    uci.engine.send("position startpos" + moves + "\ngo infinite\n");
    ASSERT_TRUE(uci.engine.waitFor("info depth 3 ", 5000, from));
    EXPECT_LT(uci.timed("isready\n", "readyok\n"), 1000);
    EXPECT_NE(uci.search("stop\n"), "");
  }
  uci.engine.send("quit\n");
  EXPECT_EQ(uci.engine.waitExit(5000), 0);
}

// A runner's games in one process, the whole conversation piped at once:
// the second game's search is of its own start position, not of the first
// game's plus the engine's move.
TEST(UciSession, PipedGamesEachSearchTheirOwnPosition) {
  RunResult r = runEngine(
      "uci\nucinewgame\nisready\nposition startpos\ngo movetime 50\nucinewgame\nposition startpos\n"
      "go wtime 1000 btime 1000\nisready\nposition startpos moves e2e4\ngo nodes 2000\n");
  ASSERT_EQ(r.status, 0);
  std::vector<std::string> moves;
  std::smatch m;
  for (std::string rest = r.out; std::regex_search(rest, m, std::regex("bestmove (\\S+)\n")); rest = m.suffix())
    moves.push_back(m[1].str());
  ASSERT_EQ(moves.size(), 3u) << r.out;
  EXPECT_LT(moves[0].substr(1, 1), "3");
  EXPECT_LT(moves[1].substr(1, 1), "3") << "White to move in the second game too";
  EXPECT_GT(moves[2].substr(1, 1), "6");
}

TEST(UciSession, EndOfInputStopsOnlyAnInfiniteSearch) {
  Uci infinite;
  infinite.engine.send("position startpos\ngo infinite\n");
  ASSERT_TRUE(infinite.engine.waitFor("info depth 3 ", 5000));
  infinite.engine.closeInput();
  EXPECT_EQ(infinite.engine.waitExit(2000), 0);
  EXPECT_NE(bestMove(infinite.engine.output()), "");

  Uci timed;
  auto t = Clock::now();
  timed.engine.send("position startpos\ngo movetime 500");  // a last line without its newline
  timed.engine.closeInput();
  EXPECT_EQ(timed.engine.waitExit(5000), 0);
  EXPECT_GE(msSince(t), 500);
  EXPECT_NE(bestMove(timed.engine.output()), "");
}

// A GUI waits for "readyok" as a line of its own: no reply, debugging texts
// and the words GUIs send that the engine does not know included, may leave
// its last line open.
TEST(UciSession, EveryReplyEndsItsLine) {
  const std::string lines =  // one line per "|"
      "d|register later|register|debug on|debug off|ponderhit|stop|uci|e2e4|b_ausgabe|disp|show|moves|"
      "val|draw|stack|setoption name Hash value 1|position startpos moves e2e5|"
      "position startpos moves e2e4 x  e7e5 e2e4 g1f3|stack|position fen 8/8/8/8/8/8/8/8 w - - 0 1|"
      "position startpos|stack|position fen 7k/8/8/8/8/8/8/K7 w - - 0 1 moves a1a2 h8h9|b_ausgabe";
  Uci uci;
  uci.engine.send("isready\n");
  ASSERT_TRUE(uci.engine.waitFor("readyok\n", 2000));
  std::istringstream each(lines);
  for (std::string line; std::getline(each, line, '|');) {
    size_t from = uci.mark() - 1;  // the newline that ends the last readyok
    uci.engine.send(line + "\nisready\n");
    EXPECT_TRUE(uci.engine.waitFor("\nreadyok\n", 1000, from)) << line << ":\n" << uci.since(from);
  }
  size_t from = uci.mark();
  EXPECT_LT(uci.timed("go movetime 100\n", "bestmove "), kNever);
  EXPECT_TRUE(uci.engine.waitFor("\n", 1000, uci.engine.output().find("bestmove ", from)));
  EXPECT_TRUE(std::regex_search(uci.since(from - 1), std::regex("\nbestmove [a-h][1-8][a-h][1-8]\n")));
}

// A GUI that takes each read from the pipe as whole lines must never get
// part of one: every line leaves in one write, so no read ends inside a
// line. A promotion in the lines (its letter was once flushed on its own)
// and the progress lines of a search give many lines to read.
TEST(UciSession, NoReadEndsInsideALine) {
  Uci uci;
  const size_t from = uci.mark();
  uci.engine.send("position fen 8/P6k/8/8/8/8/8/K7 w - - 0 1\ngo movetime 300\nisready\n");
  ASSERT_TRUE(uci.engine.waitFor("bestmove a7a8q\n", 5000, from)) << uci.since(from);
  ASSERT_TRUE(uci.engine.waitFor("readyok\n", 1000, from));
  int reads = 0;
  for (size_t end : uci.engine.readEnds()) {
    if (end <= from) continue;
    ++reads;
    EXPECT_EQ(uci.engine.output()[end - 1], '\n') << "a read ended inside the line\n"
                                                  << uci.engine.output().substr(end - std::min<size_t>(end, 60), 60);
  }
  EXPECT_GT(reads, 0);
}

// Every line of a search is a well-formed info or bestmove line, and every
// completed iteration is also in the log with the same depth, rate, score
// and line.
TEST(UciReports, InfoLinesAndTheirLogRecords) {
  TempDir dir;
  dir.write("Mavo.cfg", "Logging=1\n");
  RunResult run = runEngine("uci\nposition fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\ngo movetime 300\n", dir.path());
  ASSERT_EQ(run.status, 0);
  const std::string move = "[a-h][1-8][a-h][1-8][qrbn]?";
  const std::regex pvLine(
      "info depth (\\d+) seldepth \\d+ nodes \\d+ nps (\\d+) score (cp -?\\d+|mate -?\\d+) time \\d+ pv ((?:" + move +
      " )*)");
  const std::regex currLine("info depth \\d+ nodes \\d+ score cp -?\\d+ nps \\d+ currmove " + move +
                            " currmovenumber \\d+");
  const std::regex logLine(
      "<<< SENT TO GUI <<< depth (\\d+)  hash-hits 0 nps (\\d+) score (cp -?\\d+|mate -?\\d+) ? time \\d+ pv ((?:" +
      move + " )*)");
  std::vector<std::string> sent, logged;
  std::istringstream out(run.out.substr(run.out.find("uciok\n") + 6));
  std::smatch m;
  for (std::string line; std::getline(out, line);) {
    if (std::regex_match(line, m, pvLine))
      sent.push_back(m[1].str() + "|" + m[2].str() + "|" + m[3].str() + "|" + m[4].str());
    else
      EXPECT_TRUE(std::regex_match(line, currLine) || std::regex_match(line, std::regex("bestmove " + move))) << line;
  }
  std::istringstream log(dir.read("Mavo.log"));
  for (std::string line; std::getline(log, line);)
    if (std::regex_match(line, m, logLine))
      logged.push_back(m[1].str() + "|" + m[2].str() + "|" + m[3].str() + "|" + m[4].str());
  EXPECT_GE(sent.size(), 3u);
  EXPECT_NE(sent.back().find("mate 1|d1d8 "), std::string::npos);
  EXPECT_EQ(logged, sent);
}

// Mate distances are the mating side's moves: White mates in two (Kb6,
// then Rh8#); the side that is mated after its one move (Kb8 Rh8#) hears
// "mate -1".
TEST(UciReports, MateDistances) {
  for (auto [fen, score] : {std::pair{"k7/8/2K5/8/8/8/8/7R w", "mate 2"}, {"k7/8/1K6/8/8/8/8/7R b", "mate -1"}}) {
    Uci uci;
    uci.engine.send(std::string("position fen ") + fen + " - - 0 1\ngo movetime 200\n");
    ASSERT_TRUE(uci.engine.waitFor("bestmove ", 5000));
    std::string out = uci.engine.output();
    std::smatch m;
    ASSERT_TRUE(std::regex_search(out, m, std::regex("score mate -?\\d+ ")));
    for (; std::regex_search(out, m, std::regex("score (mate -?\\d+) ")); out = m.suffix()) EXPECT_EQ(m[1], score);
  }
}

// The node count of the fourth iteration from the start position, in a
// fresh engine after the given setoption line.
std::string depthFourNodes(const std::string& setoption) {
  Uci uci;
  uci.engine.send(setoption + "position startpos\ngo movetime 100\n");
  EXPECT_TRUE(uci.engine.waitFor("bestmove ", 5000));
  std::smatch m;
  std::regex_search(uci.engine.output(), m, std::regex("info depth 4 seldepth \\d+ nodes (\\d+) "));
  return m[1].str();
}

TEST(UciOptions, NullMoveReductionChangesTheSearch) {
  const std::string start = depthFourNodes("");
  ASSERT_NE(start, "");
  EXPECT_NE(depthFourNodes("setoption name NullMove Reduction value 3\n"), start);
  EXPECT_EQ(depthFourNodes("setoption name NullMove Reduction value 7\n"), start);
  EXPECT_EQ(depthFourNodes("setoption name NullMove Reduction value 1\n"), start);
}

// A game of knight moves longer than the move stack, as one position line.
TEST(UciSession, LongMoveListsAreAppliedAsFarAsTheStackHolds) {
  const char* cycle[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
  auto line = [&](int plies) {
    std::string s = "position startpos moves";
    for (int i = 0; i < plies; ++i) s += std::string(" ") + cycle[i % 4];
    return s + "\n";
  };
  Uci uci;
  std::string full = line(820);
  ASSERT_GT(full.size(), 4111u);
  EXPECT_LT(uci.timed(full + "draw\nisready\n", "readyok\n"), kNever);
  EXPECT_NE(uci.engine.output().find("pcount-ply: 820\n"), std::string::npos);

  size_t from = uci.mark();
  EXPECT_LT(uci.timed(line(1100) + "draw\nisready\n", "readyok\n"), kNever);
  std::smatch m;
  std::string out = uci.since(from);
  size_t at = out.find("pcount-ply: ");
  ASSERT_NE(at, std::string::npos);
  int applied = std::stoi(out.substr(at + 12));
  ASSERT_TRUE(std::regex_search(out, m, std::regex("\nmove stack full: moves from (\\S+) on are not applied\n")));
  // A game holds 824 plies: the last 200 of the 1024 stack entries stay for
  // the search.
  EXPECT_EQ(applied, 824);
  EXPECT_EQ(m[1].str(), cycle[applied % 4]);
  // The search still answers, and its move is not made on the full game.
  from = uci.mark();
  EXPECT_LT(uci.timed("go movetime 100\n", "bestmove "), kNever);
  EXPECT_LT(uci.timed("draw\nisready\n", "readyok\n"), kNever);
  EXPECT_NE(uci.since(from).find("pcount-ply: 824\n"), std::string::npos);
}

}  // namespace
}  // namespace mavo::test
