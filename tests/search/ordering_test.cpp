#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "search/ordering.h"

namespace mavo::test {
namespace {

// The Shell sort the searches' order was defined by, on whole moves: it is
// not stable, so equal scores end up in an order of its own.
void referenceShellSort(Move* moves, int count) {
  for (int gap = count / 2; gap > 0; gap /= 2)
    for (int i = gap; i < count; ++i)
      for (int j = i - gap; j >= 0 && moves[j].score > moves[j + gap].score; j -= gap)
        std::swap(moves[j], moves[j + gap]);
}

// Lists of every length with few distinct scores (many ties, sometimes a
// unique best) and with spread scores; each move's `from` names its place.
std::vector<std::vector<Move>> randomLists() {
  std::mt19937 random(20240523);
  std::vector<std::vector<Move>> lists;
  for (int count = 1; count <= kMaxMoves; count += count < 40 ? 1 : 7)
    for (int spread : {2, 5, 2000}) {
      std::vector<Move> list(count);
      for (int i = 0; i < count; ++i) {
        list[i].from = i;
        list[i].score = static_cast<int>(random() % spread) - spread / 2;
      }
      lists.push_back(list);
    }
  return lists;
}

TEST(Ordering, SortsExactlyAsTheShellSortWithTies) {
  for (const auto& list : randomLists()) {
    const int n = static_cast<int>(list.size());
    std::vector<Move> expected = list, sorted = list;
    referenceShellSort(expected.data(), n);
    sortMoves(sorted.data(), n);
    for (int i = 0; i < n; ++i) ASSERT_EQ(sorted[i].from, expected[i].from) << "length " << n << " place " << i;

    SortedList order;
    sortOrder(list.data(), n, order);
    for (int i = 0; i < n; ++i) ASSERT_EQ(order[i].index, expected[i].from) << "length " << n << " place " << i;
  }
}

// Walked from the end, in full or stopped after the first move, the visit
// order is the sort's, whether the best score is unique or tied.
TEST(Ordering, VisitOrderWalksTheSortedListFromItsEnd) {
  for (const auto& list : randomLists()) {
    const int n = static_cast<int>(list.size());
    std::vector<Move> expected = list;
    referenceShellSort(expected.data(), n);
    VisitOrder firstOnly(list.data(), n);
    ASSERT_EQ(firstOnly[n - 1], expected[n - 1].from) << "length " << n;
    VisitOrder all(list.data(), n);
    for (int i = n - 1; i >= 0; --i) ASSERT_EQ(all[i], expected[i].from) << "length " << n << " place " << i;
  }
  VisitOrder unsorted(5);
  for (int i = 4; i >= 0; --i) EXPECT_EQ(unsorted[i], i);
}

}  // namespace
}  // namespace mavo::test
