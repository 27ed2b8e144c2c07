// What the help says against what the program does: the buttons, screen texts and keys it names
// against the window and the dialog as the program builds them, every message the program can
// show against the index and the page the index leads to, and the worked example of level codes
// against a real import of that school.

#include "Fakes.h"
#include "HelpFile.h"

#include "app/AnsiText.h"
#include "app/ControlPlantilla.h"
#include "app/DataGrid.h"
#include "app/FolderChooser.h"
#include "app/help/HelpViewer.h"
#include "app/ListDialog.h"
#include "app/MainWindow.h"
#include "app/MessageBoxes.h"
#include "app/QtPath.h"
#include "app/Translation.h"
#include "common/IoErrors.h"
#include "export/Export.h"
#include "import/CourseList.h"
#include "import/Import.h"
#include "import/Messages.h"
#include "import/Preflight.h"
#include "lang/Messages.h"
#include "import/ShortCodes.h"
#include "run/Explain.h"
#include "run/Feedback.h"
#include "run/RunFile.h"
#include "run/RunState.h"
#include "shell/ProfileFile.h"
#include "shell/StartMode.h"
#include "support/RecordingFeedback.h"
#include "support/TableDump.h"
#include "support/Template.h"
#include "tables/EngineError.h"
#include "tables/FieldCodec.h"
#include "tables/Layouts.h"
#include "tables/Table.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <map>

using namespace conv::app;
using conv::app::test::FakeParents;
using conv::app::test::openHelp;
using conv::app::test::pageText;
using conv::app::test::ScriptedBoxes;
using conv::app::test::startWindow;

namespace
{

const QString kExample = QStringLiteral(CONV_SOURCE_DIR "/examples/instituto");

/// A name the help marks as standing on one screen: <b class="boton-niveles">Aceptar</b>,
/// <b class="texto-plantilla">HORA</b>, <kbd class="tecla-principal">F1</kbd>.
struct Marked
{
    QString page;
    QString kind; ///< boton, texto or tecla
    QString screen;
    QString text;
};

QList<Marked> markedNames(const ChmFile& chm)
{
    static const QRegularExpression mark(
        QStringLiteral(R"re(<(b|kbd)\s+class="(boton|texto|tecla)-([a-z]+)"\s*>(.*?)</\1>)re"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QList<Marked> found;
    for (const QString& page : chm.pages()) {
        if (!page.endsWith(QLatin1String(".htm")))
            continue;
        for (auto it = mark.globalMatch(QString::fromUtf8(chm.read(page))); it.hasNext();) {
            const auto m = it.next();
            found.append({page, m.captured(2), m.captured(3),
                          QTextDocumentFragment::fromHtml(m.captured(4)).toPlainText().simplified()});
        }
    }
    return found;
}

bool under(const QWidget* w, const QList<QWidget*>& roots)
{
    for (const QWidget* root : roots)
        if (root->isAncestorOf(w))
            return true;
    return false;
}

/// The captions of the buttons under `root` (mnemonic marks removed), leaving out `excluded`.
QStringList buttonCaptions(QWidget* root, const QList<QWidget*>& excluded = {})
{
    QStringList captions;
    for (QAbstractButton* b : root->findChildren<QAbstractButton*>())
        if (!under(b, excluded))
            captions << b->text().remove(QLatin1Char('&')).simplified();
    return captions;
}

/// The texts of the labels and the column titles of the grids under `root`.
QStringList screenTexts(QWidget* root, const QList<QWidget*>& excluded = {})
{
    QStringList texts;
    for (QLabel* l : root->findChildren<QLabel*>())
        if (!under(l, excluded))
            texts << l->text().simplified();
    for (DataGrid* g : root->findChildren<DataGrid*>())
        if (!under(g, excluded))
            for (int c = 0; c < g->model()->columnCount(); ++c)
                texts << g->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().simplified();
    return texts;
}

/// The captions of the buttons of every kind of message box the program shows, as the boxes
/// really are: each is opened and its buttons read before it is answered.
QStringList messageBoxButtons()
{
    QStringList captions;
    QtMessageBoxes boxes;
    const auto readNextBox = [&captions] {
        QTimer::singleShot(0, [&captions] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton* b : box->buttons())
                captions << b->text().remove(QLatin1Char('&'));
            box->buttons().first()->click();
        });
    };
    readNextBox();
    boxes.message(QStringLiteral("message"));
    readNextBox();
    boxes.error(QStringLiteral("error"));
    readNextBox();
    boxes.question(QStringLiteral("caption"), QStringLiteral("question"));
    readNextBox();
    boxes.confirm(QStringLiteral("confirm"));
    readNextBox();
    boxes.retry(QStringLiteral("retry"));
    readNextBox();
    boxes.explainedError(QStringLiteral("error"), QStringLiteral("explained"), [] {});
    return captions;
}

/// The text of the error `fails` raises (without the file the program names on later lines),
/// or "" when it raises none.
QString thrown(const std::function<void()>& fails)
{
    try {
        fails();
    } catch (const std::exception& e) {
        return fromAnsi(e.what()).section(QLatin1Char('\n'), 0, 0);
    }
    return QString();
}

/// The fixed parts of a message: what is left between the values it names. The rows below make
/// every such value carry the mark '#'; numbers count as values too where `numbersVary`.
QStringList fixedParts(const QString& message, bool numbersVary)
{
    static const QRegularExpression value(QStringLiteral(R"(\S*#\S*|\d+)"));
    static const QRegularExpression marked(QStringLiteral(R"(\S*#\S*)"));
    static const QRegularExpression letter(QStringLiteral("[A-Za-z]"));
    QStringList parts;
    for (const QString& part : message.simplified().split(numbersVary ? value : marked))
        if (part.contains(letter))
            parts << part.trimmed();
    return parts;
}

/// An index entry as a pattern: "…" stands for any text; the rest must start the message.
QRegularExpression entryPattern(const QString& name)
{
    QStringList literal;
    for (const QString& part : name.split(QChar(0x2026)))
        literal << QRegularExpression::escape(part);
    return QRegularExpression(QLatin1Char('^') + literal.join(QStringLiteral(".*")));
}

} // namespace

class HelpContentTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_program; // the program's folder: no XADE.CHM there, nothing is opened
    QTemporaryDir m_school;  // a copy of the example institute, with one subfolder
    QTemporaryDir m_work;    // the work folder
    ScriptedBoxes m_boxes;
    FakeParents m_parents;

    void emptyWorkFolder()
    {
        for (const QString& f : QDir(m_work.path()).entryList(QDir::Files))
            QFile::remove(QDir(m_work.path()).filePath(f));
    }

    /// The window on the example institute, driven to `screen` as a person does: "principal" as
    /// it opens, "convocatorias" after "OK", "niveles" after "Continuar" on the first call.
    std::unique_ptr<TMForm> windowAt(const QString& screen)
    {
        emptyWorkFolder();
        auto w = startActiveWindow(m_school.path(), {}, m_program.path(), m_boxes, m_parents);
        if (screen != QLatin1String("principal"))
            QTest::mouseClick(w->BExportar, Qt::LeftButton);
        if (screen == QLatin1String("niveles"))
            QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        return w;
    }

    /// The template dialog on a template of eight periods, shown and active.
    std::unique_ptr<TControlPlantilla> templateDialog()
    {
        emptyWorkFolder();
        conv::test::writeTemplate(toPath(m_work.path()), 8);
        auto d = std::make_unique<TControlPlantilla>(toPath(m_work.path()));
        d->show();
        if (!QTest::qWaitForWindowActive(d.get()))
            qWarning("dialog not active");
        return d;
    }

    /// Whether `key`, as the help names it, does something on the screen under `root`.
    static bool keyWorks(const QString& key, QWidget* root)
    {
        QList<DataGrid*> grids;
        for (DataGrid* g : root->findChildren<DataGrid*>())
            if (g->isVisible() && g->model()->rowCount() > 0)
                grids << g;
        if (key == QLatin1String("F1")) {
            for (QShortcut* s : root->window()->findChildren<QShortcut*>())
                if (s->key() == QKeySequence(Qt::Key_F1))
                    return true;
            return false;
        }
        if (key.startsWith(QLatin1String("Alt+"))) {
            const QKeySequence wanted = QKeySequence::fromString(key);
            for (QAbstractButton* b : root->findChildren<QAbstractButton*>())
                if (b->isVisible() && QKeySequence::mnemonic(b->text()) == wanted)
                    return true;
            return false;
        }
        if (key == QLatin1String("Ctrl+Supr")) {
            for (DataGrid* g : grids) {
                QSignalSpy asked(g, &DataGrid::deleteRequested);
                g->setFocus();
                QTest::keyClick(g, Qt::Key_Delete, Qt::ControlModifier);
                if (!asked.isEmpty())
                    return true;
            }
            return false;
        }
        if (key == QLatin1String("Insert")) {
            for (DataGrid* g : grids) {
                const int rows = g->model()->rowCount();
                g->setFocus();
                QTest::keyClick(g, Qt::Key_Insert);
                if (g->model()->rowCount() > rows)
                    return true;
            }
            return false;
        }
        if (key == QLatin1String("Intro")) {
            // In a grid: the cell opens for typing, or the grid moves on to the next cell.
            for (DataGrid* g : grids) {
                for (int c = 0; c < g->model()->columnCount(); ++c) {
                    const QModelIndex cell = g->model()->index(0, c);
                    if (!(g->model()->flags(cell) & Qt::ItemIsEditable))
                        continue;
                    g->setFocus();
                    g->setCurrentIndex(cell);
                    QTest::keyClick(g, Qt::Key_Return);
                    QWidget* focus = QApplication::focusWidget();
                    if ((focus && focus != g && g->isAncestorOf(focus)) || g->currentIndex() != cell)
                        return true;
                    break;
                }
            }
            // In the folder list: the marked folder opens.
            for (FolderList* list : root->findChildren<FolderList*>()) {
                for (int row = 0; list->isVisible() && row < list->count(); ++row) {
                    if (!list->folderAt(row).endsWith(QLatin1String("/otra")))
                        continue;
                    list->setFocus();
                    list->setCurrentRow(row);
                    QTest::keyClick(list, Qt::Key_Return);
                    return list->folder().endsWith(QLatin1String("/otra"));
                }
            }
            return false;
        }
        qWarning("the test knows no way to try the key %s", qPrintable(key));
        return false;
    }

