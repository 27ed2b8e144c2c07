#include "app/help/ChmFile.h"
#include "app/help/Help.h"
#include "app/help/HelpViewer.h"
#include "common/IoErrors.h"
#include "export/Export.h"
#include "import/Messages.h"
#include "run/Feedback.h"
#include "run/RunFile.h"
#include "tables/EngineError.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTreeWidget>

using namespace conv::app;

namespace
{

const QString kChm = QStringLiteral(CONV_HELP_CHM);

std::unique_ptr<ChmFile> openHelp()
{
    auto chm = ChmFile::open(kChm);
    if (!chm)
        qFatal("cannot open %s", qPrintable(kChm));
    return chm;
}

HelpViewer* shownViewer()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<HelpViewer*>(w); v && v->isVisible())
            return v;
    return nullptr;
}

/// A page's text as a reader sees it, blanks folded.
QString pageText(const ChmFile& chm, const QString& page)
{
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(chm.read(page)));
    return doc.toPlainText().simplified();
}

/// The program's texts are Windows-1252; the ones here use no character where it differs from Latin-1.
QString ansi(const std::string& text)
{
    return QString::fromLatin1(text).simplified();
}

} // namespace

class HelpTest : public QObject
{
    Q_OBJECT

private slots:
    void fileHasContentsIndexAndStartPage()
    {
        auto chm = openHelp();
        QCOMPARE(chm->defaultTopic(), QStringLiteral("/inicio.htm"));
        QVERIFY(!chm->title().isEmpty());
        QVERIFY(parseSitemap(chm->read(chm->contentsFile())).size() >= 10);
        QVERIFY(parseSitemap(chm->read(chm->indexFile())).size() >= 20);
    }

    void everyPageIsInTheContents()
    {
        auto chm = openHelp();
        QSet<QString> inContents;
        for (const SitemapEntry& e : parseSitemap(chm->read(chm->contentsFile())))
            inContents.insert(QLatin1Char('/') + e.local);
        QSet<QString> pages;
        for (const QString& p : chm->pages())
            if (p.endsWith(QLatin1String(".htm")))
                pages.insert(p);
        QVERIFY(pages.size() >= 10);
        QCOMPARE(inContents, pages);
    }

