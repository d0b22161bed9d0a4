// Lists that a screen reader chooses in as the keyboard does.
#pragma once

class QAbstractItemView;

namespace platform {

// A screen reader selects an item of a list (a drop-down list's popup too) without making it
// current, yet Enter and the arrow keys go on from the current one: the current item follows the
// selection, so that Enter chooses the item the user hears and sees selected.
void keepSelectedItemCurrent(QAbstractItemView& list);

} // namespace platform
