#include "app/ControlPlantilla.h"
#include "app/DataGrid.h"
#include "app/GradientPanel.h"
#include "app/ListDialog.h"
#include "app/Translation.h"
#include "support/LongList.h"
#include "support/TableDump.h"
#include "support/Template.h"
#include "tables/Layouts.h"
#include "tables/Table.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QTableView>
#include <QLabel>
#include <QSignalSpy>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

Q_DECLARE_METATYPE(conv::lang::Language)

using namespace conv::app;

namespace
{

/// The template rows as "HORA HORAINI", in record order.
QStringList templateRows(const std::filesystem::path& folder)
{
    QStringList rows;
    for (const std::string& row : conv::test::dumpTable(folder, "PLANTILLA.DBF", {"HORA", "HORAINI"}, "", " "))
        rows << QString::fromStdString(row);
    return rows;
}

} // namespace

class DialogTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;
    std::filesystem::path work() const
    {
        return m_work.path().toStdString();
    }

private slots:
    void init()
    {
        conv::test::writeTemplate(work(), 12, true);
    }

    void layout()
    {
        TControlPlantilla d(work());
        QCOMPARE(d.windowTitle(), QStringLiteral("Control de Plantilla Horaria"));
        QCOMPARE(d.size(), QSize(595, 310));
        QCOMPARE(d.Draw3D1->geometry(), QRect(8, 8, 577, 289));
        QCOMPARE(d.PlantiHorDBGrid->geometry(), QRect(65, 25, 205, 225));
        QCOMPARE(d.wwDBNavigator1->geometry(), QRect(30, 257, 275, 24));
        QCOMPARE(d.BitBtn2->geometry(), QRect(477, 257, 89, 25));
        QCOMPARE(d.BitBtn2->text(), QStringLiteral("Aceptar"));
        QCOMPARE(d.Label1->pos(), QPoint(3, 3));
        QCOMPARE(d.Label1->text(), QStringLiteral("COMPROBACIÓN DE LA PLANTILLA HORARIA DEL CENTRO"));
        QCOMPARE(d.Label3->text(), QStringLiteral("PLANTILLA HORARIA DEL CENTRO"));
        QCOMPARE(d.Label2->geometry(), QRect(344, 99, 210, 52));
        auto* model = d.PlantiHorDBGrid->gridModel();
        QCOMPARE(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("HORA"));
        QCOMPARE(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("HORA INICIO CLASE"));
        const QStringList hints = {"Move to first record",          "Move backward 10 records",
                                   "Move to prior record",          "Move to next record",
                                   "Move forward 10 records",       "Move to last record",
                                   "Edit current record",           "Post changes of current record",
                                   "Cancel changes made to current record", "Refresh the contents of the dataset"};
        for (int i = 0; i < RecordNavigator::kButtons; ++i)
            QCOMPARE(d.wwDBNavigator1->button(RecordNavigator::Button(i))->toolTip(), hints[i]);
        QVERIFY(!d.wwTablePlantilla()->isOpen()); // closed until the grid is entered
    }

    void editPostedOnRowChangeAndAceptar()
    {
        TControlPlantilla d(work());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        // The grid takes the focus: the table opens and its first record goes into edit state.
        QTRY_VERIFY(d.wwTablePlantilla()->isOpen());
        QVERIFY(d.wwTablePlantilla()->editing());
        auto* model = d.PlantiHorDBGrid->gridModel();
        QCOMPARE(model->rowCount(), 12);
        QVERIFY(model->setData(model->index(0, 1), QStringLiteral("08:30"), Qt::EditRole));
        // Moving to another row writes the change.
        d.wwDBNavigator1->button(RecordNavigator::Next)->click();
        QCOMPARE(model->currentRow(), 1);
        d.wwDBNavigator1->button(RecordNavigator::NextTen)->click();
        QCOMPARE(model->currentRow(), 11);
        d.wwDBNavigator1->button(RecordNavigator::PriorTen)->click();
        QCOMPARE(model->currentRow(), 1);
        QVERIFY(model->setData(model->index(1, 1), QStringLiteral("09:05"), Qt::EditRole));
        // "Aceptar" takes the focus from the grid, which posts; then the table is released.
        QTest::mouseClick(d.BitBtn2, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(!d.wwTablePlantilla());
        const QStringList rows = templateRows(work());
        QCOMPARE(rows.value(0), QStringLiteral("1 08:30"));
        QCOMPARE(rows.value(1), QStringLiteral("2 09:05"));
        QCOMPARE(rows.value(2), QStringLiteral("3 10:00"));
    }

    void enterEndsAnEditAndMovesOn()
    {
        TControlPlantilla d(work());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        auto* grid = d.PlantiHorDBGrid;
        QTRY_VERIFY(d.wwTablePlantilla()->isOpen());
        grid->setCurrentIndex(grid->model()->index(0, 1));
        QTest::keyClick(grid, '0');
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor && editor != grid);
        QTest::keyClicks(editor, QStringLiteral("8:45"));
        QTest::keyClick(editor, Qt::Key_Return); // one Enter: written, and on to the next cell
        QTRY_COMPARE(grid->currentIndex(), grid->model()->index(1, 0));
        QCOMPARE(grid->model()->data(grid->model()->index(0, 1)).toString(), QStringLiteral("08:45"));
        QTest::keyClick(grid, Qt::Key_Return); // not editing: on again
        QCOMPARE(grid->currentIndex(), grid->model()->index(1, 1));
    }

    void f1AsksForTheDialogsHelpTopic()
    {
        TControlPlantilla d(work());
        QSignalSpy help(&d, &TControlPlantilla::helpRequested);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QCOMPARE(help.count(), 1);
        QCOMPARE(help.at(0).at(0).toInt(), 1);
    }

    void cancelDropsThePendingChange()
    {
        TControlPlantilla d(work());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QTRY_VERIFY(d.wwTablePlantilla()->isOpen());
        auto* model = d.PlantiHorDBGrid->gridModel();
        QVERIFY(model->setData(model->index(0, 1), QStringLiteral("07:45"), Qt::EditRole));
        d.wwDBNavigator1->button(RecordNavigator::Cancel)->click();
        QCOMPARE(model->data(model->index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("08:00"));
        d.wwDBNavigator1->button(RecordNavigator::Last)->click();
        QCOMPARE(model->currentRow(), 11);
        QTest::mouseClick(d.BitBtn2, Qt::LeftButton);
        QCOMPARE(templateRows(work()).value(0), QStringLiteral("1 08:00"));
    }

    void notANumberInHoraIsAnError()
    {
        TControlPlantilla d(work());
        QStringList errors;
        connect(&d, &TControlPlantilla::failed, this, [&](const QString& m) { errors << m; });
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QTRY_VERIFY(d.wwTablePlantilla()->isOpen());
        auto* model = d.PlantiHorDBGrid->gridModel();
        QVERIFY(!model->setData(model->index(0, 0), QStringLiteral("x"), Qt::EditRole));
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].startsWith(QStringLiteral("'x'")), qPrintable(errors[0]));
    }

    void longListInEitherLanguage_data()
    {
        QTest::addColumn<conv::lang::Language>("language");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("reason");
        QTest::newRow("es") << conv::lang::Language::Spanish << QStringLiteral("Clases que no se han exportado")
                            << QStringLiteral("día fuera de 1 a 7");
        QTest::newRow("gl") << conv::lang::Language::Galician << QStringLiteral("Clases que non se exportaron")
                            << QStringLiteral("día fóra de 1 a 7");
    }

    /// The list of an export that passed over 10,000 classes, every cell in the window's language
    /// and the codes as they are. (bench_list times it.)
    void longListInEitherLanguage()
    {
        QFETCH(conv::lang::Language, language);
        QFETCH(QString, caption);
        QFETCH(QString, reason);
        QVERIFY(conv::app::useLanguage(language));
        ListDialog dialog(conv::test::passedOverList(10000), ListDialog::Choice::Close);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        conv::app::useLanguage(conv::lang::Language::Spanish);
        QCOMPARE(dialog.windowTitle(), caption);
        QCOMPARE(dialog.view()->model()->rowCount(), 10000);
        QCOMPARE(dialog.view()->model()->index(9999, 0).data().toString(), reason);
        QCOMPARE(dialog.view()->model()->index(9999, 3).data().toString(), QStringLiteral("G9999"));
    }

    /// "Guardar lista…" in Galician: Qt's file dialog speaks it too (the window's catalogue does
    /// not hold Qt's texts).
    void saveDialogInGalician()
    {
        QVERIFY(conv::app::useLanguage(conv::lang::Language::Galician));
        ListDialog dialog(conv::test::passedOverList(1), ListDialog::Choice::Close);
        dialog.show();
        QStringList texts;
        QTimer::singleShot(0, [&texts] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!chooser)
                return;
            for (const auto label : {QFileDialog::LookIn, QFileDialog::FileName, QFileDialog::FileType,
                                     QFileDialog::Accept, QFileDialog::Reject})
                texts << chooser->labelText(label);
            chooser->reject();
        });
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        conv::app::useLanguage(conv::lang::Language::Spanish);
        QCOMPARE(texts, QStringList({QStringLiteral("Buscar en:"), QStringLiteral("&Nome do ficheiro:"),
                                     QStringLiteral("Ficheiros de tipo:"), QStringLiteral("&Gardar"),
                                     QStringLiteral("Cancelar")}));
    }
};

QTEST_MAIN(DialogTest)
#include "DialogTest.moc"
