#include "app/ControlPlantilla.h"

#include "app/AnsiText.h"
#include "app/DataGrid.h"
#include "app/GradientPanel.h"
#include "tables/Layouts.h"
#include "tables/Table.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>

namespace conv::app
{

RecordNavigator::RecordNavigator(DataGrid* grid, QWidget* parent)
    : QWidget(parent)
    , m_grid(grid)
{
    static const char* const kGlyphs[kButtons] = {"|<", "<<", "<", ">", ">>", ">|", "\u270E", "\u2714", "\u2716",
                                                  "\u21BB"};
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int i = 0; i < kButtons; ++i) {
        auto* b = new QToolButton(this);
        b->setText(QString::fromUtf8(kGlyphs[i]));
        b->setToolTip(hint(static_cast<Button>(i)));
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(b, &QToolButton::clicked, this, [this, i] { press(static_cast<Button>(i)); });
        row->addWidget(b);
        m_buttons[i] = b;
    }
}

QString RecordNavigator::hint(Button which)
{
    static const char* const kHints[kButtons] = {QT_TR_NOOP("Move to first record"),
                                                 QT_TR_NOOP("Move backward 10 records"),
                                                 QT_TR_NOOP("Move to prior record"),
                                                 QT_TR_NOOP("Move to next record"),
                                                 QT_TR_NOOP("Move forward 10 records"),
                                                 QT_TR_NOOP("Move to last record"),
                                                 QT_TR_NOOP("Edit current record"),
                                                 QT_TR_NOOP("Post changes of current record"),
                                                 QT_TR_NOOP("Cancel changes made to current record"),
                                                 QT_TR_NOOP("Refresh the contents of the dataset")};
    return tr(kHints[which]);
}

void RecordNavigator::press(Button which)
{
    TableGridModel* model = m_grid->gridModel();
    Table* table = model->table();
    if (!table || !table->isOpen())
        return;
    try {
        const int rows = model->rowCount();
        const int at = model->currentRow();
        int to = at;
        switch (which) {
        case First: to = 0; break;
        case PriorTen: to = at - 10; break;
        case Prior: to = at - 1; break;
        case Next: to = at + 1; break;
        case NextTen: to = at + 10; break;
        case Last: to = rows - 1; break;
        case Edit:
            model->edit();
            return;
        case Post:
            model->post();
            return;
        case Cancel:
            if (table->editing())
                table->cancel();
            model->reload();
            return;
        case Refresh:
            if (!table->editing())
                model->reload();
            return;
        case kButtons: return;
        }
        to = qBound(0, to, rows - 1);
        const int column = qMax(0, m_grid->currentIndex().column());
        m_grid->setCurrentIndex(model->index(to, column));
    } catch (const std::exception& e) {
        emit failed(fromAnsi(e.what()));
    }
}

