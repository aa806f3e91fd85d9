#include "frontend/config.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "frontend/command_line.h"
#include "platform/platform.h"
#include "search/evaluate.h"

namespace mavo {

void resetSettings() {
  settings = EngineSettings{};
  resetPieceValues();
}

namespace {

// Numbers saturate instead of overflowing; no setting means anything there.
constexpr long kNumberCap = 100000;

bool startsWith(const char* line, const char* key) { return std::strncmp(line, key, std::strlen(key)) == 0; }

// The value after each "=", digits accumulated over the whole line; a line
// without "=" reads 0. `sawEquals` tells whether any "=" was found.
long readNumber(const char* line, bool* sawEquals) {
  long value = 0;
  *sawEquals = false;
  for (const char* p = line; *p; ++p) {
    if (*p != '=') continue;
    *sawEquals = true;
    ++p;
    while (*p == ' ') ++p;
    while (*p >= '0' && *p <= '9') {
      value = value * 10 + (*p - '0');
      if (value > kNumberCap) value = kNumberCap;
      ++p;
    }
    if (!*p) break;
  }
  return value;
}

// The last "=" decides: on when its value starts with 1, t or T.
int readFlag(const char* line) {
  int flag = 0;
  for (const char* p = line; *p; ++p) {
    if (*p != '=') continue;
    const char* v = p + 1;
    while (*v == ' ') ++v;
    flag = *v == '1' || *v == 't' || *v == 'T';
  }
  return flag;
}

// The last "=" decides; the name runs to the next blank or newline.
void readFileName(const char* line, char* name, size_t cap) {
  for (const char* p = line; *p; ++p) {
    if (*p != '=') continue;
    const char* v = p + 1;
    while (*v == ' ') ++v;
    size_t n = 0;
    while (v[n] && v[n] != ' ' && v[n] != '\n' && n + 1 < cap) ++n;
    std::memcpy(name, v, n);
    name[n] = '\0';
  }
}

struct NumberKey {
  const char* key;
  int* target;
  int sign;
};

}  // namespace

int readConfigFile() {
  std::FILE* file = std::fopen("Mavo.cfg", "r");
  if (!file) {
    std::printf("warning: couldn't open Mavo.cfg");
    return 0;
  }
  std::printf("loading: Mavo.cfg");
  // Keys in the order every line is tested against them.
  const NumberKey pieces[] = {
      {"WhitePawn", &pieceValue[1], 1},     {"WhiteKnight", &pieceValue[2], 1}, {"WhiteRook", &pieceValue[4], 1},
      {"WhiteBishop", &pieceValue[3], 1},   {"WhiteQueen", &pieceValue[5], 1},  {"BlackQueen", &pieceValue[-5], -1},
      {"BlackBishop", &pieceValue[-3], -1}, {"BlackRook", &pieceValue[-4], -1}, {"BlackKnight", &pieceValue[-2], -1},
      {"BlackPawn", &pieceValue[-1], -1},
  };
  char line[kConsoleLineCap];
  startFileLines(file);
  while (readFileLine(line, sizeof line) >= 0) {
    bool sawEquals = false;
    if (startsWith(line, "Nullmove")) {
      long v = readNumber(line, &sawEquals);
      if (sawEquals && v <= 9) settings.nullMoveReduction = static_cast<int>(v);
    }
    for (const NumberKey& k : pieces)
      if (startsWith(line, k.key)) *k.target = k.sign * static_cast<int>(readNumber(line, &sawEquals));
    if (startsWith(line, "Logging")) settings.loggingEnabled = readFlag(line);
    if (startsWith(line, "Logfile")) readFileName(line, settings.logFileName, sizeof settings.logFileName);
    if (startsWith(line, "OwnBook")) settings.ownBook = 1;
    if (startsWith(line, "BookDepth")) settings.bookDepth = static_cast<int>(readNumber(line, &sawEquals));
    if (startsWith(line, "Hash")) settings.hashSize = static_cast<int>(readNumber(line, &sawEquals));
  }
  if (std::fclose(file) != 0) {
    std::printf("\nwarning while closing the file\n");
    return 1;
  }
  return 0;
}

void writePieceValues(std::FILE* out) {
  std::fprintf(out, "\nwhite pawn: %d", pieceValue[1]);
  std::fprintf(out, "\nwhite knight: %d", pieceValue[2]);
  std::fprintf(out, "\nwhite bishop: %d", pieceValue[3]);
  std::fprintf(out, "\nwhite rook: %d", pieceValue[4]);
  std::fprintf(out, "\nwhite queen: %d", pieceValue[5]);
  std::fprintf(out, "\nblack queen: %d", -pieceValue[-5]);
  std::fprintf(out, "\nblack rook: %d", -pieceValue[-4]);
  std::fprintf(out, "\nblack bishop: %d", -pieceValue[-3]);
  std::fprintf(out, "\nblack knight: %d", -pieceValue[-2]);
  std::fprintf(out, "\nblack pawn: %d", -pieceValue[-1]);
}

void logReceived(std::string_view line, bool endLine) {
  if (!logFile) return;
  std::fprintf(logFile, ">>> RECEIVED FROM GUI >>> ");
  std::fwrite(line.data(), 1, line.size(), logFile);
  if (endLine) std::fprintf(logFile, "\n");
  std::fflush(logFile);
}

bool openLog() {
  if (settings.logFileName[0] == '\0') return false;
  logFile = std::fopen(settings.logFileName, "w");
  if (!logFile) return false;
  std::time_t now = std::time(nullptr);
  char date[64] = "unknown\n";
  if (const std::tm* t = std::localtime(&now)) std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S\n", t);
  std::fprintf(logFile, "date: %s", date);
  std::fprintf(logFile, "mavo\n");
  std::fprintf(logFile, "kestrano\n");
  // Not kVersion: the log's header has its own text, and readers of the
  // log may match it.
  std::fprintf(logFile, "version: 0.360");
  std::fprintf(logFile, "\nvalues read from file: Mavo.cfg");
  std::fprintf(logFile, "\nnullmove set to depth: %d", settings.nullMoveReduction);
  std::fprintf(logFile, "\nhashsize: %d [not yet implemented]", settings.hashSize);
  std::fprintf(logFile, "\nown book: %d [not yet implemented]", settings.ownBook);
  std::fprintf(logFile, "\nuse book to depth: %d [not yet implemented]", settings.bookDepth);
  std::fprintf(logFile, "\npiece values: ");
  writePieceValues(logFile);
  std::fflush(logFile);
  return true;
}

}  // namespace mavo
