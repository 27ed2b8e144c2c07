#include "Fakes.h"

#include "app/DataGrid.h"
#include "app/FolderChooser.h"
#include "app/GradientPanel.h"
#include "app/MainWindow.h"
#include "run/RunState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace conv::app;
using conv::app::test::FakeParents;
using conv::app::test::ScriptedBoxes;

Q_DECLARE_METATYPE(std::vector<std::string>)

namespace
{

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_program; // the folder of the program file: Vestrano.ini, XADE.CHM
    QTemporaryDir m_csv;     // a folder to open in the folder list
    ScriptedBoxes m_boxes;
    FakeParents m_parents;

    std::unique_ptr<TMForm> start(std::vector<std::string> parameters = {})
    {
        return startWindow(std::move(parameters), m_program.path(), m_boxes, m_parents);
    }
    QString ini() const
    {
        return QDir(m_program.path()).filePath(QStringLiteral("Vestrano.ini"));
    }

private slots:
    void init()
    {
        QFile::remove(ini());
        QDir::setCurrent(m_csv.path());
    }

    void windowAndBands()
    {
        auto w = start();
        QCOMPARE(w->windowTitle(), QStringLiteral("Exportar e importar datos entre Vestrano y XADE (Formato CSV)"));
        QCOMPARE(w->size(), QSize(599, 269));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QVERIFY(!(w->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    void controlPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("visible");
        const auto row = [](const char* name, QRect r, const char* text, bool visible) {
            QTest::newRow(name) << QString::fromLatin1(name) << r << QString::fromUtf8(text) << visible;
        };
        row("Draw3D2", {0, 0, 289, 99}, "", true);
        row("Draw3D3", {289, 0, 310, 99}, "", true);
        row("Draw3D1", {0, 99, 599, 170}, "", true);
        row("Label3", {24, 3, 265, 41}, "Transformar datos desde XADE hacia Vestrano ", true);
        row("BExportar", {88, 72, 89, 25}, "OK", true);
        row("Label4", {8, 3, 305, 57}, "Transformar datos desde Vestrano hacia XADE", true);
        row("BImportar", {96, 72, 89, 25}, "OK", true);
        row("Directorios", {150, 34, 287, 110}, "", true);
        row("Unidades", {150, 147, 137, 19}, "", true);
        row("Button1", {12, 146, 77, 21}, "F1 AYUDA", true);
        row("BClose", {480, 87, 89, 25}, "&Salir", true);
        row("Panel1", {11, 34, 289, 110}, "", false);
        row("wwDBGridCODCENTRO", {7, 18, 277, 56}, "", false);
        row("BitBtn1", {106, 83, 81, 23}, "Continuar", false);
        row("Panel2", {6, 1, 587, 266}, "", false);
        row("Label8", {157, 3, 382, 26},
            "Escriba las Abreviaturas Turno (1 caracter), Nivel (hasta 5 cars.) y Curso (hasta 2 cars.). Servirán "
            "para las Abreviaturas de Vestrano.",
            false);
        row("Label11", {56, 36, 483, 26},
            "ATENCIÓN - Los Identificadores o Abreviaturas que luego aparecerán en Vestrano, se formarán en función "
            "de las  siglas que aquí se introduzcan.",
            false);
        row("Label9", {442, 65, 136, 78},
            "!!!!!!! ATENCIÓN !!!!!!!  Existe algún NIVEL o CURSO, sin contenido. Debe completar todos los datos en la "
            "columna NIVEL y CURSO.",
            false);
        row("wwDBGridNIVIMP", {6, 65, 430, 166}, "", false);
        row("BitBtn2", {488, 238, 89, 25}, "Aceptar", false);
        row("Button2", {356, 238, 115, 25}, "Volver a los Datos", false);
    }

    void controlPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(QString, text);
        QFETCH(bool, visible);
        auto w = start();
        auto* c = w->findChild<QWidget*>(name);
        QVERIFY(c);
        QCOMPARE(c->geometry(), place);
        QCOMPARE(c->isVisible(), visible);
        if (auto* l = qobject_cast<QLabel*>(c))
            QCOMPARE(l->text(), text);
        if (auto* b = qobject_cast<QPushButton*>(c))
            QCOMPARE(b->text(), text);
    }

    void labelsAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("text");
        QTest::newRow("Label12") << "Label12" << QPoint(67, 4) << "PRIMERO ==>";
        QTest::newRow("Label5") << "Label5" << QPoint(152, 4)
                                << "Seleccione la Carpeta en la que se encuentran los Ficheros CSV de XADE";
        QTest::newRow("Label6") << "Label6" << QPoint(152, 18) << "Ruta Actual:";
        QTest::newRow("Label1") << "Label1" << QPoint(368, 149) << "TransVestranoXADE para Vestrano V-1.0";
        QTest::newRow("Label7") << "Label7" << QPoint(9, 5) << "Seleccionar la Convocatoria a importar:";
        QTest::newRow("Label10") << "Label10" << QPoint(10, 6) << "NIVELES DE ESTUDIOS";
    }

