#include "app/DataGrid.h"

#include "app/AnsiText.h"
#include "tables/Table.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>

namespace conv::app
{

TableGridModel::TableGridModel(std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_columns(std::move(columns))
{
}

void TableGridModel::setTable(Table* table)
{
    m_table = table;
    m_current = -1;
    reload();
}

void TableGridModel::reload()
{
    beginResetModel();
    m_modified = false;
    m_rows.clear();
    if (m_table && m_table->isOpen() && !m_table->editing()) {
        for (m_table->first(); !m_table->eof(); m_table->next()) {
            std::vector<std::string> row;
            for (const GridColumn& c : m_columns)
                row.push_back(m_table->fieldByName(c.field).asString());
            m_rows.push_back(std::move(row));
        }
        // The handle's current record follows the grid's current row (the first after a reload).
        const int count = static_cast<int>(m_rows.size());
        m_current = count == 0 ? -1 : qBound(0, m_current, count - 1);
        m_table->first();
        for (int i = 0; i < m_current; ++i)
            m_table->next();
    } else if (m_table && m_table->isOpen() && m_table->inserting()) {
        m_current = 0; // a new blank record on an empty table
    }
    endResetModel();
}

void TableGridModel::readRow(int row)
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return;
    for (std::size_t c = 0; c < m_columns.size(); ++c)
        m_rows[static_cast<std::size_t>(row)][c] = m_table->fieldByName(m_columns[c].field).asString();
}

void TableGridModel::post()
{
    if (!m_table || !m_table->isOpen() || !m_table->editing())
        return;
    const bool wasInsert = m_table->inserting();
    m_table->post();
    m_modified = false;
    if (wasInsert) {
        reload(); // the new record takes its place in the table's order
        return;
    }
    readRow(m_current);
    emit dataChanged(index(m_current, 0), index(m_current, columnCount() - 1));
}

void TableGridModel::moveTo(int row)
{
    if (!m_table || !m_table->isOpen() || row == m_current || row < 0)
        return;
    if (m_table->editing()) {
        if (m_table->inserting() && row >= static_cast<int>(m_rows.size()))
            return;
        if (m_modified) {
            post();
        } else {
            // Leaving a record nobody typed into drops it, as a data-aware grid does: a new
            // blank record is not written.
            const bool wasInsert = m_table->inserting();
            m_table->cancel();
            if (wasInsert) {
                const int at = static_cast<int>(m_rows.size());
                beginRemoveRows({}, at, at);
                endRemoveRows();
            }
        }
    }
    if (row >= static_cast<int>(m_rows.size()))
        return;
    m_table->first();
    for (int i = 0; i < row; ++i)
        m_table->next();
    m_current = row;
}

void TableGridModel::appendRow()
{
    if (!m_table || !m_table->isOpen())
        return;
    post();
    const int at = static_cast<int>(m_rows.size());
    beginInsertRows({}, at, at);
    m_table->append();
    m_modified = false;
    m_current = at;
    endInsertRows();
}

void TableGridModel::deleteCurrent()
{
    if (!m_table || !m_table->isOpen() || m_current < 0)
        return;
    if (m_table->inserting())
        m_table->cancel();
    else
        m_table->deleteRecord();
    reload(); // the handle's current record and the grid's row agree again
}

void TableGridModel::edit()
{
    if (!m_table || !m_table->isOpen() || m_table->editing())
        return;
    if (!m_rows.empty()) {
        m_table->edit();
        return;
    }
    beginInsertRows({}, 0, 0);
    m_table->edit();
    m_modified = false;
    m_current = 0;
    endInsertRows();
}

int TableGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    const bool pendingNew = m_table && m_table->isOpen() && m_table->inserting();
    return static_cast<int>(m_rows.size()) + (pendingNew ? 1 : 0);
}

int TableGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant TableGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const GridColumn& column = m_columns[static_cast<std::size_t>(index.column())];
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        const bool live = index.row() == m_current && m_table && m_table->isOpen() && m_table->editing();
        if (live)
            return fromAnsi(m_table->fieldByName(column.field).asString());
        if (index.row() < static_cast<int>(m_rows.size()))
            return fromAnsi(m_rows[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())]);
        return QString();
    }
    if (role == Qt::BackgroundRole) {
        QColor brush = (alternateColor.isValid() && index.row() % 2 == 1) ? alternateColor : cellColor;
        if (calcCellColors)
            brush = calcCellColors(QString::fromLatin1(column.field), brush);
        return brush.isValid() ? QVariant(brush) : QVariant();
    }
    return {};
}

bool TableGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !m_table || !m_table->isOpen())
        return false;
    // Called from the view's editor: an error must not cross the event loop.
    try {
        moveTo(index.row());
        if (!m_table->editing())
            m_table->edit();
        m_table->fieldByName(m_columns[static_cast<std::size_t>(index.column())].field)
            .setString(toAnsi(value.toString()));
        m_modified = true;
    } catch (const std::exception& e) {
        emit failed(fromAnsi(e.what()));
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

QVariant TableGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[static_cast<std::size_t>(section)].title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags TableGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.column() < fixedColumns)
        return Qt::ItemIsEnabled;
    // Read-only cells can still be marked: the grid shows which record is current.
    if (!m_columns[static_cast<std::size_t>(index.column())].editable)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

DataGrid::DataGrid(std::vector<GridColumn> columns, GridOptions options, QWidget* parent)
    : QTableView(parent)
    , m_model(new TableGridModel(std::move(columns), this))
    , m_options(std::move(options))
{
    m_model->cellColor = m_options.cellColor;
    m_model->fixedColumns = m_options.fixedColumns;
    m_model->alternateColor = m_options.alternateColor;
    setModel(m_model);
    connect(m_model, &TableGridModel::failed, this, &DataGrid::failed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setStretchLastSection(m_options.stretchLastColumn);
    horizontalHeader()->setFixedHeight(m_options.titleLines * (fontMetrics().height() + 2) + 4);
    horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: %1; color: %2; "
                                                     "font-weight: bold; padding-left: 2px; border: 1px solid gray; "
                                                     "border-top: 0px; border-left: 0px; } QHeaderView { background-color: %1; }")
                                          .arg(m_options.titleColor.name(), m_options.titleTextColor.name()));
    QPalette p = palette();
    if (m_options.cellColor.isValid())
        p.setColor(QPalette::Base, m_options.cellColor);
    // The current record in maroon blended with the cell colour.
    const QColor base = m_options.cellColor.isValid() ? m_options.cellColor : p.color(QPalette::Base);
    const QColor maroon(128, 0, 0);
    p.setColor(QPalette::Highlight,
               QColor((maroon.red() + base.red()) / 2, (maroon.green() + base.green()) / 2,
                      (maroon.blue() + base.blue()) / 2));
    p.setColor(QPalette::HighlightedText, Qt::white);
    setPalette(p);
    applyWidths();
    connect(qApp, &QApplication::focusChanged, this, &DataGrid::watchFocus);
}

void DataGrid::setTable(Table* table)
{
    guarded([&] { m_model->setTable(table); });
    applyWidths();
    const int row = m_model->currentRow();
    if (row >= 0)
        QTableView::setCurrentIndex(m_model->index(row, m_options.fixedColumns));
}

void DataGrid::deleteCurrentRow()
{
    const int column = qMax(currentIndex().column(), m_options.fixedColumns);
    // The record deleted is the one the grid marks, whatever moved the mark there.
    followMarkedRow();
    if (currentIndex().isValid() && m_model->currentRow() != currentIndex().row())
        return; // the handle could not follow (its error is shown): delete nothing rather than another record
    guarded([&] { m_model->deleteCurrent(); });
    const int row = m_model->currentRow();
    if (row >= 0)
        QTableView::setCurrentIndex(m_model->index(row, column));
}

void DataGrid::markFirstCell()
{
    if (m_model->rowCount() > 0)
        setCurrentIndex(m_model->index(0, m_options.fixedColumns));
}

void DataGrid::followMarkedRow()
{
    const QModelIndex at = currentIndex();
    if (at.isValid() && at.row() != m_model->currentRow())
        guarded([&] { m_model->moveTo(at.row()); });
}

