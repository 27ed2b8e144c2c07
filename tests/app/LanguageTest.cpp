// The window in both languages: every text fits its control, and a whole import and export
// through the window in Galician, each screen kept as a picture in the test's folder.

#include "Fakes.h"

#include "app/ControlPlantilla.h"
#include "app/DataGrid.h"
#include "app/GradientPanel.h"
#include "app/MainWindow.h"
#include "app/QtPath.h"
#include "app/Translation.h"
#include "app/help/Help.h"
#include "standin/StandIn.h"
#include "support/Template.h"
#include "tables/Layouts.h"
#include "tables/Table.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace conv::app;
using conv::app::test::FakeParents;
using conv::app::test::ScriptedBoxes;
using conv::lang::Language;

Q_DECLARE_METATYPE(conv::lang::Language)

namespace
{

/// What of `root`'s texts does not fit: a label whose text runs past its own box or its parent's
/// edge, or into the text of a label beside it; a button caption wider than the button; grid
/// columns wider than their grid.
QStringList cutTexts(QWidget* root)
{
    QStringList cut;
    const auto name = [](const QWidget* w) { return w->objectName() + QStringLiteral(" \"") +
                                                    (qobject_cast<const QLabel*>(w)
                                                         ? static_cast<const QLabel*>(w)->text()
                                                         : static_cast<const QAbstractButton*>(w)->text()) +
                                                    QLatin1Char('"'); };
    // Where a one-line label's text lies: it may be wider than the label, which is sized to it.
    const auto lineOf = [](const QLabel* l) {
        const QFontMetrics fm(l->font());
        return QRect(l->pos(), QSize(fm.horizontalAdvance(l->text()), fm.height()));
    };
    QList<QLabel*> lines, boxes; // one-line labels; word-wrapped ones
    for (QLabel* l : root->findChildren<QLabel*>())
        if (!l->text().isEmpty() && !l->objectName().isEmpty())
            (l->wordWrap() ? boxes : lines) << l;
    for (QLabel* l : boxes) {
        // The lines the text takes at the label's width, all of which must show.
        const QRect box = l->contentsRect();
        const int needed = QFontMetrics(l->font())
                               .boundingRect(QRect(0, 0, box.width(), 100000), Qt::TextWordWrap, l->text())
                               .height();
        if (needed > box.height())
            cut << QStringLiteral("%1 needs %2 px of height, has %3").arg(name(l)).arg(needed).arg(box.height());
    }
    for (QLabel* l : lines) {
        const QRect text = lineOf(l);
        if (text.width() > l->width() || text.right() >= l->parentWidget()->width())
            cut << QStringLiteral("%1 is %2 px wide, from x=%3 in a parent %4 px wide")
                       .arg(name(l)).arg(text.width()).arg(l->x()).arg(l->parentWidget()->width());
        // Nor may it run into another label's text.
        for (QLabel* other : lines + boxes)
            if (other != l && other->parentWidget() == l->parentWidget() &&
                (other->wordWrap() ? other->geometry() : lineOf(other)).intersects(text))
                cut << QStringLiteral("%1 runs into %2").arg(name(l), name(other));
    }
    for (QAbstractButton* b : root->findChildren<QAbstractButton*>()) {
        if (b->text().isEmpty() || qobject_cast<DataGrid*>(b->parentWidget()))
            continue;
        const int icon = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
        const int needed = QFontMetrics(b->font()).horizontalAdvance(QString(b->text()).remove(QLatin1Char('&'))) +
            icon + 8;
        if (needed > b->width())
            cut << QStringLiteral("%1 needs %2 px, has %3").arg(name(b)).arg(needed).arg(b->width());
    }
    for (DataGrid* g : root->findChildren<DataGrid*>()) {
        int width = 0;
        for (int c = 0; c < g->model()->columnCount(); ++c)
            if (!(g->horizontalHeader()->stretchLastSection() && c == g->model()->columnCount() - 1))
                width += g->columnWidth(c);
        if (width > g->viewport()->width())
            cut << QStringLiteral("%1: its columns take %2 px, it shows %3")
                       .arg(g->objectName()).arg(width).arg(g->viewport()->width());
    }
    return cut;
}

} // namespace

class LanguageTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_program;
    QTemporaryDir m_school;
    QTemporaryDir m_work;
    ScriptedBoxes m_boxes;
    FakeParents m_parents;
    QString m_screens; // where the pictures of the screens are kept

    std::unique_ptr<TMForm> start(std::vector<std::string> parameters = {})
    {
        return startActiveWindow(m_school.path(), std::move(parameters), m_program.path(), m_boxes, m_parents);
    }

    void keep(QWidget* screen, const QString& name)
    {
        QVERIFY(screen->grab().save(QDir(m_screens).filePath(name + QStringLiteral(".png"))));
    }

private slots:
    void initTestCase()
    {
        const QDir examples(QStringLiteral(CONV_SOURCE_DIR "/examples/school"));
        for (const QString& f : examples.entryList(QDir::Files))
            QVERIFY(QFile::copy(examples.filePath(f), QDir(m_school.path()).filePath(f)));
        // Without the two room codes too long for their field, "Continuar" has nothing to review.
        QFile rooms(QDir(m_school.path()).filePath(QStringLiteral("aulasCentro.csv")));
        QVERIFY(rooms.open(QIODevice::ReadOnly));
        const QByteArray text = rooms.readAll().replace("LABORATORIO1,", "LAB1,").replace("LABORATORIO2,", "LAB2,");
        rooms.close();
        QVERIFY(rooms.remove() && rooms.open(QIODevice::WriteOnly));
        rooms.write(text);
        rooms.close();
        qputenv("TRANSXADE_WORK", m_work.path().toLocal8Bit());
        const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"));
        // Beside the test program, where ctest runs it (tests/app of the build).
        m_screens = QDir(QStringLiteral("screens/scale-") + scale).absolutePath();
        QVERIFY(QDir().mkpath(m_screens));
    }

    void cleanup()
    {
        useLanguage(Language::Spanish);
        for (const QString& f : QDir(m_work.path()).entryList(QDir::Files))
            QFile::remove(QDir(m_work.path()).filePath(f));
    }

    void everyTextFitsItsControl_data()
    {
        QTest::addColumn<Language>("language");
        QTest::newRow("es") << Language::Spanish;
        QTest::newRow("gl") << Language::Galician;
    }

    /// In both languages, on the window's every screen and in the template dialog.
    void everyTextFitsItsControl()
    {
        QFETCH(Language, language);
        // Without the form's fonts (Qt's offscreen platform under Wine has none) the widths
        // measured say nothing of what a school's screen shows.
        const QString family = QFontInfo(formFont()).family();
        if (!formFont().families().contains(family))
            QSKIP(qPrintable(QStringLiteral("none of the form's fonts is installed here (%1 instead)").arg(family)));
        QVERIFY(useLanguage(language));
        auto w = start();
        conv::test::writeTemplate(toPath(m_work.path()), 8);
        TControlPlantilla dialog(toPath(m_work.path()));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QStringList cut = cutTexts(w.get());
        cut << cutTexts(&dialog);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    }

    /// The import and the export through the window in Galician, as a person goes through them.
    void importAndExportInGalician()
    {
        QVERIFY(useLanguage(Language::Galician));
        auto w = start();
        QCOMPARE(w->windowTitle(), QString::fromLatin1(kMainCaption)); // the host may look for it
        QCOMPARE(w->Label5->text(), QStringLiteral("Escolla o cartafol onde están os ficheiros CSV de XADE"));
        keep(w.get(), QStringLiteral("gl-principal"));
        QTest::mouseClick(w->BExportar, Qt::LeftButton);
        QVERIFY2(w->Panel1->isVisible(), qPrintable(m_boxes.shown.join('\n')));
        keep(w.get(), QStringLiteral("gl-convocatorias"));
        QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        QVERIFY(w->Panel2->isVisible());
        QCOMPARE(w->wwDBGridNIVIMP->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("QUENDA"));
        keep(w.get(), QStringLiteral("gl-niveis"));
        QTest::mouseClick(w->BitBtn2, Qt::LeftButton); // no codes typed: the warning
        QVERIFY(w->Label9->isVisible());
        QVERIFY(w->Label9->text().startsWith(QStringLiteral("!!!!!!! ATENCIÓN !!!!!!!  Hai algún NIVEL ou CURSO")));
        QCOMPARE(w->Button2->text(), QStringLiteral("Volver aos datos"));
        keep(w.get(), QStringLiteral("gl-aviso-niveis"));
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        auto* levels = w->wwDBGridNIVIMP->model();
        for (int r = 0; r < levels->rowCount(); ++r)
            for (const auto& [column, code] : {std::pair(2, "M"), std::pair(3, "ESO"), std::pair(4, "1")})
                QVERIFY(levels->setData(levels->index(r, column), QString::fromLatin1(code), Qt::EditRole));
        w->wwDBGridNIVIMP->setFocus();
        QTest::mouseClick(w->BitBtn2, Qt::LeftButton);
        QCOMPARE(m_boxes.shown.join('\n'), QStringLiteral("message: Proceso rematado"));
        w.reset();

        conv::standin::makeTimetable(m_work.path().toStdString(), {});
        auto back = start({"importar", "1A2B"});
        m_boxes.onDialog = [this](QDialog& dialog) {
            auto& d = static_cast<TControlPlantilla&>(dialog);
            QTRY_VERIFY(d.wwTablePlantilla() && d.wwTablePlantilla()->isOpen());
            keep(&d, QStringLiteral("gl-modelo-horario"));
            QTest::mouseClick(d.BitBtn2, Qt::LeftButton);
        };
        QTest::mouseClick(back->BImportar, Qt::LeftButton);
        m_boxes.onDialog = nullptr;
        QCOMPARE(m_boxes.shown.join('\n'), QStringLiteral("dialog: Control do modelo horario\nmessage: Proceso rematado"));
        QVERIFY(QFile::exists(QDir(m_school.path()).filePath(QStringLiteral("HORARIO.CSV"))));
    }

    void helpInTheWindowsLanguage_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<Language>("language");
        QTest::addColumn<QString>("opened");
        const QStringList both{QStringLiteral("XADE.CHM"), QStringLiteral("XADE-gl.chm")};
        QTest::newRow("gl") << both << Language::Galician << "XADE-gl.chm";
        QTest::newRow("es") << both << Language::Spanish << "XADE.CHM";
        QTest::newRow("gl, only the Spanish file") << QStringList{QStringLiteral("XADE.CHM")} << Language::Galician
                                                   << "XADE.CHM";
        QTest::newRow("es, only the Galician file") << QStringList{QStringLiteral("XADE-gl.chm")} << Language::Spanish
                                                    << "";
    }

    /// F1 opens the help in the window's language, the Spanish one where that is missing.
    void helpInTheWindowsLanguage()
    {
        QFETCH(QStringList, installed);
        QFETCH(Language, language);
        QFETCH(QString, opened);
        QTemporaryDir program;
        for (const QString& name : installed) {
            QFile f(QDir(program.path()).filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const QString file = Help(program.path(), helpFiles(language)).helpFile();
        QCOMPARE(QFileInfo(file).fileName(), opened);
    }

    /// The window's own messages in Galician.
    void messagesInGalician()
    {
        QVERIFY(useLanguage(Language::Galician));
        auto w = start();
        w->showHelp(std::nullopt); // no help file beside the program
        w->confirmDelete(w->wwDBGridCODCENTRO);
        QCOMPARE(m_boxes.shown, QStringList({QStringLiteral("message: A axuda non está instalada neste equipo."),
                                              QStringLiteral("question: Confirm | Borrar a fila?")}));
    }
};

QTEST_MAIN(LanguageTest)
#include "LanguageTest.moc"
