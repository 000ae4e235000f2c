// The rows of the pages' grids: the description counts a grid's header as
// row 0 and its first data row as row 1; a QTableWidget keeps the header
// apart and counts its first data row as 0. Every grid goes through these two.
#pragma once

namespace kdt::gui {

inline int QtRowOf(int gridRow) { return gridRow - 1; }
inline int GridRowOf(int qtRow) { return qtRow + 1; }

}  // namespace kdt::gui
