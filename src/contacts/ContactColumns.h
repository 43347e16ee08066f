#pragma once

#include "contacts/DataSetModel.h"

#include <QList>

// The columns of the main window's contact grid, in grid order (ID and ClassID hidden).
QList<DataSetModel::Column> contactGridColumns();
// The category grids: ID hidden, then TitleName under the given title.
QList<DataSetModel::Column> categoryGridColumns(const QString &title, int width);
