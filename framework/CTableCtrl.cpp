#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableWidget>
#include <algorithm>

#include "framework/Controls.h"
#include "framework/TextCodec.h"

namespace {

QTableWidget* Table(const CWnd& wnd) {
    return qobject_cast<QTableWidget*>(wnd.GetSafeHwnd());
}

bool HasCell(const QTableWidget* table, int row, int column) {
    return table != nullptr && row >= 0 && row < table->rowCount() && column >= 0 &&
           column < table->columnCount();
}

} // namespace

void CTableCtrl::SetSize(int rows, int columns) {
    QTableWidget* table = Table(*this);
    if (table == nullptr)
        return;
    const QSignalBlocker quiet(table);
    const int row = table->currentRow();
    const int column = table->currentColumn();
    table->clear();
    table->setRowCount(std::max(rows, 0));
    table->setColumnCount(std::max(columns, 0));
    if (HasCell(table, std::max(row, 0), column))
        table->setCurrentCell(std::max(row, 0), column);
}

int CTableCtrl::GetRowCount() const {
    const QTableWidget* table = Table(*this);
    return table ? table->rowCount() : 0;
}

int CTableCtrl::GetColumnCount() const {
    const QTableWidget* table = Table(*this);
    return table ? table->columnCount() : 0;
}

void CTableCtrl::SetColumnHeading(int column, const char* text) {
    QTableWidget* table = Table(*this);
    if (table != nullptr && column >= 0 && column < table->columnCount())
        table->setHorizontalHeaderItem(column, new QTableWidgetItem(ToQString(text ? text : "")));
}

void CTableCtrl::SetRowHeading(int row, const char* text) {
    QTableWidget* table = Table(*this);
    if (table != nullptr && row >= 0 && row < table->rowCount())
        table->setVerticalHeaderItem(row, new QTableWidgetItem(ToQString(text ? text : "")));
}

void CTableCtrl::SetCell(int row, int column, const char* text) {
    QTableWidget* table = Table(*this);
    if (HasCell(table, row, column)) {
        const QSignalBlocker quiet(table);
        table->setItem(row, column, new QTableWidgetItem(ToQString(text ? text : "")));
    }
}

void CTableCtrl::FitColumns() {
    QTableWidget* table = Table(*this);
    if (table == nullptr)
        return;
    table->resizeColumnsToContents();
    const int widest = std::max(table->viewport()->width() / 2, 1);
    for (int column = 0; column < table->columnCount(); ++column)
        table->setColumnWidth(column, std::min(table->columnWidth(column), widest));
}

int CTableCtrl::GetCurColumn() const {
    const QTableWidget* table = Table(*this);
    return table && table->currentItem() != nullptr ? table->currentColumn() : -1;
}

void CTableCtrl::SetCurColumn(int column) {
    QTableWidget* table = Table(*this);
    if (!HasCell(table, std::max(table ? table->currentRow() : 0, 0), column))
        return;
    const QSignalBlocker quiet(table);
    table->setCurrentCell(std::max(table->currentRow(), 0), column);
}
