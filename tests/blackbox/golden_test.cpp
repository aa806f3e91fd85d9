// Scripted sessions with the real binary, compared byte for byte.
//
// Each case is a folder under tests/blackbox/cases/<group>/<name>/ holding
//   input      what is typed or piped to the engine (standard input is
//              closed after it)
//   expected   the whole standard output; "{{*}}" stands for any run of
//              characters within one line (times, node rates)
// and optionally files copied into the engine's empty working directory
// before the run (Mavo.cfg, perftsuite.epd, ...), and expected.<file> for
// files the run must leave there (the first line of a log, its date, is
// not compared).
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/engine_process.h"

namespace mavo::test {
namespace {

namespace fs = std::filesystem;

// Matches text against a pattern whose "{{*}}" markers stand for any
// characters other than a newline.
bool matches(const std::string& pattern, size_t p, const std::string& text, size_t t) {
  static const std::string kWild = "{{*}}";
  while (p < pattern.size()) {
    if (pattern.compare(p, kWild.size(), kWild) == 0) {
      for (size_t k = t;; ++k) {
        if (matches(pattern, p + kWild.size(), text, k)) return true;
        if (k >= text.size() || text[k] == '\n') return false;
      }
    }
    if (t >= text.size() || pattern[p] != text[t]) return false;
    ++p, ++t;
  }
  return t == text.size();
}

// First line where pattern and text part, for a readable failure.
std::string firstDifference(const std::string& pattern, const std::string& text) {
  std::istringstream a(pattern), b(text);
  std::string la, lb;
  for (int line = 1;; ++line) {
    bool ga = static_cast<bool>(std::getline(a, la)), gb = static_cast<bool>(std::getline(b, lb));
    if (!ga && !gb) return "(only line ends differ)";
    if (!ga || !gb || !matches(la, 0, lb, 0))
      return "line " + std::to_string(line) + "\n  expected: " + (ga ? la : "<end>") +
             "\n  actual:   " + (gb ? lb : "<end>");
  }
}

std::string withoutFirstLine(const std::string& s) {
  size_t nl = s.find('\n');
  return nl == std::string::npos ? "" : s.substr(nl + 1);
}

std::vector<std::string> caseNames() {
  std::vector<std::string> names;
  fs::path root = fs::path(MAVO_CASES_DIR);
  if (!fs::exists(root)) return names;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file() && entry.path().filename() == "input")
      names.push_back(fs::relative(entry.path().parent_path(), root).string());
  std::sort(names.begin(), names.end());
  return names;
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, OutputMatches) {
  fs::path dir = fs::path(MAVO_CASES_DIR) / GetParam();
  TempDir work;
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    if (name == "input" || name == "expected" || name.rfind("expected.", 0) == 0) continue;
    fs::copy(entry.path(), work.file(name), fs::copy_options::recursive);
  }
  RunResult r = runEngine(readFile(dir / "input"), work.path(), 60000);
  EXPECT_EQ(r.status, 0);
  std::string expected = readFile(dir / "expected");
  EXPECT_TRUE(matches(expected, 0, r.out, 0)) << firstDifference(expected, r.out);
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    if (name.rfind("expected.", 0) != 0) continue;
    std::string file = name.substr(std::string("expected.").size());
    ASSERT_TRUE(fs::exists(work.file(file))) << file << " was not written";
    std::string want = readFile(entry.path()), got = work.read(file);
    bool isLog = file.size() > 4 && file.substr(file.size() - 4) == ".log";
    if (isLog) want = withoutFirstLine(want), got = withoutFirstLine(got);
    EXPECT_TRUE(matches(want, 0, got, 0)) << file << ": " << firstDifference(want, got);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(caseNames()), [](const auto& param) {
  std::string name = param.param;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
});
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Golden);

}  // namespace
}  // namespace mavo::test
