#pragma once

#include "run/RowList.h"

#include <QAbstractTableModel>
#include <QDialog>

class QPushButton;
class QTableView;

namespace conv::app
{

/// The rows of a list, as a table model: made into text only when shown, so a list of many
/// thousand rows opens at once.
class RowListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit RowListModel(const RowList& list, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const RowList& m_list;
};

/// A list the user looks through before going on: the review of the XADE files before an
/// import ("Volver", and "Continuar" unless a line ends the run) or the classes an export passed
/// over ("Aceptar"). "Guardar lista…" saves it as CSV; "Ayuda" and F1 open its help page.
class ListDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Choice {
        BackOrContinue, ///< "Volver" and "Continuar" (accepted)
        BackOnly,       ///< "Volver" only
        Close,          ///< "Aceptar" only
    };
    ListDialog(RowList list, Choice choice, QWidget* parent = nullptr);

    /// Writes the list to `file` as CSV. False (and failed()) when it cannot.
    bool saveTo(const QString& file);

    QTableView* view() const
    {
        return m_view;
    }
    QPushButton* saveButton() const
    {
        return m_save;
    }

signals:
    void helpRequested(int context);
    /// An error, with its message, for the standard error box.
    void failed(const QString& message);

private:
    void save();

    RowList m_list;  ///< as the core made it: what is saved
    RowList m_shown; ///< in the window's language: what is shown
    RowListModel* m_model;
    QTableView* m_view;
    QPushButton* m_save;
};

} // namespace conv::app
