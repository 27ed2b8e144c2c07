#include "Fakes.h"

#include "app/ControlPlantilla.h"
#include "app/DataGrid.h"
#include "app/FolderChooser.h"
#include "app/GradientPanel.h"
#include "app/ListDialog.h"
#include "app/MainWindow.h"
#include "run/RunState.h"
#include "app/QtPath.h"
#include "standin/StandIn.h"
#include "support/TableDump.h"
#include "tables/Table.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QDateTime>
#include <QFileInfo>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <map>
#include <memory>

using namespace conv::app;
using conv::app::test::FakeParents;
using conv::app::test::ScriptedBoxes;

namespace
{

/// TURNO, NIVEL and CURSO typed for each course of the example school's ordinary call.
struct Codes
{
    const char* codCurso;
    const char* turno;
    const char* nivel;
    const char* curso;
};
const Codes kCodes[] = {
    {"10001", "M", "ESO", "1"},
    {"10002", "M", "ESO", "2"},
    {"10003", "M", "BAC", "1"},
    {"10004", "T", "ES", "O1"},
};

/// The rows of a table as "value value ..." lines, in record order.
QStringList rowsOf(const QString& folder, const char* file, const QStringList& fields)
{
    std::vector<std::string> names;
    for (const QString& f : fields)
        names.push_back(f.toStdString());
    QStringList rows;
    for (const std::string& row : conv::test::dumpTable(folder.toStdString(), file, names, "", " "))
        rows << QString::fromStdString(row);
    return rows;
}

} // namespace

class ImportTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_program;
    QTemporaryDir m_school;
    QTemporaryDir m_work; // the work folder VTEMP
    ScriptedBoxes m_boxes;
    FakeParents m_parents;

    std::unique_ptr<TMForm> start(std::vector<std::string> parameters = {})
    {
        return startActiveWindow(m_school.path(), std::move(parameters), m_program.path(), m_boxes, m_parents);
    }

    /// Types `text` into a cell of the grid as a person does: the first key opens the editor,
    /// Enter ends it.
    static void typeCell(DataGrid* grid, int row, int column, const QString& text)
    {
        grid->setFocus();
        const QModelIndex at = grid->model()->index(row, column);
        grid->setCurrentIndex(at);
        QTest::keyClick(grid, text.at(0).toLatin1());
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor && editor != grid);
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(grid->model()->data(at).toString(), text);
    }

    void toCallScreen(TMForm& w)
    {
        QCOMPARE(w.currentFolder(), QDir(m_school.path()).canonicalPath());
        QTest::mouseClick(w.BExportar, Qt::LeftButton);
        QVERIFY2(w.Panel1->isVisible(), qPrintable(m_boxes.shown.join('\n')));
        QVERIFY(!w.Directorios->isVisible());
        QVERIFY(!w.Unidades->isVisible());
        QVERIFY(!w.BExportar->isEnabled());
        QVERIFY(!w.BImportar->isEnabled());
        QCOMPARE(w.run().Transformado, 1);
        auto* calls = w.wwDBGridCODCENTRO->model();
        QCOMPARE(calls->rowCount(), 2);
        QCOMPARE(calls->data(calls->index(0, 0)).toString(), QStringLiteral("2026ORD"));
        QCOMPARE(calls->data(calls->index(1, 1)).toString(), QStringLiteral("Convocatoria extraordinaria 2026-2027"));
    }

