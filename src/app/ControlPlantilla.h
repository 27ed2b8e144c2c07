#pragma once

#include <QDialog>

#include <filesystem>
#include <memory>

class QLabel;
class QPushButton;
class QToolButton;

namespace conv
{
class Table;
}

namespace conv::app
{

class DataGrid;
class GradientPanel;

/// The record navigator: ten buttons that move through, edit, post, cancel and refresh the
/// records of a grid's table.
class RecordNavigator : public QWidget
{
    Q_OBJECT
public:
    enum Button
    {
        First,
        PriorTen,
        Prior,
        Next,
        NextTen,
        Last,
        Edit,
        Post,
        Cancel,
        Refresh,
        kButtons
    };
    explicit RecordNavigator(DataGrid* grid, QWidget* parent = nullptr);
    QToolButton* button(Button which) const
    {
        return m_buttons[which];
    }
    /// The hint of each button, in order.
    static QString hint(Button which);

signals:
    void failed(const QString& message);

private:
    void press(Button which);

    DataGrid* m_grid;
    QToolButton* m_buttons[kButtons];
};

/// The dialog "Control de Plantilla Horaria": the period template PLANTILLA in a grid, for the
/// user to check the start time of every period before the timetable export.
class TControlPlantilla : public QDialog
{
    Q_OBJECT
public:
    /// `workFolder` holds PLANTILLA.DBF; the table handle stays closed until the grid is entered.
    explicit TControlPlantilla(const std::filesystem::path& workFolder, QWidget* owner = nullptr);
    ~TControlPlantilla() override;

    void PlantiHorDBGridEnter();
    void PlantiHorDBGridExit();
    void BitBtn1Click();

    GradientPanel* Draw3D1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    DataGrid* PlantiHorDBGrid;
    RecordNavigator* wwDBNavigator1;
    QPushButton* BitBtn2;
    /// Null once released by "Aceptar".
    Table* wwTablePlantilla() const
    {
        return m_table.get();
    }

/// The dialog's help context: F1 anywhere in it asks for this topic.
    static constexpr int kHelpContext = 1;

signals:
    void failed(const QString& message);
    /// F1 in the dialog: the owner shows the topic of `context`.
    void helpRequested(int context);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void guarded(const std::function<void()>& handler);

    std::unique_ptr<Table> m_table;
};

} // namespace conv::app
