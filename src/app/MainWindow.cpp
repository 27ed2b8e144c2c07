#include "app/MainWindow.h"

#include "app/AnsiText.h"
#include "app/ControlPlantilla.h"
#include "app/DataGrid.h"
#include "app/FolderChooser.h"
#include "app/GradientPanel.h"
#include "app/help/Help.h"
#include "app/ListDialog.h"
#include "app/MessageBoxes.h"
#include "app/QtPath.h"
#include "app/Translation.h"
#include "app/WindowFeedback.h"
#include "app/embed/Embedding.h"
#include "app/help/Help.h"
#include "common/IoErrors.h"
#include "export/Export.h"
#include "import/Import.h"
#include "import/Preflight.h"
#include "lang/Messages.h"
#include "run/Explain.h"
#include "run/Feedback.h"
#include "run/RunState.h"
#include "shell/ProfileFile.h"
#include "tables/Table.h"
#include "tables/WorkFolder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPainter>
#include <QShortcut>
#include <QStyle>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace conv::app
{
namespace
{

const QColor kInactiveCaption(191, 205, 219);
const QColor kGradientInactiveCaption(215, 228, 242);
const QColor kMaroon(128, 0, 0);
const QColor kSilver(192, 192, 192);
const QColor kFolderBackground(240, 251, 255);
constexpr int kFolderListWidth = 287;
constexpr int kHostPollMs = 250;

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

QColor tooltipBackground()
{
    return QApplication::palette().color(QPalette::ToolTipBase);
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, QColor color, bool bold)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, color);
    l->setPalette(p);
    QFont f = l->font();
    f.setBold(bold);
    l->setFont(f);
    l->move(x, y);
    l->adjustSize(); // sized to its text
    return l;
}

/// A fixed-size, word-wrapped label.
QLabel* boxLabel(QWidget* parent, const char* name, const QString& text, QRect place, QColor color, bool bold)
{
    QLabel* l = label(parent, name, text, place.x(), place.y(), color, bold);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setGeometry(place);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, QRect place,
                    QStyle::StandardPixmap picture = QStyle::SP_CustomBase)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    if (picture != QStyle::SP_CustomBase)
        b->setIcon(b->style()->standardIcon(picture));
    b->setGeometry(place);
    return b;
}

QWidget* panel(QWidget* parent, const char* name, QRect place, QColor color)
{
    auto* w = new QWidget(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(place);
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, color);
    w->setPalette(p);
    return w;
}

/// An open door with an arrow leaving through it, for "&Salir".
QIcon exitDoorIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 60, 30), 1));
    p.setBrush(QColor(250, 240, 215));
    p.drawRect(QRectF(1.5, 1.5, 9, 13)); // the door frame and the way out
    p.setBrush(QColor(150, 95, 40));
    const QPointF leaf[] = {{1.5, 1.5}, {6.5, 3.5}, {6.5, 15.5}, {1.5, 14.5}};
    p.drawPolygon(leaf, 4); // the door, swung open
    p.setPen(QPen(QColor(0, 128, 0), 2));
    p.drawLine(QPointF(8, 8), QPointF(15, 8));
    p.drawLine(QPointF(12, 5), QPointF(15, 8));
    p.drawLine(QPointF(12, 11), QPointF(15, 8));
    return QIcon(pixmap);
}

/// The core's feedback through the window, adding the lists the user looks through.
class ListingFeedback : public Feedback
{
public:
    ListingFeedback(std::unique_ptr<Feedback> window, TMForm& form)
        : m_window(std::move(window))
        , m_form(form)
    {
    }
    void notice(const std::string& text) override
    {
        m_window->notice(text);
    }
    void errorBox(const std::string& text) override
    {
        m_window->errorBox(text);
    }
    bool askOkCancel(const std::string& caption, const std::string& text) override
    {
        return m_window->askOkCancel(caption, text);
    }
    void change(UiChange what) override
    {
        m_window->change(what);
    }
    void setBusy(bool busy) override
    {
        m_window->setBusy(busy);
    }
    void checkTemplate(const std::filesystem::path& workFolder) override
    {
        m_window->checkTemplate(workFolder);
    }
    void showList(const RowList& list) override
    {
        m_form.showList(list);
    }

private:
    std::unique_ptr<Feedback> m_window;
    TMForm& m_form;
};

