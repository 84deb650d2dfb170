#pragma once

#include <cstddef>

class QMenu;

namespace vorlane {

// How many rows of `rowHeight` pixels one column of a menu holds in `availableHeight` pixels:
// at least one, so that a menu on a screen too small for any row still offers its first.
std::size_t rowsThatFit(int rowHeight, int availableHeight);

// How many rows a submenu of `menu` holds in one column of the area panels leave free on the
// screen `menu` opens on, its frame taken off. Qt lays a taller menu out in columns, as wide
// as the screen with a long list. Without a screen, no bound.
std::size_t submenuColumnRows(const QMenu& menu);

}  // namespace vorlane