    void everyLinkResolves()
    {
        auto chm = openHelp();
        static const QRegularExpression href(QStringLiteral("href\\s*=\\s*\"([^\"]*)\""),
                                             QRegularExpression::CaseInsensitiveOption);
        QStringList broken;
        for (const QString& page : chm->pages()) {
            if (!page.endsWith(QLatin1String(".htm")))
                continue;
            for (auto it = href.globalMatch(QString::fromLatin1(chm->read(page))); it.hasNext();) {
                const QString link = it.next().captured(1);
                const QUrl url = QUrl(QStringLiteral("file:") + page).resolved(QUrl(link));
                if (!link.startsWith(QLatin1Char('#')) && !chm->contains(url.path()))
                    broken << page + QStringLiteral(" -> ") + link;
            }
        }
        for (const QString& sitemap : {chm->contentsFile(), chm->indexFile()})
            for (const SitemapEntry& e : parseSitemap(chm->read(sitemap)))
                if (!chm->contains(e.local))
                    broken << sitemap + QStringLiteral(" -> ") + e.local;
        QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QLatin1Char('\n'))));
    }

    void contextOpensItsPage_data()
    {
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("heading");
        QTest::newRow("main window") << kContextMainWindow << "/ventana.htm" << "La ventana principal";
        QTest::newRow("template dialog") << kContextTemplateDialog << "/plantilla.htm"
                                         << "Control de Plantilla Horaria";
        QTest::newRow("unmapped context: start page") << 99 << "/inicio.htm" << "Ayuda del conversor";
        QTest::newRow("contents") << 0 << "/inicio.htm" << "Ayuda del conversor";
    }

    void contextOpensItsPage()
    {
        QFETCH(int, context);
        QFETCH(QString, page);
        QFETCH(QString, heading);
        Help help(QFileInfo(kChm).absolutePath());
        QVERIFY(context == 0 ? help.showContents() : help.showContext(context));
        HelpViewer* viewer = shownViewer();
        QVERIFY(viewer);
        QCOMPARE(viewer->currentTopic(), page);
        QVERIFY2(viewer->browser()->toPlainText().startsWith(heading), qPrintable(viewer->browser()->toPlainText()));
        // The contents tree follows the page shown.
        QCOMPARE(viewer->contentsTree()->currentItem()->text(0).left(heading.size()), heading);
    }

    void withoutAHelpFileNothingIsShown()
    {
        QTemporaryDir empty;
        QVERIFY(!Help(empty.path()).showContext(kContextMainWindow));
        QVERIFY(!Help(empty.path()).showContents());

        QTemporaryDir bogus; // a file of that name that is no compiled help
        QFile f(bogus.filePath(QStringLiteral("xade.chm")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a help file");
        f.close();
        QVERIFY(!Help(bogus.path()).showContents());
    }

    void contentsAndIndexOpenPages()
    {
        HelpViewer viewer(openHelp());
        viewer.show();
        QTreeWidget* tree = viewer.contentsTree();
        const auto found = tree->findItems(QStringLiteral("El fichero HORARIO.CSV"), Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        QVERIFY(found.first()->parent());
        QCOMPARE(found.first()->parent()->text(0), QStringLiteral("De Vestrano a XADE"));
        QCOMPARE(tree->topLevelItemCount(), 7);
        emit tree->itemActivated(found.first(), 0);
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/horario.htm"));

        auto* filter = viewer.findChild<QLineEdit*>(QStringLiteral("indexFilter"));
        QTest::keyClicks(filter, QStringLiteral("vestrano.i"));
        int visible = 0;
        for (int i = 0; i < viewer.indexList()->count(); ++i)
            visible += viewer.indexList()->item(i)->isHidden() ? 0 : 1;
        QCOMPARE(visible, 1);
        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/integrado.htm"));

        // A link inside a page opens the page it names.
        viewer.browser()->setSource(QUrl(QStringLiteral("/inicio.htm")));
        viewer.browser()->setSource(viewer.browser()->source().resolved(QUrl(QStringLiteral("niveles.htm"))));
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/niveles.htm"));
        QVERIFY(viewer.browser()->toPlainText().contains(QStringLiteral("NIVELES DE ESTUDIOS")));
    }

    void everyMessageIsExplained()
    {
        auto chm = openHelp();
        const QString text = pageText(*chm, QStringLiteral("/mensajes.htm")) + QLatin1Char(' ') +
                             pageText(*chm, QStringLiteral("/errores.htm"));
        QStringList messages;
        for (const char* m : {conv::msg::kNoFolder, conv::msg::kNoCalls, conv::msg::kNoGroupsForCourses,
                              conv::msg::kNoCourseTable, conv::msg::kNoGroups, conv::msg::kNoGroupTable,
                              conv::msg::kNoSubgroups, conv::msg::kNoCentreSubjects, conv::msg::kNoGeneralSubjects,
                              conv::msg::kNoActivities, conv::msg::kNoTeachers, conv::msg::kNoRooms,
                              conv::msg::kFinished, conv::msg::kReuseCaption, conv::kLevelWarning,
                              conv::exporter::kNoFolder, conv::exporter::kFinished})
            messages << ansi(m);
        messages << ansi(conv::msg::kReuseText).split(QRegularExpression(QStringLiteral("\\s*\\n\\r?\\s*")));
        for (const char* m : {conv::engine::kTableMissing, conv::engine::kPathMissing, conv::engine::kTableBusy,
                              conv::engine::kIndexNotFound, conv::engine::kIndexMissing, conv::engine::kCorruptHeader,
                              conv::engine::kCorruptIndex, conv::engine::kDiskFull, conv::engine::kNoRights,
                              conv::engine::kReadOnly, conv::engine::kIndexExpression,
                              conv::engine::kInvalidFieldName, conv::engine::kInvalidFieldSize,
                              conv::engine::kTooManyFields, conv::engine::kTableFull, conv::engine::kNotRegular,
                              conv::kWorkFolderBusy, conv::kUnfinishedImport, conv::kUnfinishedExport,
                              conv::kNotRegularFile})
            messages << ansi(m);
        for (int code : {2, 3, 4, 5, 100, 101, 106})
            messages << ansi(conv::ioErrorMessage(code));
        messages << QStringLiteral("I/O error") << QStringLiteral("List index out of bounds")
                 << QStringLiteral("is not a valid integer value") << QStringLiteral("Invalid window handle")
                 << QStringLiteral("not found") << QStringLiteral("Delete record?")
                 << QStringLiteral("Unable to write to");
        QStringList missing;
        for (const QString& m : messages)
            if (!m.isEmpty() && !text.contains(m))
                missing << m;
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