QFont titleFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setPixelSize(16);
    f.setBold(true);
    return f;
}

} // namespace

TMForm::TMForm(const WindowSetup& setup, QWidget* parent)
    : QWidget(parent,
              Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                  Qt::WindowCloseButtonHint)
    , m_boxes(*setup.boxes)
    , m_parents(*setup.parents)
    , m_programFolder(setup.programFolder)
    , m_help(std::make_unique<Help>(setup.programFolder, helpFiles(windowLanguage())))
    , m_feedback(std::make_unique<ListingFeedback>(makeWindowFeedback(*this), *this))
{
    setObjectName(QStringLiteral("MForm"));
    setWindowTitle(QString::fromLatin1(kMainCaption));
    setFixedSize(599, 269);
    setFont(formFont());
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, buttonFace());
    setPalette(p);

    buildTopBand();
    buildBottomBand();
    buildCallScreen();
    buildLevelScreen();

    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [this] { showHelp(kMainHelpContext); });

    // The folder list starts on the process's current folder; the work folder is the one for
    // the folder opened, and follows it until a direction starts.
    guarded([this] { Directorios->openFolder(QDir::currentPath()); });
    m_run = std::make_unique<RunState>(*m_feedback, workFolderFor(toPath(Directorios->folder())));
    FormCreate(setup.parameters);
}

TMForm::~TMForm()
{
    // The grids show tables the core owns: let go of them before the core goes.
    wwDBGridCODCENTRO->setTable(nullptr);
    wwDBGridNIVIMP->setTable(nullptr);
}

void TMForm::buildTopBand()
{
    const QColor top(255, 238, 221), middle(Qt::white), bottom(249, 211, 125);
    Draw3D2 = new GradientPanel(top, middle, bottom, this);
    Draw3D2->setObjectName(QStringLiteral("Draw3D2"));
    Draw3D2->setGeometry(0, 0, 289, 99);
    Label3 = boxLabel(Draw3D2, "Label3", tr("Transformar datos desde XADE hacia Vestrano "), {24, 3, 265, 41},
                      Qt::black, true);
    Label3->setFont(titleFont());
    BExportar = button(Draw3D2, "BExportar", tr("OK"), {88, 72, 89, 25}, QStyle::SP_DialogApplyButton);
    BExportar->setDefault(true);
    connect(BExportar, &QPushButton::clicked, this, &TMForm::BExportarClick);

    Draw3D3 = new GradientPanel(top, middle, bottom, this);
    Draw3D3->setObjectName(QStringLiteral("Draw3D3"));
    Draw3D3->setGeometry(289, 0, 310, 99);
    Label4 = boxLabel(Draw3D3, "Label4", tr("Transformar datos desde Vestrano hacia XADE"), {8, 3, 305, 57}, Qt::black,
                      true);
    Label4->setFont(titleFont());
    BImportar = button(Draw3D3, "BImportar", tr("OK"), {96, 72, 89, 25}, QStyle::SP_DialogApplyButton);
    BImportar->setDefault(true);
    connect(BImportar, &QPushButton::clicked, this, &TMForm::BImportarClick);
}