private slots:
    void initTestCase()
    {
        const QDir example(kExample);
        for (const QString& f : example.entryList(QDir::Files))
            QVERIFY(QFile::copy(example.filePath(f), QDir(m_school.path()).filePath(f)));
        QVERIFY(QDir(m_school.path()).mkdir(QStringLiteral("otra")));
        qputenv("TRANSXADE_WORK", m_work.path().toLocal8Bit());
        // Each help quotes the window in its own language.
        if (conv::app::test::helpLanguage() == QLatin1String("gl"))
            QVERIFY(useLanguage(conv::lang::Language::Galician));
    }

    /// Every button the help names is a button of the screen it names it on, with that caption;
    /// every screen text it quotes is a label or a column title there.
    void namedButtonsAndTextsAreOnTheirScreens()
    {
        auto chm = openHelp();
        const QList<Marked> marked = markedNames(*chm);
        QVERIFY(marked.size() > 40);

        auto w = windowAt(QStringLiteral("principal"));
        auto dialog = templateDialog();
        ListDialog review(conv::RowList{}, ListDialog::Choice::BackOrContinue);
        ListDialog passedOver(conv::RowList{}, ListDialog::Choice::Close);
        const QList<QWidget*> screensOfTheWindow{w->Panel1, w->Panel2};
        const std::map<QString, QStringList> buttons{
            {QStringLiteral("principal"), buttonCaptions(w.get(), screensOfTheWindow)},
            {QStringLiteral("convocatorias"), buttonCaptions(w->Panel1)},
            {QStringLiteral("niveles"), buttonCaptions(w->Panel2)},
            {QStringLiteral("plantilla"), buttonCaptions(dialog.get())},
            {QStringLiteral("aviso"), messageBoxButtons()},
            {QStringLiteral("revision"), buttonCaptions(&review)},
            {QStringLiteral("clases"), buttonCaptions(&passedOver)},
        };
        const std::map<QString, QStringList> texts{
            {QStringLiteral("principal"), screenTexts(w.get(), screensOfTheWindow)},
            {QStringLiteral("convocatorias"), screenTexts(w->Panel1)},
            {QStringLiteral("niveles"), screenTexts(w->Panel2)},
            {QStringLiteral("plantilla"), screenTexts(dialog.get())},
        };
        QStringList wrong;
        for (const Marked& m : marked) {
            if (m.kind == QLatin1String("tecla"))
                continue;
            const auto& known = m.kind == QLatin1String("boton") ? buttons : texts;
            const auto screen = known.find(m.screen);
            const bool found = screen != known.end() &&
                (m.kind == QLatin1String("boton") ? screen->second.contains(m.text)
                                                  : std::any_of(screen->second.begin(), screen->second.end(),
                                                                [&m](const QString& t) { return t.contains(m.text); }));
            if (!found)
                wrong << QStringLiteral("%1: %2 \"%3\" is not on the screen \"%4\"")
                             .arg(m.page, m.kind, m.text, m.screen);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    /// Every key the help names does something on the screen it names it on.
    void namedKeysWorkOnTheirScreens()
    {
        auto chm = openHelp();
        std::map<std::pair<QString, QString>, QString> keys; // (screen, key) -> a page naming it
        for (const Marked& m : markedNames(*chm))
            if (m.kind == QLatin1String("tecla"))
                keys.emplace(std::pair(m.screen, m.text), m.page);
        QVERIFY(keys.size() >= 4);
        QStringList wrong;
        for (const auto& [where, page] : keys) {
            const auto& [screen, key] = where;
            bool works = false;
            if (screen == QLatin1String("plantilla")) {
                auto dialog = templateDialog();
                works = keyWorks(key, dialog.get());
            } else if (screen == QLatin1String("revision") || screen == QLatin1String("clases")) {
                ListDialog list(conv::RowList{}, screen == QLatin1String("clases") ? ListDialog::Choice::Close
                                                                                  : ListDialog::Choice::BackOrContinue);
                QSignalSpy asked(&list, &ListDialog::helpRequested);
                list.show();
                works = keyWorks(key, &list) && QTest::qWaitForWindowActive(&list);
                QTest::keyClick(&list, Qt::Key_F1);
                works = works && asked.size() == 1;
            } else {
                auto w = windowAt(screen);
                QWidget* root = screen == QLatin1String("convocatorias") ? w->Panel1
                    : screen == QLatin1String("niveles")                 ? w->Panel2
                                                                         : static_cast<QWidget*>(w.get());
                works = root->isVisible() && keyWorks(key, root);
            }
            if (!works)
                wrong << QStringLiteral("%1: the key %2 does nothing on the screen \"%3\"").arg(page, key, screen);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    void everyMessageHasAnIndexEntryAndAPage_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("numbersVary"); // else a number in the message is part of its text
        const auto row = [](const char* name, const QString& message, bool numbersVary = true) {
            QTest::newRow(name) << message << numbersVary;
        };
        const auto ansi = [](const std::string& text) { return coreText(text); }; // as the window shows it
        using conv::platform::Failure;

        // The import's own texts.
        row("no folder", ansi(conv::msg::kNoFolder));
        row("no calls file", ansi(conv::msg::kNoCalls));
        row("no groups file for the courses", ansi(conv::msg::kNoGroupsForCourses));
        row("no course table", ansi(conv::msg::kNoCourseTable));
        row("no groups file", ansi(conv::msg::kNoGroups));
        row("no group table", ansi(conv::msg::kNoGroupTable));
        row("no subgroups file", ansi(conv::msg::kNoSubgroups));
        row("no centre subjects file", ansi(conv::msg::kNoCentreSubjects));
        row("no general subjects file", ansi(conv::msg::kNoGeneralSubjects));
        row("no activities file", ansi(conv::msg::kNoActivities));
        row("no teachers file", ansi(conv::msg::kNoTeachers));
        row("no rooms file", ansi(conv::msg::kNoRooms));
        row("import finished", ansi(conv::msg::kFinished));
        row("reuse question, caption", ansi(conv::msg::kReuseCaption));
        row("reuse question", ansi(conv::msg::kReuseText));
        row("level warning", ansi(conv::kLevelWarning));
        // The export's own texts.
        row("export: no folder", ansi(conv::exporter::kNoFolder));
        row("export finished", ansi(conv::exporter::kFinished));
        row("nothing written", ansi(conv::exporter::nothingWrittenText({})));
        // The work folder.
        row("work folder busy", ansi(conv::kWorkFolderBusy));
        row("unfinished import", ansi(conv::kUnfinishedImport));
        row("unfinished export", ansi(conv::kUnfinishedExport));
        // The table engine.
        for (const char* m :
             {conv::engine::kTableMissing, conv::engine::kPathMissing, conv::engine::kTableBusy,
              conv::engine::kIndexNotFound, conv::engine::kIndexMissing, conv::engine::kCorruptHeader,
              conv::engine::kCorruptIndex, conv::engine::kDiskFull, conv::engine::kNoRights, conv::engine::kReadOnly,
              conv::engine::kIndexExpression, conv::engine::kInvalidFieldName, conv::engine::kInvalidFieldSize,
              conv::engine::kTooManyFields, conv::engine::kTableFull, conv::engine::kNotRegular})
            row(m, ansi(m));
        const std::filesystem::path file = "/x/T.DBF";
        row("engine: other failure", thrown([&] { conv::throwEngineFailure({Failure::Other, 21}, file); }));
        // The run-time library's file errors, for every kind of failure (32 and 33: Windows'
        // sharing and lock violations; 21: a drive not ready).
        const std::pair<const char*, conv::platform::FileFailure> failures[] = {
            {"io: not found", {Failure::NotFound, 2}},          {"io: path not found", {Failure::PathNotFound, 3}},
            {"io: access denied", {Failure::AccessDenied, 5}},  {"io: disk full", {Failure::DiskFull, 112}},
            {"io: too many files", {Failure::TooManyFiles, 4}}, {"io: not regular", {Failure::NotRegular, 0}},
            {"io: sharing violation", {Failure::Busy, 32}},     {"io: lock violation", {Failure::Busy, 33}},
            {"io: drive not ready", {Failure::Other, 21}},
        };
        for (const auto& [name, failure] : failures)
            row(name, thrown([&] { conv::throwIoFailure(failure, "/x/y.csv"); }), false);

        // The tables' own errors, raised as the program meets them.
        QTemporaryDir dir;
        const std::filesystem::path folder = toPath(dir.path());
        conv::Table closed(folder, "PLANTILLA.DBF");
        row("closed table", thrown([&] { closed.first(); }));
        conv::Table t(folder, "PLANTILLA.DBF");
        t.setLayout(conv::layouts::PLANTILLA);
        t.createTable();
        t.open();
        row("not editing", thrown([&] { t.fieldByName("HORA").setInteger(1); }));
        row("empty table", thrown([&] { t.deleteRecord(); }));
        row("no index", thrown([&] { t.findKey(conv::Value(std::int32_t(1))); }));
        row("locate", thrown([&] { t.locate("HORA;HORAINI", {conv::Value(std::int32_t(1))}); }));
        row("no such field", thrown([&] { t.fieldByName("#"); }));
        row("no such position", thrown([&] { t.field(99); }));
        t.close();
        conv::Table bad(folder, "MAL.DBF");
        bad.addField({"A", conv::FieldKind::Text, 10});
        bad.addIndex("B");
        row("bad index", thrown([&] { bad.createTable(); }));
        row("not an integer", thrown([] { conv::codec::toInteger(conv::Value(std::string("#")), "F"); }));
        row("too big", thrown([] { conv::codec::toInteger(conv::Value(1e20), "#"); }));
        row("not a float", thrown([] { conv::codec::toFloat(conv::Value(std::string("#"))); }));
        char bytes[16] = {};
        row("not a date", thrown([&] { conv::codec::storeString({"F", 'D', 8}, bytes, "#"); }));
        row("not a logical", thrown([&] { conv::codec::storeString({"F", 'L', 1}, bytes, "#"); }));

        // The courses the tables could not keep apart.
        conv::import::CourseList courses;
        std::string name = "N";
        const auto courseName = [&name]() -> const std::string& { return name; };
        row("course code too long", ansi(courses.add("#234567890123456", 2, courseName).refusal));
        courses.add("#23456789A", 2, courseName);
        name = "M";
        row("course codes alike", ansi(courses.add("#23456789AB", 3, courseName).refusal));
        name = std::string(50, 'L') + "1";
        courses.add("#1", 4, courseName);
        name = std::string(50, 'L') + "2";
        row("course names alike", ansi(courses.add("#2", 5, courseName).refusal));
        conv::codes::CandidateSearch search;
        const conv::codes::GivenCodes given(true);
        row("no short code left",
            thrown([&] { search.find("#", given, [](std::uint64_t) { return std::optional<std::string>(); }); }));

        // Starting inside the timetable program, and its status file.
        row("window handle not a number", ansi(*conv::decideStartMode({"importar", "#"}).error));
        row("status file", thrown([&] {
                conv::writeProfileString(folder / "#" / "Vestrano.ini", "Transformadores", "Transformado", "1");
            }));
        row("help missing", TMForm::tr(kHelpNotInstalled));
        // The lists the user looks through: the review of "Continuar" and the classes an export
        // passed over.
        // As the list shows them, in the window's language.
        const auto listText = [](const char* utf8) {
            return QString::fromUtf8(conv::lang::localiseUtf8(utf8, windowLanguage()));
        };
        row("review", listText(conv::import::kReviewCaption));
        row("review, a line ends the run", TMForm::tr(kReviewEnds));
        row("review, losses only", TMForm::tr(kReviewLosses));
        row("classes passed over", listText(conv::exporter::kPassedOverCaption));
        row("classes passed over, what they are", listText(conv::exporter::kPassedOverIntro));
        row("status not written", TMForm::tr(kStatusNotWritten));
        // The window's own: a window handle that names no window, and the question before a
        // record is deleted.
        ScriptedBoxes boxes;
        FakeParents parents;
        parents.existing = 0;
        auto w = startWindow({"importar", "12"}, dir.path(), boxes, parents);
        row("no such window", boxes.shown.value(0).section(QStringLiteral("error: "), 1));
        boxes.shown.clear();
        w->confirmDelete(w->wwDBGridCODCENTRO);
        row("delete record", boxes.shown.value(0).section(QStringLiteral(" | "), 1));
    }

    /// The message has an index entry (its text as on screen, "…" for what varies) that leads to a
    /// page quoting every fixed part of it.
    void everyMessageHasAnIndexEntryAndAPage()
    {
        QFETCH(QString, message);
        QFETCH(bool, numbersVary);
        QVERIFY2(!message.isEmpty(), "the row raised no message");
        auto chm = openHelp();
        const QString text = message.simplified();
        const QStringList parts = fixedParts(text, numbersVary);
        QStringList entries;
        // An error box's "Ayuda" and F1 open the page of its message, when that is a page of errors.
        const QString boxPage = QString::fromStdString(conv::helpPageOf(toAnsi(text)));
        QStringList errorPages;
        bool quoted = false;
        for (const SitemapEntry& e : parseSitemap(chm->read(chm->indexFile()))) {
            if (QString(e.name).remove(QChar(0x2026)).size() < 8 || !entryPattern(e.name).match(text).hasMatch())
                continue;
            const QString page = pageText(*chm, QLatin1Char('/') + e.local);
            QStringList missing;
            for (const QString& part : parts)
                if (!page.contains(part))
                    missing << part;
            if (missing.isEmpty()) {
                quoted = true;
                if (e.local == QLatin1String("errores.htm") || e.local == QLatin1String("motor.htm"))
                    errorPages << e.local;
                continue;
            }
            entries << e.name + QStringLiteral(" -> ") + e.local + QStringLiteral(" lacks: ") +
                    missing.join(QStringLiteral(" | "));
        }
        if (quoted) {
            QVERIFY2(errorPages.isEmpty() || errorPages.contains(boxPage),
                     qPrintable(QStringLiteral("\"%1\": its box leads to %2, its index to %3")
                                    .arg(text, boxPage, errorPages.join(QStringLiteral(", ")))));
            return;
        }
        QFAIL(qPrintable(
            QStringLiteral("\"%1\": %2")
                .arg(text, entries.isEmpty() ? QStringLiteral("no index entry") : entries.join(QLatin1Char('\n')))));
    }

    /// Each sentence an error box adds to a message is quoted, word for word, on the help page the
    /// box's "Ayuda" opens.
    void everyExplanationIsOnItsHelpPage()
    {
        // In the help's language: the Galician help quotes the Galician boxes.
        const auto language = conv::lang::fromCode(conv::app::test::helpLanguage().toStdString());
        QVERIFY(language);
        auto chm = openHelp();
        QStringList missing;
        for (const conv::Explanation& e : conv::explanations()) {
            const QString page = pageText(*chm, QLatin1Char('/') + QString::fromLatin1(e.page));
            for (const char* part : {e.means, e.todo}) {
                const QString text = QString::fromStdString(conv::lang::localiseUtf8(part, *language)).simplified();
                if (!page.contains(text, Qt::CaseInsensitive)) // the help may start the sentence in capitals
                    missing << QStringLiteral("%1 (%2): %3").arg(QString::fromLatin1(e.message), e.page, text);
            }
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
    }

    /// Every box's buttons speak the window's language: in Galician none keeps Qt's English
    /// captions or a Spanish one.
    void boxButtonsInTheWindowsLanguage()
    {
        const bool galician = conv::app::test::helpLanguage() == QLatin1String("gl");
        const QStringList allowed = galician ? QStringList{QStringLiteral("Aceptar"), QStringLiteral("Cancelar"),
                                                           QStringLiteral("Tentar de novo"), QStringLiteral("Axuda")}
                                             : QStringList{QStringLiteral("OK"), QStringLiteral("Cancel"),
                                                           QStringLiteral("Reintentar"), QStringLiteral("Cancelar"),
                                                           QStringLiteral("Ayuda")};
        QStringList wrong;
        for (const QString& caption : messageBoxButtons())
            if (!allowed.contains(caption))
                wrong << caption;
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
    }

    /// F1 or "Ayuda" on an error box opens the help page of its message, and the box stays; the box
    /// says what the message means for the file and line it names.
    void f1OnAnErrorBoxOpensItsPage()
    {
        QTemporaryDir program;
        QVERIFY(QFile::copy(conv::app::test::helpFile(), QDir(program.path()).filePath(QStringLiteral("XADE.CHM"))));
        QtMessageBoxes boxes;
        FakeParents parents;
        WindowSetup setup;
        setup.programFolder = program.path();
        setup.boxes = &boxes;
        setup.parents = &parents;
        TMForm w(setup);
        w.show();
        QString explanation, shownByF1, shownByButton;
        bool stayed = false;
        const auto helpPage = [] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* v = qobject_cast<HelpViewer*>(top); v && v->isVisible())
                    return v->currentTopic();
            return QString();
        };
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            explanation = box->informativeText();
            if (!QTest::qWaitForWindowActive(box))
                qWarning("box not active");
            QTest::keyClick(box, Qt::Key_F1);
            shownByF1 = helpPage();
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* v = qobject_cast<HelpViewer*>(top))
                    v->hide();
            QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("help")), Qt::LeftButton);
            shownByButton = helpPage();
            stayed = box->isVisible();
            box->button(QMessageBox::Ok)->click();
        });
        w.showErrorBox(QStringLiteral("List index out of bounds (3)\nFile: /srv/xade/aulasCentro.csv\nLine: 9"));
        QCOMPARE(shownByF1, QStringLiteral("/errores.htm"));
        QCOMPARE(shownByButton, QStringLiteral("/errores.htm"));
        QVERIFY(stayed);
        if (conv::app::test::helpLanguage() == QLatin1String("gl"))
            QCOMPARE(explanation, QStringLiteral("Na liña 9 de aulasCentro.csv: a esa liña fáltanlle datos. Adoita pasar "
                                                 "se o ficheiro se abriu e gardou cunha folla de cálculo. Exporte os "
                                                 "ficheiros de XADE de novo, sen tocalos."));
        else
            QCOMPARE(explanation,
                     QStringLiteral("En la línea 9 de aulasCentro.csv: a esa línea le faltan datos. Suele pasar "
                                    "si el archivo se abrió y guardó con una hoja de cálculo. Saque los archivos "
                                    "de XADE de nuevo, sin tocarlos."));
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* v = qobject_cast<HelpViewer*>(top))
                v->close();
    }

    /// The worked example of level codes is what an import of that school gives: the help's codes
    /// typed for each course, the groups the timetable program receives are the ones it shows.
    /// The example's answers file (used for the screenshot) holds the same codes.
    void workedExampleIsWhatTheImportGives()
    {
        auto chm = openHelp();
        struct Row
        {
            QString turno, nivel, curso, xade, vestrano;
        };
        std::map<QString, Row> help; // by NOMECURSO
        static const QRegularExpression rowPattern(QStringLiteral("<tr><td>(.*?)</td><td>(.*?)</td><td>(.*?)</td>"
                                                                  "<td>(.*?)</td><td>(.*?)</td><td>(.*?)</td></tr>"));
        for (auto it = rowPattern.globalMatch(QString::fromLatin1(chm->read(QStringLiteral("/codigos.htm"))));
             it.hasNext();) {
            const auto m = it.next();
            const auto cell = [&m](int i) {
                return QTextDocumentFragment::fromHtml(m.captured(i)).toPlainText().trimmed();
            };
            help[cell(1)] = {cell(2), cell(3), cell(4), cell(5), cell(6)};
        }
        QVERIFY(help.size() >= 10);

        QFile answers(kExample + QStringLiteral("/niveles.csv"));
        QVERIFY(answers.open(QIODevice::ReadOnly | QIODevice::Text));
        answers.readLine();
        int answered = 0;
        while (!answers.atEnd()) {
            const QStringList f = QString::fromUtf8(answers.readLine()).trimmed().split(QLatin1Char(','));
            QCOMPARE(f.size(), 5);
            const auto it = help.find(f[1]);
            QVERIFY2(it != help.end(), qPrintable(f[1] + QStringLiteral(": not in the help's example")));
            QCOMPARE(QStringList({it->second.turno, it->second.nivel, it->second.curso}), f.mid(2));
            ++answered;
        }
        QCOMPARE(answered, int(help.size()));

        // The import as the window runs it, with the help's codes typed by course name.
        QTemporaryDir work;
        conv::test::RecordingFeedback feedback;
        conv::RunState run(feedback, toPath(work.path()));
        conv::import::BExportarClick(run, pathText(m_school.path()));
        QVERIFY(conv::import::selectCall(run, "2026ORD"));
        conv::import::BitBtn1Click(run);
        std::map<std::string, conv::import::LevelCodes> codes;
        for (const std::string& course :
             conv::test::dumpTable(toPath(work.path()), "CURSOST.DBF", {"CODCURSO", "NOMECURSO"}, "", "\t")) {
            const QStringList f = fromAnsi(course).split(QLatin1Char('\t'));
            const auto it = help.find(f[1]);
            QVERIFY2(it != help.end(), qPrintable(f[1] + QStringLiteral(": not in the help's example")));
            codes[toAnsi(f[0])] = {toAnsi(it->second.turno), toAnsi(it->second.nivel), toAnsi(it->second.curso)};
        }
        QCOMPARE(conv::import::typeLevelCodes(run, codes), int(help.size()));
        conv::import::FinalRecogida(run);
        QVERIFY2(feedback.notices.back() == conv::msg::kFinished, feedback.notices.back().c_str());

        std::map<QString, std::pair<QStringList, QStringList>> groups; // course: XADE's, the timetable's
        for (const std::string& g : conv::test::dumpTable(
                 toPath(work.path()), "GRUPOST.DBF", {"NOMECURSOXADE", "GRUPO", "ABREV", "CODSUBGRUXADE"}, "", "\t")) {
            const QStringList f = fromAnsi(g).split(QLatin1Char('\t'));
            if (!f.value(3).isEmpty())
                continue; // a subgroup
            groups[f[0]].first << f[1];
            groups[f[0]].second << f[2];
        }
        for (const auto& [course, row] : help) {
            QCOMPARE(groups[course].first.join(QStringLiteral(", ")), row.xade);
            QCOMPARE(groups[course].second.join(QStringLiteral(", ")), row.vestrano);
        }
    }
};

QTEST_MAIN(HelpContentTest)
#include "HelpContentTest.moc"