private slots:
    void initTestCase()
    {
        const QDir examples(QStringLiteral(CONV_SOURCE_DIR "/examples/school"));
        for (const QString& f : examples.entryList(QDir::Files))
            QVERIFY(QFile::copy(examples.filePath(f), QDir(m_school.path()).filePath(f)));
        // Without the two room codes too long for their field, "Continuar" finds nothing to
        // review and the flow is the one without the review.
        const QString rooms = QDir(m_school.path()).filePath(QStringLiteral("aulasCentro.csv"));
        QFile f(rooms);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray text = f.readAll();
        f.close();
        text.replace("LABORATORIO1,", "LAB1,").replace("LABORATORIO2,", "LAB2,");
        QVERIFY(f.remove() && f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        qputenv("TRANSXADE_WORK", m_work.path().toLocal8Bit());
    }

    void init()
    {
        QFile::remove(QDir(m_program.path()).filePath(QStringLiteral("Vestrano.ini")));
        for (const QString& f : QDir(m_work.path()).entryList(QDir::Files))
            QFile::remove(QDir(m_work.path()).filePath(f));
    }

    void wholeImportAndExportThroughTheWindow()
    {
        auto w = start();
        toCallScreen(*w);

        // "Continuar" on the ordinary call, the first row.
        QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        QVERIFY(!w->Panel1->isVisible());
        QVERIFY(w->Panel2->isVisible());
        QVERIFY(m_boxes.shown.isEmpty()); // no codes kept from an earlier import: no question
        auto* levels = w->wwDBGridNIVIMP->model();
        QCOMPARE(levels->rowCount(), 4);
        for (int r = 0; r < 4; ++r)
            QCOMPARE(levels->data(levels->index(r, 0)).toString(), QString::fromLatin1(kCodes[r].codCurso));
        QCOMPARE(levels->data(levels->index(0, 1)).toString(), QStringLiteral("1º ESO"));
        // The code and name columns cannot be edited; the others can.
        QCOMPARE(levels->flags(levels->index(0, 0)) & Qt::ItemIsEditable, Qt::NoItemFlags);
        QCOMPARE(levels->flags(levels->index(0, 1)) & Qt::ItemIsEditable, Qt::NoItemFlags);
        QVERIFY(levels->flags(levels->index(0, 3)) & Qt::ItemIsEditable);
        const QColor face = QApplication::palette().color(QPalette::Button);
        QCOMPARE(levels->data(levels->index(1, 0), Qt::BackgroundRole).value<QColor>(), face);
        QCOMPARE(levels->data(levels->index(1, 3), Qt::BackgroundRole).value<QColor>(), QColor(192, 192, 192));
        QCOMPARE(levels->data(levels->index(0, 3), Qt::BackgroundRole).value<QColor>(),
                 QApplication::palette().color(QPalette::ToolTipBase));

        // "Aceptar" with empty codes: the warning, and "Volver a los Datos" back.
        QTest::mouseClick(w->BitBtn2, Qt::LeftButton);
        QVERIFY(w->Label9->isVisible());
        QVERIFY(!w->BitBtn2->isVisible());
        QVERIFY(w->Button2->isVisible());
        QCOMPARE(w->run().ErrorProceso, 1);
        QVERIFY(m_boxes.shown.isEmpty());
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        QVERIFY(!w->Label9->isVisible());
        QVERIFY(w->BitBtn2->isVisible());
        QVERIFY(!w->Button2->isVisible());
        QVERIFY(w->Panel2->isVisible());

        // The codes typed into the grid.
        for (int r = 0; r < 4; ++r) {
            typeCell(w->wwDBGridNIVIMP, r, 2, QString::fromLatin1(kCodes[r].turno));
            typeCell(w->wwDBGridNIVIMP, r, 3, QString::fromLatin1(kCodes[r].nivel));
            typeCell(w->wwDBGridNIVIMP, r, 4, QString::fromLatin1(kCodes[r].curso));
        }
        QTest::mouseClick(w->BitBtn2, Qt::LeftButton);
        QCOMPARE(m_boxes.shown.join('\n'), QStringLiteral("message: Proceso finalizado"));
        QCOMPARE(w->run().ErrorProceso, 0);
        QCOMPARE(w->run().Transformado, 1);
        QVERIFY(!w->Panel2->isVisible());
        QVERIFY(!w->BImportar->isEnabled());
        QVERIFY(!w->BExportar->isEnabled());
        QVERIFY(w->isVisible()); // standalone: the window stays, with help and exit
        QVERIFY(QApplication::overrideCursor() == nullptr);

        // The codes are kept for the next import, and the stages wrote their tables.
        QCOMPARE(rowsOf(m_work.path(), "CURSOST2.DBF", {"CODCURSO", "TURNO", "NIVEL", "CURSO"}),
                 QStringList({"10001 M ESO 1", "10002 M ESO 2", "10003 M BAC 1", "10004 T ES O1"}));
        for (const char* table : {"GRUPOST.DBF", "ASIGNOMT.DBF", "PROFT.DBF", "AULAT.DBF", "ASIGT.DBF"})
            QVERIFY2(!rowsOf(m_work.path(), table, {}).isEmpty(), table);
        QVERIFY(w->close());
        QVERIFY(!QFile::exists(QDir(m_program.path()).filePath(QStringLiteral("Vestrano.ini"))));
        w.reset(); // the program ends: its tables close

        // A second start offers the codes kept; OK fills the grid with them.
        auto again = start({"importar", "1A2B"});
        QVERIFY(!again->Draw3D2->isVisible());
        toCallScreen(*again);
        m_boxes.answers = {true};
        QTest::mouseClick(again->BitBtn1, Qt::LeftButton);
        QCOMPARE(m_boxes.shown.size(), 1);
        QVERIFY(m_boxes.shown[0].startsWith(
            QStringLiteral("question: Recuperación de Niveles y Cursos importados anteriormente | Existen Niveles")));
        auto* kept = again->wwDBGridNIVIMP->model();
        QCOMPARE(kept->data(kept->index(3, 4)).toString(), QStringLiteral("O1"));
        QCOMPARE(kept->data(kept->index(2, 3)).toString(), QStringLiteral("BAC"));
        // Embedded, the finished import closes the window and writes the status.
        QTest::mouseClick(again->BitBtn2, Qt::LeftButton);
        QVERIFY(m_boxes.shown.last() == QStringLiteral("message: Proceso finalizado"));
        QVERIFY(!again->isVisible());
        QFile ini(QDir(m_program.path()).filePath(QStringLiteral("Vestrano.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), QByteArray("[Transformadores]\r\nTransformado=1\r\n"));
        ini.close();
        again.reset();

        // The timetable program plans the timetable; the export goes back through the window.
        conv::standin::makeTimetable(m_work.path().toStdString(), {});
        auto back = start({"importar", "1A2B"}); // only the band of "Transformar datos desde Vestrano hacia XADE"
        QVERIFY(!back->Draw3D2->isVisible());
        QVERIFY(back->Draw3D3->isVisible());
        // In the template dialog the first period is moved to 08:15, then "Aceptar".
        // Two classes the export passes over: one unplaced, one on a day XADE has no name for.
        {
            conv::Table soluc(toPath(m_work.path()), "SOLUC.DBF");
            soluc.open();
            soluc.first();
            for (const int day : {0, 9}) {
                soluc.edit();
                soluc.fieldByName("DIA").setInteger(day);
                soluc.post();
                soluc.next();
            }
            soluc.close();
        }
        int unplaced = 0;
        for (const QString& day : rowsOf(m_work.path(), "SOLUC.DBF", {"DIA"}))
            unplaced += day.toDouble() == 0;
        int listed = -1, badDays = -1;
        m_boxes.onDialog = [&](QDialog& dialog) {
            if (auto* list = qobject_cast<ListDialog*>(&dialog)) {
                listed = badDays = 0;
                for (int r = 0; r < list->view()->model()->rowCount(); ++r) {
                    const QString why = list->view()->model()->index(r, 0).data().toString();
                    listed += why == QStringLiteral("día 0");
                    badDays += why == QStringLiteral("día fuera de 1 a 7");
                }
                return;
            }
            auto& d = static_cast<TControlPlantilla&>(dialog);
            QTRY_VERIFY(d.wwTablePlantilla() && d.wwTablePlantilla()->isOpen());
            auto* model = d.PlantiHorDBGrid->gridModel();
            QVERIFY(model->rowCount() > 0);
            QVERIFY(model->setData(model->index(0, 1), QStringLiteral("08:15"), Qt::EditRole));
            QTest::mouseClick(d.BitBtn2, Qt::LeftButton);
        };
        QTest::mouseClick(back->BImportar, Qt::LeftButton);
        m_boxes.onDialog = nullptr;
        QCOMPARE(listed, unplaced);
        QCOMPARE(badDays, 1);
        QCOMPARE(m_boxes.shown.join('\n'), QStringLiteral("dialog: Control de Plantilla Horaria\n"
                                                          "dialog: Clases que no se han exportado\n"
                                                          "message: Proceso finalizado"));
        QVERIFY(!back->isVisible());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(rowsOf(m_work.path(), "PLANTILLA.DBF", {"HORA", "HORAINI"}).value(0), QStringLiteral("1 08:15"));
        QFile horario(QDir(m_school.path()).filePath(QStringLiteral("HORARIO.CSV")));
        QVERIFY(horario.open(QIODevice::ReadOnly));
        QVERIFY(horario.readAll().contains("08:15"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), QByteArray("[Transformadores]\r\nTransformado=1\r\n"));
    }

    void gridKeyboardRules()
    {
        auto w = start();
        toCallScreen(*w);
        // The call grid: Insert starts a new blank record; leaving it untyped drops it.
        auto* calls = w->wwDBGridCODCENTRO;
        calls->setFocus();
        calls->setCurrentIndex(calls->model()->index(1, 0));
        QTest::keyClick(calls, Qt::Key_Insert);
        QCOMPARE(calls->model()->rowCount(), 3);
        QVERIFY(w->run().table(conv::Handle::wwTableCentro).inserting());
        QTest::keyClick(calls, Qt::Key_Up);
        QCOMPARE(calls->model()->rowCount(), 2);
        QCOMPARE(w->run().table(conv::Handle::wwTableCentro).recordCount(), 2);
        QCOMPARE(calls->gridModel()->currentRow(), 1);
        // Moving down past the last row inserts too.
        QTest::keyClick(calls, Qt::Key_Down);
        QCOMPARE(calls->model()->rowCount(), 3);
        QTest::keyClick(calls, Qt::Key_Up);
        QCOMPARE(calls->model()->rowCount(), 2);

        // The level grid: no inserting; Enter opens the editor instead of pressing "Aceptar".
        calls->setCurrentIndex(calls->model()->index(0, 0));
        QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        QVERIFY(w->Panel2->isVisible());
        auto* levels = w->wwDBGridNIVIMP;
        levels->setFocus();
        QVERIFY(w->run().table(conv::Handle::wwTableNIVIMP).editing()); // wwDBGridNIVIMPEnter
        QCOMPARE(levels->currentIndex().column(), 2);  // the fixed columns take no focus
        levels->setCurrentIndex(levels->model()->index(3, 0));
        QCOMPARE(levels->currentIndex().column(), 2);
        QTest::keyClick(levels, Qt::Key_Insert);
        QTest::keyClick(levels, Qt::Key_Down);
        QCOMPARE(levels->model()->rowCount(), 4);
        QTest::keyClick(levels, Qt::Key_Return);
        QVERIFY(levels->isAncestorOf(QApplication::focusWidget())); // the cell editor has the keys
        QVERIFY(w->BitBtn2->isVisible());
        QVERIFY(!w->Label9->isVisible());
        QVERIFY(m_boxes.shown.isEmpty());
    }

    void ctrlDeleteDeletesAfterConfirmation()
    {
        auto w = start();
        toCallScreen(*w);
        auto* calls = w->wwDBGridCODCENTRO;
        calls->setFocus();
        calls->setCurrentIndex(calls->model()->index(1, 0));
        // Cancel keeps the record; a pending new record is dropped on OK without writing.
        m_boxes.answers = {false};
        QTest::keyClick(calls, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(m_boxes.shown, QStringList{QStringLiteral("question: Confirm | Delete record?")});
        QCOMPARE(calls->model()->rowCount(), 2);
        QTest::keyClick(calls, Qt::Key_Insert);
        m_boxes.answers = {true};
        QTest::keyClick(calls, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(calls->model()->rowCount(), 2);
        QCOMPARE(w->run().table(conv::Handle::wwTableCentro).recordCount(), 2);
        QCOMPARE(calls->currentIndex().row(), 1);

        // The level grid: the deleted course is left out of CURSOST and of what follows.
        calls->setCurrentIndex(calls->model()->index(0, 0));
        QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        QVERIFY(w->Panel2->isVisible());
        auto* levels = w->wwDBGridNIVIMP;
        levels->setFocus();
        levels->setCurrentIndex(levels->model()->index(1, 3));
        m_boxes.shown.clear();
        m_boxes.answers = {true};
        QTest::keyClick(levels, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(m_boxes.shown, QStringList{QStringLiteral("question: Confirm | Delete record?")});
        QCOMPARE(levels->model()->rowCount(), 3);
        QCOMPARE(levels->currentIndex(), levels->model()->index(1, 3)); // the next row takes its place
        QCOMPARE(levels->model()->data(levels->model()->index(1, 0)).toString(), QStringLiteral("10003"));
        QCOMPARE(w->run().table(conv::Handle::wwTableNIVIMP).recordCount(), 3);
        // The last row deleted: the one before becomes current.
        levels->setCurrentIndex(levels->model()->index(2, 3));
        m_boxes.answers = {true};
        QTest::keyClick(levels, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(levels->model()->rowCount(), 2);
        QCOMPARE(levels->currentIndex().row(), 1);
        for (int r = 0; r < 2; ++r) {
            typeCell(levels, r, 3, QStringLiteral("N"));
            typeCell(levels, r, 4, QStringLiteral("1"));
        }
        m_boxes.shown.clear();
        QTest::mouseClick(w->BitBtn2, Qt::LeftButton);
        QCOMPARE(m_boxes.shown.join('\n'), QStringLiteral("message: Proceso finalizado"));
        QCOMPARE(rowsOf(m_work.path(), "CURSOST2.DBF", {"CODCURSO"}), QStringList({"10001", "10003"}));
        QVERIFY(w->close());
    }

    void eachScreenFocusesItsFirstControl()
    {
        auto w = start();
        toCallScreen(*w);
        // The call grid has the keys and marks its current record; Enter presses "Continuar".
        auto* calls = w->wwDBGridCODCENTRO;
        QCOMPARE(QApplication::focusWidget(), calls);
        QVERIFY(calls->selectionModel()->isRowSelected(0, {}));
        QCOMPARE(calls->columnViewportPosition(1) + calls->columnWidth(1), calls->viewport()->width());
        QVERIFY(w->BitBtn1->isDefault());
        QTest::keyClick(calls, Qt::Key_Down);
        QVERIFY(calls->selectionModel()->isRowSelected(1, {}));
        QTest::keyClick(calls, Qt::Key_Up);
        QTest::keyClick(calls, Qt::Key_Return);
        QVERIFY(w->Panel2->isVisible());

        // The level grid has the keys at the first TURNO; what is typed lands there.
        auto* levels = w->wwDBGridNIVIMP;
        QCOMPARE(QApplication::focusWidget(), levels);
        QCOMPARE(levels->currentIndex(), levels->model()->index(0, 2));
        QVERIFY(w->BitBtn2->isDefault());
        QTest::keyClick(levels, 'M');
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(levels->model()->data(levels->model()->index(0, 2)).toString(), QStringLiteral("M"));
        // Tab goes round the level screen only: the covered controls take no focus.
        for (int i = 0; i < 40; ++i) {
            QWidget* at = QApplication::focusWidget();
            QVERIFY(at);
            QVERIFY2(w->Panel2->isAncestorOf(at), qPrintable(at->objectName()));
            QTest::keyClick(at, Qt::Key_Tab);
        }
        QTest::keyClick(w.get(), Qt::Key_S, Qt::AltModifier); // "&Salir" lies under the screen
        QVERIFY(w->isVisible());
        QVERIFY(w->close());
    }

    void ctrlDeleteDeletesTheMarkedCourse_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("deleted");
        QTest::newRow("click on another row's name") << "click" << "10001";
        QTest::newRow("Tab wraps onto the next row") << "tab" << "10002";
    }

    void ctrlDeleteDeletesTheMarkedCourse()
    {
        QFETCH(QString, how);
        QFETCH(QString, deleted);
        auto w = start();
        toCallScreen(*w);
        QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        auto* levels = w->wwDBGridNIVIMP;
        if (how == QLatin1String("click")) {
            levels->setCurrentIndex(levels->model()->index(2, 3));
            QTest::mouseClick(levels->viewport(), Qt::LeftButton, {},
                              levels->visualRect(levels->model()->index(0, 1)).center());
            QCOMPARE(levels->currentIndex(), levels->model()->index(0, 2));
        } else {
            levels->setCurrentIndex(levels->model()->index(0, 4));
            QTest::keyClick(levels, Qt::Key_Tab);
            QCOMPARE(levels->currentIndex(), levels->model()->index(1, 2));
        }
        m_boxes.answers = {true};
        QTest::keyClick(levels, Qt::Key_Delete, Qt::ControlModifier);
        QStringList left{QStringLiteral("10001"), QStringLiteral("10002"), QStringLiteral("10003"),
                         QStringLiteral("10004")};
        left.removeOne(deleted);
        QCOMPARE(rowsOf(m_work.path(), "CURSOST.DBF", {"CODCURSO"}), left);
        QVERIFY(w->close());
    }

    void aceptarAgainAfterAStageError()
    {
        // A teachers line too short, put there after the review of "Continuar": the stages end
        // with an error, with and without the codes kept from before. "Aceptar" again runs them
        // again; once the line is right, they finish.
        const QString teachers = QDir(m_school.path()).filePath(QStringLiteral("profesoresGrupoCentro.csv"));
        QFile f(teachers);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray original = f.readAll();
        f.close();
        for (const bool reuse : {false, true}) {
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(original);
            f.close();
            auto w = start();
            toCallScreen(*w);
            m_boxes.answers = {true};
            QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(original + "E0099,G1001\r\n");
            f.close();
            // The second start is told that the first run did not finish, then asked about reuse.
            QCOMPARE(m_boxes.shown.size(), reuse ? 2 : 0);
            if (!reuse) {
                for (int r = 0; r < 4; ++r) {
                    typeCell(w->wwDBGridNIVIMP, r, 2, QString::fromLatin1(kCodes[r].turno));
                    typeCell(w->wwDBGridNIVIMP, r, 3, QString::fromLatin1(kCodes[r].nivel));
                    typeCell(w->wwDBGridNIVIMP, r, 4, QString::fromLatin1(kCodes[r].curso));
                }
            }
            for (int attempt = 0; attempt < 2; ++attempt) {
                m_boxes.shown.clear();
                QTest::mouseClick(w->BitBtn2, Qt::LeftButton);
                QCOMPARE(m_boxes.shown.size(), 1);
                QVERIFY2(m_boxes.shown.at(0).startsWith(QLatin1String("error: ")), qPrintable(m_boxes.shown.at(0)));
                QVERIFY(w->Panel2->isVisible());
                // The grid shows what the course table holds, the last course too.
                auto* model = w->wwDBGridNIVIMP->model();
                QCOMPARE(model->data(model->index(3, 3)).toString(), QStringLiteral("ES"));
                QCOMPARE(model->data(model->index(3, 4)).toString(), QStringLiteral("O1"));
            }
            if (reuse) {
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                f.write(original);
                f.close();
                m_boxes.shown.clear();
                QTest::mouseClick(w->BitBtn2, Qt::LeftButton);
                QCOMPARE(m_boxes.shown.join('\n'), QStringLiteral("message: Proceso finalizado"));
            }
            QVERIFY(w->close());
        }
    }

    void missingFileLowersTheStatusAndTheRunGoesOn()
    {
        const QString rooms = QDir(m_school.path()).filePath(QStringLiteral("aulasCentro.csv"));
        QVERIFY(QFile::rename(rooms, rooms + ".away"));
        auto w = start({"exportar", "1A2B"});
        toCallScreen(*w);
        m_boxes.answers = {false}; // decline the codes kept: CURSOST2 is deleted
        QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        for (int r = 0; r < 4; ++r) {
            typeCell(w->wwDBGridNIVIMP, r, 3, QStringLiteral("N"));
            typeCell(w->wwDBGridNIVIMP, r, 4, QStringLiteral("1"));
        }
        m_boxes.shown.clear();
        QTest::mouseClick(w->BitBtn2, Qt::LeftButton);
        QCOMPARE(m_boxes.shown.join('\n'),
                 QStringLiteral("message: No existe archivo de Aulas (aulasCentro.CSV)\n"
                                "message: Proceso finalizado"));
        QVERIFY(!w->isVisible());
        QFile ini(QDir(m_program.path()).filePath(QStringLiteral("Vestrano.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), QByteArray("[Transformadores]\r\nTransformado=-1\r\n"));
        QVERIFY(QFile::rename(rooms + ".away", rooms));
    }

    void reviewBeforeWriting_data()
    {
        QTest::addColumn<QByteArray>("groups"); // lines added to gruposCentro.csv
        QTest::addColumn<QByteArray>("rooms");  // lines added to aulasCentro.csv
        QTest::addColumn<QStringList>("rows");  // file:line gravity, as listed
        QTest::newRow("two lines end the run, one loss")
            << QByteArray("2026ORD,10009\n") << QByteArray("SALON,Sal\xF3n\n\xEF\xBB\xBFPATIO,Patio\n")
            << QStringList{"gruposCentro.csv:11 detiene", "aulasCentro.csv:9 detiene", "aulasCentro.csv:10 pierde"};
        QTest::newRow("losses only") << QByteArray() << QByteArray("\xEF\xBB\xBFPATIO,Patio\n")
                                     << QStringList{"aulasCentro.csv:9 pierde"};
    }

    /// "Continuar" lists every problem before anything is written: with a line that would end the
    /// run only "Volver", which leaves the work folder as it was; with losses only, "Continuar"
    /// goes on to the level screen.
    void reviewBeforeWriting()
    {
        QFETCH(QByteArray, groups);
        QFETCH(QByteArray, rooms);
        QFETCH(QStringList, rows);
        std::map<QString, QByteArray> originals;
        for (const auto& [name, added] : {std::pair(QStringLiteral("gruposCentro.csv"), groups),
                                          std::pair(QStringLiteral("aulasCentro.csv"), rooms)}) {
            QFile f(QDir(m_school.path()).filePath(name));
            QVERIFY(f.open(QIODevice::ReadWrite));
            originals[name] = f.readAll();
            f.write(added);
        }
        const bool ends = rows.join(' ').contains(QStringLiteral("detiene"));
        auto w = start();
        toCallScreen(*w);
        const auto workFiles = [this] {
            QStringList files;
            for (const QFileInfo& i : QDir(m_work.path()).entryInfoList(QDir::Files, QDir::Name))
                files << i.fileName() + ' ' + QString::number(i.size()) + ' ' + i.lastModified().toString(Qt::ISODateWithMs);
            return files;
        };
        const QStringList before = workFiles();
        QStringList listed;
        bool canContinue = false;
        m_boxes.onDialog = [&](QDialog& dialog) {
            auto* list = qobject_cast<ListDialog*>(&dialog);
            QVERIFY(list);
            QAbstractItemModel* model = list->view()->model();
            for (int r = 0; r < model->rowCount(); ++r)
                listed << model->index(r, 0).data().toString() + ':' + model->index(r, 1).data().toString() + ' ' +
                        model->index(r, 2).data().toString();
            auto* on = list->findChild<QPushButton*>(QStringLiteral("continue"));
            canContinue = on && on->isVisible();
            QTest::mouseClick(canContinue ? on : list->findChild<QPushButton*>(QStringLiteral("back")),
                              Qt::LeftButton);
        };
        QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        m_boxes.onDialog = nullptr;
        QCOMPARE(listed, rows);
        QCOMPARE(canContinue, !ends);
        QCOMPARE(m_boxes.shown, QStringList{QStringLiteral("dialog: Revisión de los ficheros de XADE")});
        if (ends) {
            QVERIFY(w->Panel1->isVisible());
            QVERIFY(!w->Panel2->isVisible());
            QCOMPARE(workFiles(), before); // nothing written
        } else {
            QVERIFY(w->Panel2->isVisible());
            QCOMPARE(w->wwDBGridNIVIMP->model()->rowCount(), 4);
        }
        QVERIFY(w->close());
        for (const auto& [name, bytes] : originals) {
            QFile f(QDir(m_school.path()).filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        }
    }
};

QTEST_MAIN(ImportTest)
#include "ImportTest.moc"