void TMForm::buildBottomBand()
{
    Draw3D1 = new GradientPanel({204, 216, 230}, {207, 242, 254}, {194, 205, 254}, this);
    Draw3D1->setObjectName(QStringLiteral("Draw3D1"));
    Draw3D1->setGeometry(0, 99, 599, 170);
    Label12 = label(Draw3D1, "Label12", tr("PRIMERO ==>"), 67, 4, Qt::red, true);
    Label5 = label(Draw3D1, "Label5", tr("Seleccione la Carpeta en la que se encuentran los Ficheros CSV de XADE"), 152,
                   4, Qt::blue, false);
    Label6 = label(Draw3D1, "Label6", tr("Ruta Actual:"), 152, 18, Qt::blue, false);
    // The path starts at 212, or after "Ruta Actual:" where this font makes that wider.
    Label2 = label(Draw3D1, "Label2", QString(), qMax(212, Label6->geometry().right() + 5), 19, Qt::red, true);

    Directorios = new FolderList(Draw3D1);
    Directorios->setObjectName(QStringLiteral("Directorios"));
    Directorios->setGeometry(150, 34, kFolderListWidth, 110);
    Unidades = new DriveBox(Draw3D1);
    Unidades->setObjectName(QStringLiteral("Unidades"));
    Unidades->setGeometry(150, 147, 137, 19);
    for (QWidget* w : {static_cast<QWidget*>(Directorios), static_cast<QWidget*>(Unidades)}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, kFolderBackground);
        p.setColor(QPalette::Button, kFolderBackground);
        w->setPalette(p);
    }
    connect(Directorios, &FolderList::openRequested, this, &TMForm::openFolder);
    connect(Directorios, &FolderList::folderChanged, this, &TMForm::folderChanged);
    connect(Unidades, &DriveBox::driveChosen, this, &TMForm::openFolder);

    Button1 = button(Draw3D1, "Button1", tr("F1 AYUDA"), {12, 146, 77, 21});
    connect(Button1, &QPushButton::clicked, this, &TMForm::Button1Click);
    BClose = button(Draw3D1, "BClose", tr("&Salir"), {480, 87, 89, 25});
    BClose->setIcon(exitDoorIcon());
    connect(BClose, &QPushButton::clicked, this, &QWidget::close);
    Label1 = label(Draw3D1, "Label1", QString::fromLatin1(kVersionCaption), 368, 149, Qt::red, true);
}

void TMForm::buildCallScreen()
{
    Panel1 = panel(Draw3D1, "Panel1", {11, 34, 289, 110}, kGradientInactiveCaption);
    Label7 = label(Panel1, "Label7", tr("Seleccionar la Convocatoria a importar:"), 9, 5, Qt::blue, true);
    GridOptions o;
    o.fixedColumns = 0; // the first column is fixed in place; the grid never scrolls sideways
    o.allowInsert = true;
    o.allowDelete = true;
    o.stretchLastColumn = true; // DESCRIPCION takes the width the grid has
    o.cellColor = tooltipBackground();
    wwDBGridCODCENTRO = new DataGrid(
        {{"CONVOCATORIA", 6, tr("CONVOC."), false}, {"DESCRIPCION", 30, tr("DESCRIPCION"), false}}, o, Panel1);
    wwDBGridCODCENTRO->setObjectName(QStringLiteral("wwDBGridCODCENTRO"));
    wwDBGridCODCENTRO->setGeometry(7, 18, 277, 56);
    wwDBGridCODCENTRO->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(wwDBGridCODCENTRO, &DataGrid::failed, this, [this](const QString& m) { errorBox(m); });
    connect(wwDBGridCODCENTRO, &DataGrid::deleteRequested, this, [this] { confirmDelete(wwDBGridCODCENTRO); });
    BitBtn1 = button(Panel1, "BitBtn1", tr("Continuar"), {106, 83, 81, 23}, QStyle::SP_ArrowForward);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TMForm::BitBtn1Click);
    Panel1->hide();
}

