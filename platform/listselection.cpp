#include "listselection.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace platform {

void keepSelectedItemCurrent(QAbstractItemView& list)
{
    QItemSelectionModel* selection = list.selectionModel();
    QObject::connect(selection, &QItemSelectionModel::selectionChanged, &list, [selection] {
        const QModelIndexList selected = selection->selectedIndexes();
        if (!selected.isEmpty() && selection->currentIndex() != selected.front())
            selection->setCurrentIndex(selected.front(), QItemSelectionModel::NoUpdate);
    });
}

} // namespace platform
