#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QTableView>

#include <functional>
#include <string>
#include <vector>

namespace conv
{
class Table;
}

namespace conv::app
{

/// One column of a data grid: the field it shows, its width in characters and its title.
struct GridColumn
{
    const char* field;
    int widthChars;
    QString title;
    bool editable;
};

/// What the grid allows from the keyboard and how it looks.
struct GridOptions
{
    int fixedColumns = 0;     ///< leading columns that cannot be focused, edited or scrolled
    bool allowInsert = false; ///< Insert key (and moving down past the last row) appends
    bool allowDelete = false; ///< Ctrl+Delete deletes the current record
    QColor cellColor;         ///< background of the cells
    QColor alternateColor;    ///< every other row, when valid
    QColor titleColor{255, 251, 240};
    QColor titleTextColor{Qt::blue};
    bool enterMovesToNextCell = false; ///< Enter moves on, also when it ends an edit
    bool stretchLastColumn = false;    ///< the last column takes the width left over
    int titleLines = 1;
};

/// Shows a table handle in a grid. The handle's current record follows the grid's current
/// row; an edited record stays in edit state until the current row moves, the grid loses the
/// focus, or its owner posts it, as with a data-aware grid. Rows are read once per reload.
class TableGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TableGridModel(std::vector<GridColumn> columns, QObject* parent = nullptr);

    /// Shows `table` (open, or nullptr for an empty grid) and reads its rows.
    void setTable(Table* table);
    Table* table() const
    {
        return m_table;
    }
    /// Reads every row again from the handle (after the core changed the table).
    void reload();
    /// Makes row `row` the handle's current record, posting a pending edit first.
    void moveTo(int row);
    /// The row of the handle's current record.
    int currentRow() const
    {
        return m_current;
    }
    /// Appends a new record in insert state as the last row.
    void appendRow();
    /// Starts editing the current record; on an empty table the new blank record it starts
    /// becomes the grid's one row.
    void edit();
    /// Posts a pending edit or insert of the current record.
    void post();
    /// Deletes the current record (a new one not yet posted is only dropped); the row that
    /// takes its place, or the one before when it was the last, becomes current.
    void deleteCurrent();

    /// Called for the background of each cell: gets the field name and the colour the grid
    /// would paint, gives the colour to paint.
    std::function<QColor(const QString& field, const QColor& brush)> calcCellColors;
    QColor cellColor;
    QColor alternateColor;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const std::vector<GridColumn>& columns() const
    {
        return m_columns;
    }
    /// Leading columns that can be neither edited nor marked.
    int fixedColumns = 0;

signals:
    /// Writing a typed value failed (e.g. text in a number field).
    void failed(const QString& message);

private:
    void readRow(int row);

    std::vector<GridColumn> m_columns;
    Table* m_table = nullptr;
    std::vector<std::vector<std::string>> m_rows; // field texts in the converter's code page
    int m_current = -1;
    bool m_modified = false; ///< the pending record was typed into
};

/// The data grid: a table view over a TableGridModel with the grid options above.
class DataGrid : public QTableView
{
    Q_OBJECT
public:
    DataGrid(std::vector<GridColumn> columns, GridOptions options, QWidget* parent = nullptr);

    TableGridModel* gridModel() const
    {
        return m_model;
    }
    /// Shows `table` and sets the column widths.
    void setTable(Table* table);
    /// Deletes the record of the row the grid marks, and keeps the column.
    void deleteCurrentRow();
    /// Marks the first row at the first column that takes the focus.
    void markFirstCell();

signals:
    /// The grid received the keyboard focus (its Enter handler).
    void entered();
    /// The grid lost the keyboard focus (its Exit handler).
    void exited();
    /// Ctrl+Delete on a grid that allows deleting, with a current row; the owner confirms
    /// and calls deleteCurrentRow().
    void deleteRequested();
    /// A handler of the grid failed; the window shows the error box.
    void failed(const QString& message);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void watchFocus(QWidget* old, QWidget* now);
    void guarded(const std::function<void()>& action);
    void applyWidths();
    /// Makes the handle stand on the row the grid marks.
    void followMarkedRow();
    void moveToNextCell();

    TableGridModel* m_model;
    GridOptions m_options;
    bool m_focusInside = false;
};

} // namespace conv::app