void TMForm::buildLevelScreen()
{
    Panel2 = panel(this, "Panel2", {6, 1, 587, 266}, kInactiveCaption);
    Label10 = label(Panel2, "Label10", tr("NIVELES DE ESTUDIOS"), 10, 6, kMaroon, true);
    QFont underlined = Label10->font();
    underlined.setUnderline(true);
    Label10->setFont(underlined);
    Label10->adjustSize();
    Label8 = boxLabel(Panel2, "Label8",
                      tr("Escriba las Abreviaturas Turno (1 caracter), Nivel (hasta 5 cars.) y Curso "
                         "(hasta 2 cars.). Servirán para las Abreviaturas de Vestrano."),
                      {157, 3, 382, 26}, Qt::blue, true);
    Label11 = boxLabel(Panel2, "Label11",
                       tr("ATENCIÓN - Los Identificadores o Abreviaturas que luego aparecerán en Vestrano, "
                          "se formarán en función de las  siglas que aquí se introduzcan."),
                       {56, 36, 483, 26}, Qt::red, true);
    Label9 = boxLabel(Panel2, "Label9", coreText(kLevelWarning), {442, 65, 136, 78}, kMaroon, true);
    Label9->setAutoFillBackground(true);
    QPalette p = Label9->palette();
    p.setColor(QPalette::Window, tooltipBackground());
    Label9->setPalette(p);
    Label9->hide();

    GridOptions o;
    o.fixedColumns = 2;
    o.allowInsert = false;
    o.allowDelete = true;
    o.cellColor = tooltipBackground();
    o.alternateColor = kSilver;
    wwDBGridNIVIMP = new DataGrid({{"CODCURSO", 10, QStringLiteral("CODCURSO"), false},
                                   {"NOMECURSO", 30, QStringLiteral("NOMECURSO"), false},
                                   {"TURNO", 1, tr("TURNO"), true},
                                   {"NIVEL", 5, QStringLiteral("NIVEL"), true},
                                   {"CURSO", 3, QStringLiteral("CURSO"), true}},
                                  o, Panel2);
    wwDBGridNIVIMP->setObjectName(QStringLiteral("wwDBGridNIVIMP"));
    wwDBGridNIVIMP->setGeometry(6, 65, 430, 166);
    wwDBGridNIVIMP->gridModel()->calcCellColors = &TMForm::wwDBGridNIVIMPCalcCellColors;
    connect(wwDBGridNIVIMP, &DataGrid::entered, this, &TMForm::wwDBGridNIVIMPEnter);
    connect(wwDBGridNIVIMP, &DataGrid::failed, this, [this](const QString& m) { errorBox(m); });
    connect(wwDBGridNIVIMP, &DataGrid::deleteRequested, this, [this] { confirmDelete(wwDBGridNIVIMP); });

    BitBtn2 = button(Panel2, "BitBtn2", tr("Aceptar"), {488, 238, 89, 25}, QStyle::SP_DialogOkButton);
    BitBtn2->setDefault(true);
    connect(BitBtn2, &QPushButton::clicked, this, &TMForm::FinalRecogida);
    Button2 = button(Panel2, "Button2", tr("Volver a los Datos"), {356, 238, 115, 25});
    connect(Button2, &QPushButton::clicked, this, &TMForm::Button2Click);
    Button2->hide();
    Panel2->hide();
}

void TMForm::FormCreate(const std::vector<std::string>& parameters)
{
    m_run->Transformado = 0;
    m_mode = decideStartMode(parameters);
    if (m_mode.error) {
        // The conversion error ends the embedding; the window runs standalone.
        errorBox(fromAnsi(*m_mode.error));
        return;
    }
    if (!m_mode.embedded)
        return;
    // The caller is expected to pass its own window. A number that names no window is refused
    // like a number that is no number: the error box, then a standalone window.
    const auto handle = static_cast<std::uint32_t>(m_mode.parentHandle);
    if (!m_parents.exists(handle) || !m_parents.embed(this, handle)) {
        errorBox(
            QStringLiteral("%1 $%2").arg(QString::fromLatin1(kInvalidWindow), QString::fromStdString(parameters[1])));
        m_mode = StartMode{};
        return;
    }
    m_run->NumParametros = m_mode.numParametros;
    if (m_mode.hideDraw3D2) {
        Draw3D2->hide();
        Draw3D3->setGeometry(0, 0, width(), 99);
    }
    if (m_mode.hideDraw3D3) {
        Draw3D3->hide();
        Draw3D2->setGeometry(0, 0, width(), 99);
    }
    qApp->installEventFilter(this);
    watchHost();
}

