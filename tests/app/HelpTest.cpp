#include "HelpFile.h"

#include "app/help/ChmFile.h"
#include "app/help/Help.h"
#include "app/help/HelpViewer.h"

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
#include <QtEndian>

using namespace conv::app;
using conv::app::test::helpFile;
using conv::app::test::helpLanguage;
using conv::app::test::openHelp;
using conv::app::test::referenceHelpFile;

namespace
{

const QString kChm = helpFile();

/// The titles the tests look for, in the language of the help under test.
struct Titles
{
    QString mainWindow, templateDialog, start, timetableFile, errors, review, passedOver, messages, engine;
};

Titles titles()
{
    if (helpLanguage() == QLatin1String("gl"))
        return {QStringLiteral("A xanela principal"),          QStringLiteral("O modelo horario"),
                QStringLiteral("Axuda do conversor"),          QStringLiteral("O ficheiro HORARIO.CSV"),
                QStringLiteral("Erros de ficheiros e táboas"), QStringLiteral("Revisión dos ficheiros de XADE"),
                QStringLiteral("Clases que non se exportaron"), QStringLiteral("Mensaxes do programa"),
                QStringLiteral("Mensaxes do motor de táboas")};
    return {QStringLiteral("La ventana principal"),         QStringLiteral("Control de Plantilla Horaria"),
            QStringLiteral("Ayuda del conversor"),          QStringLiteral("El archivo HORARIO.CSV"),
            QStringLiteral("Errores de archivos y tablas"), QStringLiteral("Revisión de los ficheros de XADE"),
            QStringLiteral("Clases que no se han exportado"), QStringLiteral("Mensajes del programa"),
            QStringLiteral("Mensajes del motor de tablas")};
}

/// A sitemap's shape: each entry's page and depth, in order.
QStringList shape(const QList<SitemapEntry>& entries)
{
    QStringList out;
    for (const SitemapEntry& e : entries)
        out << QStringLiteral("%1 %2").arg(e.depth).arg(e.local);
    return out;
}

HelpViewer* shownViewer()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<HelpViewer*>(w); v && v->isVisible())
            return v;
    return nullptr;
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

    /// Full-text search is compiled in, and the help window offers it: the file holds the search
    /// index, and its window type shows the Search tab beside Contents and Index.
    void fullTextSearchIsOn()
    {
        auto chm = openHelp();
        QVERIFY(chm->read(QStringLiteral("/$FIftiMain")).size() > 1024);
        // #WINDOWS: the number of window types and the size of each, then the types; a type's
        // properties (HHWIN_PROP_*) lie 16 bytes into it.
        const QByteArray windows = chm->read(QStringLiteral("/#WINDOWS"));
        QVERIFY(windows.size() >= 8 + 20);
        QVERIFY(qFromLittleEndian<quint32>(windows.constData()) >= 1);
        const quint32 properties = qFromLittleEndian<quint32>(windows.constData() + 8 + 16);
        constexpr quint32 kTriPane = 1u << 5, kTabSearch = 1u << 10;
        QVERIFY2((properties & kTriPane) && (properties & kTabSearch), qPrintable(QString::number(properties, 16)));
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
        static const QRegularExpression href(QStringLiteral("(?:href|src)\\s*=\\s*\"([^\"]*)\""),
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

    /// A translation is the reference help in another language: the same pages, the same contents
    /// tree, an index entry for each of the reference's (the same page, at the same depth), and
    /// the same contexts, so that F1 opens the same page whatever the language.
    void sameShapeAsTheReferenceHelp()
    {
        auto chm = openHelp();
        auto reference = ChmFile::open(referenceHelpFile());
        QVERIFY(reference);
        // The same pictures too, each taken of the window in the help's language ("start-gl.png").
        QStringList pages = chm->pages();
        pages.replaceInStrings(QStringLiteral("-%1.png").arg(helpLanguage()), QStringLiteral(".png"));
        pages.sort();
        QStringList referencePages = reference->pages();
        referencePages.sort();
        QCOMPARE(pages, referencePages);
        QCOMPARE(shape(parseSitemap(chm->read(chm->contentsFile()))),
                 shape(parseSitemap(reference->read(reference->contentsFile()))));
        QStringList index = shape(parseSitemap(chm->read(chm->indexFile())));
        QStringList referenceIndex = shape(parseSitemap(reference->read(reference->indexFile())));
        index.sort();
        referenceIndex.sort();
        QCOMPARE(index, referenceIndex);
        for (int context = 0; context <= 100; ++context)
            QCOMPARE(chm->contextTopic(context), reference->contextTopic(context));
    }

    /// The Galician pages leave in Spanish only what the program shows in Spanish (its messages,
    /// captions and screen texts, which the pages mark or quote): words only Spanish uses, found
    /// anywhere else, are text left untranslated.
    void noSpanishInTheGalicianText()
    {
        if (helpLanguage() != QLatin1String("gl"))
            QSKIP("the Spanish help is the reference");
        static const QRegularExpression marked(QStringLiteral(R"re(<(b|kbd|code|dt|blockquote)\b[^>]*>.*?</\1>)re"),
                                               QRegularExpression::CaseInsensitiveOption |
                                                   QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression quoted(QStringLiteral("\\x{00AB}[^\\x{00BB}]*\\x{00BB}"));
        static const QRegularExpression word(QStringLiteral("\\w+"), QRegularExpression::UseUnicodePropertiesOption);
        static const QSet<QString> spanish{
            QStringLiteral("el"),      QStringLiteral("los"),     QStringLiteral("las"),    QStringLiteral("del"),
            QStringLiteral("y"),       QStringLiteral("usted"),   QStringLiteral("archivo"), QStringLiteral("archivos"),
            QStringLiteral("carpeta"), QStringLiteral("ventana"), QStringLiteral("pulse"),  QStringLiteral("vea"),
            QStringLiteral("ayuda"),   QStringLiteral("hoja"),    QStringLiteral("tabla"),  QStringLiteral("mensaje"),
            QStringLiteral("cuando"),  QStringLiteral("después"), QStringLiteral("también"), QStringLiteral("nuevo")};
        auto chm = openHelp();
        QStringList found;
        for (const QString& page : chm->pages()) {
            if (!page.endsWith(QLatin1String(".htm")))
                continue;
            QTextDocument doc;
            doc.setHtml(QString::fromUtf8(chm->read(page)).remove(marked));
            for (auto it = word.globalMatch(doc.toPlainText().remove(quoted)); it.hasNext();)
                if (const QString w = it.next().captured().toLower(); spanish.contains(w))
                    found << page + QStringLiteral(": ") + w;
        }
        found.removeDuplicates();
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    void contextOpensItsPage_data()
    {
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("heading");
        const Titles t = titles();
        QTest::newRow("main window") << kContextMainWindow << "/ventana.htm" << t.mainWindow;
        QTest::newRow("template dialog") << kContextTemplateDialog << "/plantilla.htm" << t.templateDialog;
        QTest::newRow("errors") << kContextErrors << "/errores.htm" << t.errors;
        QTest::newRow("review") << kContextReview << "/revision.htm" << t.review;
        QTest::newRow("classes passed over") << kContextPassedOver << "/no-exportadas.htm" << t.passedOver;
        QTest::newRow("messages") << kContextMessages << "/mensajes.htm" << t.messages;
        QTest::newRow("table engine") << kContextEngine << "/motor.htm" << t.engine;
        QTest::newRow("unmapped context: start page") << 99 << "/inicio.htm" << t.start;
        QTest::newRow("contents") << 0 << "/inicio.htm" << t.start;
    }

    void contextOpensItsPage()
    {
        QFETCH(int, context);
        QFETCH(QString, page);
        QFETCH(QString, heading);
        // The window looks for its help under one name in its own folder.
        QTemporaryDir program;
        QVERIFY(QFile::copy(kChm, program.filePath(QString::fromLatin1(kHelpFile))));
        Help help(program.path());
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
        const auto found = tree->findItems(titles().timetableFile, Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        QVERIFY(found.first()->parent());
        QCOMPARE(found.first()->parent()->text(0), QStringLiteral("De Vestrano a XADE"));
        QCOMPARE(tree->topLevelItemCount(), 8);
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
        // The page quotes the screen's title as the window of its language shows it.
        const QString levels = helpLanguage() == QLatin1String("gl") ? QStringLiteral("NIVEIS DE ESTUDOS")
                                                                     : QStringLiteral("NIVELES DE ESTUDIOS");
        QVERIFY(viewer.browser()->toPlainText().contains(levels));
    }
};

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