void DataGrid::applyWidths()
{
    const QFontMetrics fm(font());
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics titleFm(bold);
    const auto& cols = m_model->columns();
    // A stretched last column takes the width left, whatever its own.
    const std::size_t fixed = m_options.stretchLastColumn && !cols.empty() ? cols.size() - 1 : cols.size();
    for (std::size_t i = 0; i < fixed; ++i) {
        const int byChars = cols[i].widthChars * fm.averageCharWidth() + 6;
        const int byTitle = titleFm.horizontalAdvance(cols[i].title) + 8;
        setColumnWidth(static_cast<int>(i), qMax(byChars, byTitle));
    }
}

void DataGrid::guarded(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        emit failed(fromAnsi(e.what()));
    }
}

void DataGrid::keyPressEvent(QKeyEvent* event)
{
    const bool lastRow = currentIndex().row() == m_model->rowCount() - 1;
    const auto appendRow = [this] {
        guarded([this] {
            m_model->appendRow();
            setCurrentIndex(m_model->index(m_model->rowCount() - 1, m_options.fixedColumns));
        });
    };
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        if (m_options.allowInsert)
            appendRow();
        return;
    }
    if (event->key() == Qt::Key_Down && lastRow && m_options.allowInsert && state() != EditingState) {
        appendRow();
        return;
    }
    if (event->key() == Qt::Key_Delete && (event->modifiers() & Qt::ControlModifier)) {
        if (m_options.allowDelete && m_model->rowCount() > 0)
            emit deleteRequested();
        return;
    }
    if (m_options.enterMovesToNextCell && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        state() != EditingState) {
        moveToNextCell();
        return;
    }
    // Enter opens the current cell's editor, as in a classic grid.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
        if (currentIndex().isValid() && (m_model->flags(currentIndex()) & Qt::ItemIsEditable)) {
            edit(currentIndex());
            return;
        }
        event->ignore(); // a grid with nothing to edit leaves Enter to the window's default button
        return;
    }
    // Left of the fixed columns there is nowhere to go.
    if (event->key() == Qt::Key_Left && currentIndex().column() <= m_options.fixedColumns)
        return;
    QTableView::keyPressEvent(event);
}

void DataGrid::watchFocus(QWidget*, QWidget* now)
{
    // The grid's own cell editor counts as the grid. A window losing the activation (focus to
    // nothing, or to another window such as a message box) is no exit, and getting it back is
    // no new entry.
    if (!now || now->window() != window())
        return;
    const bool isIn = now == this || isAncestorOf(now);
    if (isIn && !m_focusInside) {
        m_focusInside = true;
        emit entered();
    } else if (!isIn && m_focusInside) {
        m_focusInside = false;
        emit exited();
    }
}

void DataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid() && current.column() < m_options.fixedColumns) {
        // A click on a fixed column, or Tab wrapping onto one, marks the first column that
        // takes the focus on that row; the handle follows below, in the nested call.
        setCurrentIndex(m_model->index(current.row(), m_options.fixedColumns));
        return;
    }
    // Compared with the handle's record, not the previous cell: the mark may have come through
    // a fixed column of another row.
    followMarkedRow();
}

void DataGrid::moveToNextCell()
{
    const QModelIndex at = currentIndex();
    if (!at.isValid())
        return;
    if (at.column() + 1 < m_model->columnCount())
        setCurrentIndex(m_model->index(at.row(), at.column() + 1));
    else if (at.row() + 1 < m_model->rowCount())
        setCurrentIndex(m_model->index(at.row() + 1, m_options.fixedColumns));
}

void DataGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Enter in an editor submits it; where the grid moves on Enter, it moves on from there too.
    const bool enter = hint == QAbstractItemDelegate::SubmitModelCache;
    QTableView::closeEditor(editor, enter && m_options.enterMovesToNextCell ? QAbstractItemDelegate::NoHint : hint);
    if (enter && m_options.enterMovesToNextCell)
        moveToNextCell();
}

} // namespace conv::app