void TMForm::watchHost()
{
    // When the host's window goes away ours goes with it, but the process would live on: close
    // properly, so the status is written.
    auto* timer = new QTimer(this);
    const auto handle = static_cast<std::uint32_t>(m_mode.parentHandle);
    connect(timer, &QTimer::timeout, this, [this, timer, handle] {
        if (m_parents.exists(handle))
            return;
        timer->stop();
        close();
    });
    timer->start(kHostPollMs);
}

QString TMForm::statusFile() const
{
    return fromPath(findNoCase(toPath(m_programFolder), kStatusFile));
}

QString TMForm::currentFolder() const
{
    return Directorios->folder();
}

void TMForm::FormClose()
{
    if (m_run->NumParametros != 2)
        return;
    // A status that cannot be written never keeps the window open: the box says what to do and
    // the user tries again or closes without it.
    for (;;) {
        try {
            writeProfileString(toPath(statusFile()), kStatusSection, kStatusKey,
                               std::to_string(m_run->Transformado));
            return;
        } catch (const std::exception& e) {
            const QString text = fromAnsi(errorText(e)) + QStringLiteral("\n\n") + tr(kStatusNotWritten);
            if (!m_boxes.retry(text))
                return;
        }
    }
}

void TMForm::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
    emit closed();
}

void TMForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Enter presses the focused button, else the default button of the screen in view.
    if (auto* focused = qobject_cast<QPushButton*>(focusWidget()); focused && focused->isEnabled()) {
        focused->click();
        return;
    }
    for (QPushButton* b : {BitBtn2, BitBtn1, BExportar, BImportar})
        if (b->isVisibleTo(this) && b->isEnabled() && b->parentWidget()->isVisibleTo(this) &&
            (b->parentWidget() == Panel2 || !Panel2->isVisibleTo(this))) {
            b->click();
            return;
        }
}

bool TMForm::eventFilter(QObject* watched, QEvent* event)
{
    // Embedded, the keyboard stays with the host's frame until our window asks for it.
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this)
        m_parents.takeFocus(this);
    return QWidget::eventFilter(watched, event);
}

bool TMForm::guarded(const std::function<void()>& handler)
{
    return runHandler(*m_feedback, handler);
}

void TMForm::notice(const QString& text)
{
    // F1 opens the page of the program's messages, which explains each.
    m_boxes.messageWithHelp(text, [this] { showHelp(kContextMessages); });
}

void TMForm::errorBox(const QString& message)
{
    showErrorBox(fromAnsi(errorBoxText(toAnsi(message))));
}

void TMForm::showErrorBox(const QString& formatted)
{
    // The engine's text as it is, then what it means for this file and line, and the help page
    // of the message.
    const std::string box = toAnsi(formatted);
    const int context = helpPageOf(box) == "motor.htm" ? kContextEngine : kContextErrors;
    const auto say = [](std::string_view part) { return lang::localiseUtf8(part, windowLanguage()); };
    m_boxes.explainedError(formatted, QString::fromUtf8(explanationSentence(box, say)),
                           [this, context] { showHelp(context); });
}

void TMForm::confirmDelete(DataGrid* grid)
{
    // As a data-aware grid does: nothing is deleted without the user's OK.
    if (m_boxes.confirm(tr("Delete record?")))
        grid->deleteCurrentRow();
}

bool TMForm::askOkCancel(const QString& caption, const QString& text)
{
    return m_boxes.question(caption, text);
}

void TMForm::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TMForm::checkTemplate(const std::filesystem::path& workFolder)
{
    TControlPlantilla dialog(workFolder, this);
    connect(&dialog, &TControlPlantilla::failed, this, [this](const QString& m) { errorBox(m); });
    connect(&dialog, &TControlPlantilla::helpRequested, this, [this](int context) { showHelp(context); });
    m_boxes.showModal(dialog);
}