TControlPlantilla::TControlPlantilla(const std::filesystem::path& workFolder, QWidget* owner)
    : QDialog(owner)
    , m_table(std::make_unique<Table>(workFolder, std::string(layouts::PLANTILLA.name)))
{
    setObjectName(QStringLiteral("ControlPlantilla"));
    setWindowTitle(tr("Control de Plantilla Horaria"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(595, 310);
    setFont(formFont());

    Draw3D1 = new GradientPanel({204, 216, 230}, {207, 242, 254}, {194, 205, 254}, this);
    Draw3D1->setObjectName(QStringLiteral("Draw3D1"));
    Draw3D1->setGeometry(8, 8, 577, 289);

    Label1 = new QLabel(tr("COMPROBACIÓN DE LA PLANTILLA HORARIA DEL CENTRO"), Draw3D1);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont f = Label1->font();
    f.setBold(true);
    f.setUnderline(true);
    Label1->setFont(f);
    Label1->move(3, 3);
    Label1->adjustSize();

    GridOptions o;
    o.enterMovesToNextCell = true;
    o.cellColor = QColor(240, 251, 255);
    o.titleColor = QColor(254, 228, 169);
    o.titleTextColor = Qt::black;
    o.alternateColor = QColor(207, 217, 254);
    o.titleLines = 2;
    PlantiHorDBGrid =
        new DataGrid({{"HORA", 7, tr("HORA"), true}, {"HORAINI", 20, tr("HORA INICIO CLASE"), true}}, o, Draw3D1);
    PlantiHorDBGrid->setObjectName(QStringLiteral("PlantiHorDBGrid"));
    PlantiHorDBGrid->setGeometry(65, 25, 205, 225);
    connect(PlantiHorDBGrid, &DataGrid::entered, this, &TControlPlantilla::PlantiHorDBGridEnter);
    connect(PlantiHorDBGrid, &DataGrid::exited, this, &TControlPlantilla::PlantiHorDBGridExit);
    connect(PlantiHorDBGrid, &DataGrid::failed, this, &TControlPlantilla::failed);

    Label3 = new QLabel(tr("PLANTILLA HORARIA DEL CENTRO"), Draw3D1);
    Label3->setObjectName(QStringLiteral("Label3"));
    QFont f3 = Label3->font();
    f3.setBold(true);
    f3.setUnderline(true);
    Label3->setFont(f3);
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setAutoFillBackground(true);
    QPalette p3 = Label3->palette();
    p3.setColor(QPalette::Window, QColor(0, 255, 0));
    p3.setColor(QPalette::WindowText, Qt::red);
    Label3->setPalette(p3);
    Label3->setGeometry(345, 57, 210, Label3->sizeHint().height());

    Label2 = new QLabel(tr("Modifique, en caso necesario, las Horas de Inicio de Clase, en la presente "
                           "rejilla. Deben ser iguales que la Plantilla Horaria de su Centro."),
                        Draw3D1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont f2 = Label2->font();
    f2.setBold(true);
    Label2->setFont(f2);
    QPalette p2 = Label2->palette();
    p2.setColor(QPalette::WindowText, QColor(0, 0, 128));
    Label2->setPalette(p2);
    Label2->setGeometry(344, 99, 210, 52);

    wwDBNavigator1 = new RecordNavigator(PlantiHorDBGrid, Draw3D1);
    wwDBNavigator1->setObjectName(QStringLiteral("wwDBNavigator1"));
    wwDBNavigator1->setGeometry(30, 257, 275, 24);
    connect(wwDBNavigator1, &RecordNavigator::failed, this, &TControlPlantilla::failed);

    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), tr("Aceptar"), Draw3D1);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(477, 257, 89, 25);
    BitBtn2->setDefault(true);
    connect(BitBtn2, &QPushButton::clicked, this, &TControlPlantilla::BitBtn1Click);

    // The grid comes first in the tab order and takes the focus when the dialog opens.
    setTabOrder(PlantiHorDBGrid, BitBtn2);

    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [this] { emit helpRequested(kHelpContext); });
}

TControlPlantilla::~TControlPlantilla() = default;

void TControlPlantilla::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    PlantiHorDBGrid->setFocus(Qt::TabFocusReason);
}

void TControlPlantilla::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        emit failed(fromAnsi(e.what()));
    }
}

void TControlPlantilla::PlantiHorDBGridEnter()
{
    guarded([this] {
        if (!m_table)
            return;
        if (!m_table->isOpen()) {
            m_table->open();
            PlantiHorDBGrid->setTable(m_table.get());
        }
        PlantiHorDBGrid->gridModel()->edit();
    });
}

void TControlPlantilla::PlantiHorDBGridExit()
{
    guarded([this] {
        if (m_table && m_table->isOpen() && m_table->editing())
            PlantiHorDBGrid->gridModel()->post();
    });
}

void TControlPlantilla::BitBtn1Click()
{
    guarded([this] {
        // Clicking "Aceptar" took the focus from the grid, which wrote a pending change.
        PlantiHorDBGrid->setTable(nullptr);
        if (m_table)
            m_table->close();
        m_table.reset();
        accept();
    });
}

} // namespace conv::app