    void labelsAtTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, at);
        QFETCH(QString, text);
        auto w = start();
        auto* l = w->findChild<QLabel*>(name);
        QVERIFY(l);
        QCOMPARE(l->pos(), at);
        QCOMPARE(l->text(), text);
        QVERIFY(l->width() >= QFontMetrics(l->font()).horizontalAdvance(text)); // sized to its text
    }

    void gradientsPaintTheirColours_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("top");
        QTest::addColumn<QColor>("middle");
        QTest::addColumn<QColor>("bottom");
        QTest::newRow("Draw3D1") << "Draw3D1" << QColor(204, 216, 230) << QColor(207, 242, 254)
                                 << QColor(194, 205, 254);
        QTest::newRow("Draw3D2") << "Draw3D2" << QColor(255, 238, 221) << QColor(Qt::white) << QColor(249, 211, 125);
        QTest::newRow("Draw3D3") << "Draw3D3" << QColor(255, 238, 221) << QColor(Qt::white) << QColor(249, 211, 125);
    }

    void gradientsPaintTheirColours()
    {
        QFETCH(QString, name);
        QFETCH(QColor, top);
        QFETCH(QColor, middle);
        QFETCH(QColor, bottom);
        auto w = start();
        auto* panel = w->findChild<GradientPanel*>(name);
        QVERIFY(panel);
        QImage img(panel->size(), QImage::Format_RGB32);
        img.fill(Qt::black);
        panel->render(&img, {}, {}, QWidget::DrawWindowBackground); // the panel alone, no children
        const int x = 2;
        const auto near = [](QColor a, QColor b) {
            return qAbs(a.red() - b.red()) <= 3 && qAbs(a.green() - b.green()) <= 3 && qAbs(a.blue() - b.blue()) <= 3;
        };
        QVERIFY2(near(img.pixelColor(x, 0), top), qPrintable(img.pixelColor(x, 0).name()));
        QVERIFY2(near(img.pixelColor(x, (panel->height() - 1) / 2), middle),
                 qPrintable(img.pixelColor(x, panel->height() / 2).name()));
        QVERIFY2(near(img.pixelColor(x, panel->height() - 1), bottom),
                 qPrintable(img.pixelColor(x, panel->height() - 1).name()));
    }

    void commandLine_data()
    {
        QTest::addColumn<std::vector<std::string>>("parameters");
        QTest::addColumn<bool>("embedded");
        QTest::addColumn<bool>("draw3D2");
        QTest::addColumn<bool>("draw3D3");
        QTest::addColumn<QString>("box");
        using P = std::vector<std::string>;
        QTest::newRow("none") << P{} << false << true << true << "";
        QTest::newRow("one parameter") << P{"importar"} << false << true << true << "";
        QTest::newRow("three parameters") << P{"importar", "1A2B", "x"} << false << true << true << "";
        QTest::newRow("importar") << P{"importar", "1A2B"} << true << false << true << "";
        QTest::newRow("IMPORTAR") << P{"IMPORTAR", "1A2B"} << true << false << true << "";
        QTest::newRow("Importar") << P{"Importar", "1a2b"} << true << false << true << "";
        QTest::newRow("exportar, leading zeros") << P{"exportar", "0001A2B"} << true << true << false << "";
        QTest::newRow("other word") << P{"otro", "1A2B"} << true << true << true << "";
        QTest::newRow("0x prefix") << P{"importar", "0x1A2B"} << false << true << true
                                   << "error: '$0x1A2B' is not a valid integer value.";
        QTest::newRow("sign") << P{"importar", "-1A2B"} << false << true << true
                              << "error: '$-1A2B' is not a valid integer value.";
        QTest::newRow("nine digits") << P{"importar", "123456789"} << false << true << true
                                     << "error: '$123456789' is not a valid integer value.";
        QTest::newRow("names no window") << P{"importar", "1A2C"} << false << true << true
                                         << "error: Invalid window handle $1A2C.";
    }

    void commandLine()
    {
        QFETCH(std::vector<std::string>, parameters);
        QFETCH(bool, embedded);
        QFETCH(bool, draw3D2);
        QFETCH(bool, draw3D3);
        QFETCH(QString, box);
        m_parents.embeds = 0;
        auto w = start(parameters);
        QCOMPARE(w->isEmbedded(), embedded);
        QCOMPARE(m_parents.embeds, embedded ? 1 : 0);
        QCOMPARE(w->run().NumParametros, embedded ? 2 : 0);
        QCOMPARE(w->run().Transformado, 0);
        QCOMPARE(w->Draw3D2->isVisible(), draw3D2);
        QCOMPARE(w->Draw3D3->isVisible(), draw3D3);
        // The panel left alone fills the whole top band.
        if (!draw3D2)
            QCOMPARE(w->Draw3D3->geometry(), QRect(0, 0, 599, 99));
        if (!draw3D3)
            QCOMPARE(w->Draw3D2->geometry(), QRect(0, 0, 599, 99));
        QCOMPARE(m_boxes.shown.join('\n'), box);
        // Embedded the status is written at close; standalone nothing is.
        QVERIFY(w->close());
        QCOMPARE(QFile::exists(ini()), embedded);
    }

    void statusKeepsTheRestOfTheFile()
    {
        const QByteArray before = "; Vestrano\r\n[General]\r\nRuta=C:\\V\r\n\r\n[Transformadores]\r\nTransformado=1\r\n"
                                  "Otro=x\r\n[Ultimo]\r\nk=v";
        writeAll(ini(), before);
        auto w = start({"importar", "1A2B"});
        QVERIFY(w->close());
        QCOMPARE(readAll(ini()), QByteArray(before).replace("Transformado=1", "Transformado=0"));
    }

    void unwritableStatusAsksAndNeverTrapsTheWindow()
    {
        const QString box = "question: Reintentar | Unable to write to " + QDir::toNativeSeparators(ini()) +
            ".\n\n" + QString::fromUtf8(kStatusNotWritten);
        // "Reintentar" while the place stays unwritable asks again; "Cancelar" closes without it.
        QDir(m_program.path()).mkdir(QStringLiteral("Vestrano.ini")); // a folder where the file should be
        {
            auto w = start({"exportar", "1A2B"});
            QSignalSpy closed(w.get(), &TMForm::closed);
            m_boxes.answers = {true, false};
            QVERIFY(w->close());
            QCOMPARE(m_boxes.shown, QStringList({box, box}));
            QCOMPARE(closed.count(), 1);
            QVERIFY(QFileInfo(ini()).isDir());
        }
        // "Reintentar" once the place is writable writes the status and closes.
        m_boxes.shown.clear();
        auto w = start({"exportar", "1A2B"});
        m_boxes.answers = {true};
        m_boxes.onQuestion = [this] { QDir(m_program.path()).rmdir(QStringLiteral("Vestrano.ini")); };
        QVERIFY(w->close());
        m_boxes.onQuestion = nullptr;
        QCOMPARE(m_boxes.shown, QStringList({box}));
        QCOMPARE(readAll(ini()), QByteArray("[Transformadores]\r\nTransformado=0\r\n"));
    }

    void hostGoneClosesAndWritesTheStatus()
    {
        auto w = start({"importar", "1A2B"});
        QSignalSpy closed(w.get(), &TMForm::closed);
        m_parents.existing = 0; // the host destroys its window
        QVERIFY(closed.wait(2000));
        m_parents.existing = 0x1A2B;
        QVERIFY(!w->isVisible());
        QCOMPARE(readAll(ini()), QByteArray("[Transformadores]\r\nTransformado=0\r\n"));
    }

    void missingFolder_data()
    {
        QTest::addColumn<bool>("embedded");
        QTest::addColumn<bool>("exportar"); // BExportar, else BImportar
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("BExportar standalone") << false << true << QByteArray();
        QTest::newRow("BImportar standalone") << false << false << QByteArray();
        QTest::newRow("BExportar embedded") << true << true << QByteArray("-1");
        QTest::newRow("BImportar embedded") << true << false << QByteArray("0");
    }

    void missingFolder()
    {
        QFETCH(bool, embedded);
        QFETCH(bool, exportar);
        QFETCH(QByteArray, status);
        QTemporaryDir gone;
        QDir::setCurrent(gone.path());
        auto w = start(embedded ? std::vector<std::string>{"otro", "1A2B"} : std::vector<std::string>{});
        QCOMPARE(w->currentFolder(), QDir(gone.path()).canonicalPath());
        QDir::setCurrent(m_csv.path());
        QVERIFY(gone.remove());
        QTest::mouseClick(exportar ? w->BExportar : w->BImportar, Qt::LeftButton);
        QCOMPARE(m_boxes.shown.join('\n'), QStringLiteral("message: No existe la carpeta"));
        QCOMPARE(w->isVisible(), !embedded);
        QVERIFY(w->BExportar->isEnabled());
        QVERIFY(w->BImportar->isEnabled());
        QVERIFY(w->Directorios->isVisible() || embedded);
        if (embedded)
            QCOMPARE(readAll(ini()), "[Transformadores]\r\nTransformado=" + status + "\r\n");
        else
            QVERIFY(!QFile::exists(ini()));
    }

    void folderListOpensOnlyWhenOpened()
    {
        QDir(m_csv.path()).mkpath(QStringLiteral("xade/2026"));
        auto w = start();
        const QString base = QDir(m_csv.path()).canonicalPath();
        QCOMPARE(w->currentFolder(), base);
        // The chain down to the folder, then its sub-folders.
        const int sub = w->Directorios->count() - 1;
        QCOMPARE(w->Directorios->folderAt(sub), base + "/xade");
        QCOMPARE(w->Directorios->folderAt(0), base.left(base.indexOf('/') + 1)); // "/" or "C:/"
        // Selecting changes nothing.
        w->Directorios->setCurrentRow(sub);
        QCOMPARE(w->currentFolder(), base);
        QCOMPARE(QDir::currentPath(), base);
        // Enter opens the selected entry; it becomes the process's current folder.
        w->Directorios->setFocus();
        QTest::keyClick(w->Directorios, Qt::Key_Return);
        QCOMPARE(w->currentFolder(), base + "/xade");
        QCOMPARE(QDir::currentPath(), base + "/xade");
        QCOMPARE(w->Label2->text(), shortenFolderText(QDir::toNativeSeparators(base + "/xade"), 287,
                                                      QFontMetrics(w->Label2->font()), QDir::separator().toLatin1()));
        // A double-click opens too.
        const QRect r = w->Directorios->visualItemRect(w->Directorios->item(w->Directorios->count() - 1));
        QTest::mouseClick(w->Directorios->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(w->currentFolder(), base + "/xade"); // a click only selects
        QTest::mouseDClick(w->Directorios->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(w->currentFolder(), base + "/xade/2026");
        QVERIFY(m_boxes.shown.isEmpty());
    }

    void unreadableFolderKeepsTheList()
    {
        auto w = start();
        const QString before = w->currentFolder();
        w->Directorios->openRequested(QStringLiteral("/no/such/folder"));
        QCOMPARE(w->currentFolder(), before);
        QCOMPARE(m_boxes.shown.join('\n'), QStringLiteral("error: Invalid filename.\nFile: /no/such/folder"));
    }

    void shortenedFolderText_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("chars"); // room, in characters of a fixed-width font
        QTest::addColumn<QString>("shown");
        QTest::newRow("fits") << "/home/ana/xade" << 20 << "/home/ana/xade";
        QTest::newRow("one folder cut") << "/home/ana/xade" << 13 << "/.../ana/xade";
        QTest::newRow("two folders cut") << "/home/ana/xade" << 10 << "/.../xade";
        QTest::newRow("only the last") << "/home/ana/xade" << 8 << ".../xade";
        QTest::newRow("nothing fits") << "/home/ana/xade" << 2 << "xade";
        QTest::newRow("drive letter kept") << "C:\\datos\\xade\\2026" << 16 << "C:\\...\\xade\\2026";
        QTest::newRow("drive letter dropped") << "C:\\datos\\xade\\2026" << 9 << "...\\2026";
    }

    void shortenedFolderText()
    {
        QFETCH(QString, folder);
        QFETCH(int, chars);
        QFETCH(QString, shown);
        QFont mono(QStringLiteral("DejaVu Sans Mono"));
        mono.setStyleHint(QFont::Monospace);
        const QFontMetrics fm(mono);
        const QChar sep = folder.contains('\\') ? QChar('\\') : QChar('/');
        QCOMPARE(shortenFolderText(folder, chars * fm.horizontalAdvance('x'), fm, sep), shown);
    }

    void levelGridCellColours()
    {
        const QColor grid(255, 255, 220);
        const QColor face = QApplication::palette().color(QPalette::Button);
        QCOMPARE(TMForm::wwDBGridNIVIMPCalcCellColors(QStringLiteral("CODCURSO"), grid), face);
        QCOMPARE(TMForm::wwDBGridNIVIMPCalcCellColors(QStringLiteral("NOMECURSO"), grid), face);
        QCOMPARE(TMForm::wwDBGridNIVIMPCalcCellColors(QStringLiteral("codcurso"), grid), grid);
        QCOMPARE(TMForm::wwDBGridNIVIMPCalcCellColors(QStringLiteral("NIVEL"), grid), grid);
    }

    void helpWithoutFileOrViewerSaysSo()
    {
        auto w = start();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::mouseClick(w->Button1, Qt::LeftButton);
        QTest::keyClick(w.get(), Qt::Key_F1);
        const QString notInstalled = QStringLiteral("message: La ayuda no está instalada en este equipo.");
        QCOMPARE(m_boxes.shown, QStringList({notInstalled, notInstalled}));
    }

    void smallLookPoints()
    {
        auto w = start();
        // Both direction buttons show the default frame; the path stands clear of its caption.
        QVERIFY(w->BExportar->isDefault());
        QVERIFY(w->BImportar->isDefault());
        auto* caption = w->findChild<QLabel*>(QStringLiteral("Label6"));
        auto* path = w->findChild<QLabel*>(QStringLiteral("Label2"));
        QVERIFY(path->x() > caption->geometry().right() + 1);
        QCOMPARE(path->y(), 19);
        QVERIFY(!w->BClose->icon().isNull());
    }

    void salirClosesWithAltS()
    {
        auto w = start({"importar", "1A2B"});
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY(!w->isVisible());
        QVERIFY(QFile::exists(ini()));
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