void TMForm::showList(const RowList& list)
{
    RowList shown = list;
    shown.helpContext = kContextPassedOver;
    ListDialog dialog(std::move(shown), ListDialog::Choice::Close, this);
    connect(&dialog, &ListDialog::failed, this, [this](const QString& m) { errorBox(m); });
    connect(&dialog, &ListDialog::helpRequested, this, [this](int context) { showHelp(context); });
    setBusy(false); // the list is read, not waited for
    m_boxes.showModal(dialog);
}

bool TMForm::reviewXadeFiles()
{
    // The call as the import takes it: the current row of the call grid.
    Table* calls = &m_run->table(Handle::wwTableCentro);
    if (m_xadeFolder.isEmpty() || !calls->isOpen() || calls->inserting() || calls->eof() || calls->recordCount() == 0)
        return true; // no call: the import reads no line of the groups, and says what is missing
    std::vector<import::Finding> findings;
    const auto started = std::chrono::steady_clock::now();
    try {
        findings = import::checkXadeFolder(toPath(m_xadeFolder), calls->fieldByName("CONVOCATORIA").asString());
    } catch (const std::exception&) {
        // A file that cannot be read stops the import at the same place, and its box says why.
        return true;
    }
    if (std::getenv("TRANSXADE_PAINT_LOG")) // with the paint times, for bench/window_bench.sh
        std::fprintf(stderr, "review %lld us\n",
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                                std::chrono::steady_clock::now() - started)
                                                .count()));
    RowList list = import::reviewList(findings);
    if (list.rows.empty())
        return true; // the flow as it always was
    const bool ends = import::endsTheRun(findings);
    list.intro = tr(ends ? kReviewEnds : kReviewLosses).toStdString();
    list.helpContext = kContextReview;
    ListDialog dialog(std::move(list), ends ? ListDialog::Choice::BackOnly : ListDialog::Choice::BackOrContinue, this);
    connect(&dialog, &ListDialog::failed, this, [this](const QString& m) { errorBox(m); });
    connect(&dialog, &ListDialog::helpRequested, this, [this](int context) { showHelp(context); });
    m_boxes.showModal(dialog);
    return !ends && dialog.result() == QDialog::Accepted;
}

void TMForm::hideFolderChooser()
{
    Directorios->hide();
    Unidades->hide();
}

void TMForm::disableExportar()
{
    BExportar->setEnabled(false);
}

void TMForm::disableImportar()
{
    BImportar->setEnabled(false);
}

void TMForm::showCallScreen()
{
    wwDBGridCODCENTRO->setTable(&m_run->table(Handle::wwTableCentro));
    Panel1->show();
}

void TMForm::showLevelScreen()
{
    Panel1->hide();
    wwDBGridNIVIMP->setTable(&m_run->table(Handle::wwTableNIVIMP));
    // The bands lie under the level screen: their controls take no focus and no keys.
    for (QWidget* band : {static_cast<QWidget*>(Draw3D1), static_cast<QWidget*>(Draw3D2),
                          static_cast<QWidget*>(Draw3D3)})
        band->setEnabled(false);
    Panel2->show();
    Panel2->raise();
}

void TMForm::showLevelWarning()
{
    Label9->show();
    BitBtn2->hide();
    Button2->show();
}

void TMForm::hideLevelWarning()
{
    Button2->hide();
    BitBtn2->show();
    Label9->hide();
}

void TMForm::hideLevelScreen()
{
    Panel2->hide();
    wwDBGridNIVIMP->setTable(nullptr);
    // Controls disabled on their own (a used direction button) stay disabled.
    for (QWidget* band : {static_cast<QWidget*>(Draw3D1), static_cast<QWidget*>(Draw3D2),
                          static_cast<QWidget*>(Draw3D3)})
        band->setEnabled(true);
}

void TMForm::closeWindow()
{
    close();
}

void TMForm::refreshGrids()
{
    // The core may have changed the tables the grids show (the reuse of earlier codes).
    for (DataGrid* grid : {wwDBGridCODCENTRO, wwDBGridNIVIMP}) {
        Table* t = grid->gridModel()->table();
        if (grid->parentWidget()->isVisible() && t && t->isOpen() && !t->editing())
            grid->setTable(t);
    }
}

