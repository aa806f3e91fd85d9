#include "position/tables.h"

#include <cstring>

namespace mavo {

int32_t pieceValueStore[15];
int32_t pieceSquareStore[15][kBoardCells];
int32_t orderingSquareStore[15][kBoardCells];

void loadPieceSquareTables() {
  std::memcpy(pieceSquareStore, kOpeningSquare.v, sizeof pieceSquareStore);
  std::memcpy(orderingSquareStore, kOpeningSquare.v, sizeof orderingSquareStore);
}

}  // namespace mavo