void TMForm::focusScreen()
{
    // Only once the handler is over: a screen shown before a question (the reuse of codes)
    // must not start editing before the question is answered.
    if (Panel2->isVisible()) {
        if (BitBtn2->isVisible()) {
            if (!wwDBGridNIVIMP->currentIndex().isValid())
                wwDBGridNIVIMP->markFirstCell();
            wwDBGridNIVIMP->setFocus(Qt::OtherFocusReason);
        } else {
            Button2->setFocus(Qt::OtherFocusReason);
        }
    } else if (Panel1->isVisible()) {
        wwDBGridCODCENTRO->setFocus(Qt::OtherFocusReason);
    }
}

void TMForm::openFolder(const QString& folder)
{
    guarded([&] { Directorios->openFolder(folder); });
}

void TMForm::folderChanged(const QString& folder)
{
    QFont bold = Label2->font();
    Label2->setText(
        shortenFolderText(QDir::toNativeSeparators(folder), kFolderListWidth, QFontMetrics(bold), QDir::separator()));
    Label2->adjustSize();
    Unidades->showFolder(folder);
    // The work folder lies on the file system of the folder opened last; until a direction
    // starts, the core follows it.
    if (m_run && BExportar->isEnabled() && BImportar->isEnabled())
        m_run->moveWorkFolder(workFolderFor(toPath(folder)));
}

void TMForm::BExportarClick()
{
    m_xadeFolder = Directorios->folder();
    guarded([this] { import::BExportarClick(*m_run, pathText(m_xadeFolder)); });
    refreshGrids();
    focusScreen();
}

void TMForm::BImportarClick()
{
    guarded([this] { exporter::BImportarClick(*m_run, pathText(Directorios->folder())); });
    setBusy(false); // an error inside the export leaves no wait cursor behind
}

void TMForm::BitBtn1Click()
{
    if (!reviewXadeFiles()) {
        focusScreen(); // back on the call screen; nothing was written
        return;
    }
    guarded([this] { import::BitBtn1Click(*m_run); });
    refreshGrids();
    focusScreen();
}

void TMForm::FinalRecogida()
{
    // A cell still being typed into is saved into the record first, through the grid, so that
    // the grid shows what was saved.
    if (QWidget* editor = QApplication::focusWidget(); editor && wwDBGridNIVIMP->isAncestorOf(editor))
        wwDBGridNIVIMP->setFocus();
    guarded([this] { wwDBGridNIVIMP->gridModel()->post(); });
    const bool done = guarded([this] { import::FinalRecogida(*m_run); });
    setBusy(false); // an error inside a stage leaves no wait cursor behind
    if (!done && Panel2->isVisible()) {
        // The level screen stays for another try: it shows what the course table holds now.
        guarded([this] { wwDBGridNIVIMP->setTable(&m_run->table(Handle::wwTableNIVIMP, true)); });
    }
    refreshGrids();
    focusScreen();
}

void TMForm::Button2Click()
{
    guarded([this] { import::Button2Click(*m_run); });
    refreshGrids();
    focusScreen();
}

void TMForm::Button1Click()
{
    showHelp(std::nullopt);
}

void TMForm::showHelp(std::optional<int> context)
{
    bool shown = false;
    guarded([&] { shown = context ? m_help->showContext(*context) : m_help->showContents(); });
    if (!shown)
        m_boxes.message(tr(kHelpNotInstalled)); // F1 on it could only say it again
}

void TMForm::wwDBGridNIVIMPEnter()
{
    guarded([this] { wwDBGridNIVIMP->gridModel()->edit(); });
}

QColor TMForm::wwDBGridNIVIMPCalcCellColors(const QString& field, const QColor& brush)
{
    if (field == QLatin1String("CODCURSO") || field == QLatin1String("NOMECURSO"))
        return buttonFace();
    return brush;
}

} // namespace conv::app
