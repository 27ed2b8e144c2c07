#include "app/ListDialog.h"

#include "app/GradientPanel.h"
#include "app/Translation.h"
#include "lang/Messages.h"

#include <QBrush>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFont>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

namespace conv::app
{
namespace
{

/// The list as the window shows it: its title, text, columns and values in the window's
/// language. The file saved is the list itself, as the batch converter writes it.
RowList shownList(const RowList& list)
{
    const lang::Language language = windowLanguage();
    const auto local = [language](std::string& text) { text = lang::localiseUtf8(text, language); };
    RowList shown = list;
    local(shown.caption);
    local(shown.intro);
    for (std::string& column : shown.columns)
        local(column);
    for (std::vector<std::string>& row : shown.rows)
        for (std::string& value : row)
            local(value);
    return shown;
}

} // namespace

RowListModel::RowListModel(const RowList& list, QObject* parent)
    : QAbstractTableModel(parent)
    , m_list(list)
{
}

int RowListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_list.rows.size());
}

int RowListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_list.columns.size());
}

QVariant RowListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    const bool marked = row < m_list.marked.size() && m_list.marked[row];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        const std::vector<std::string>& values = m_list.rows[row];
        const auto column = static_cast<std::size_t>(index.column());
        return column < values.size() ? QString::fromUtf8(values[column]) : QString();
    }
    case Qt::FontRole:
        if (marked) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::BackgroundRole:
        return marked ? QVariant(QBrush(QColor(255, 215, 215))) : QVariant();
    default:
        return {};
    }
}

QVariant RowListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return QString::fromUtf8(m_list.columns[static_cast<std::size_t>(section)]);
}

ListDialog::ListDialog(RowList list, Choice choice, QWidget* parent)
    : QDialog(parent)
    , m_list(std::move(list))
    , m_shown(shownList(m_list))
{
    setObjectName(QStringLiteral("ListDialog"));
    setWindowTitle(QString::fromUtf8(m_shown.caption));
    setFont(formFont());
    auto* layout = new QVBoxLayout(this);
    if (!m_shown.intro.empty()) {
        auto* intro = new QLabel(QString::fromUtf8(m_shown.intro), this);
        intro->setObjectName(QStringLiteral("intro"));
        intro->setWordWrap(true);
        layout->addWidget(intro);
    }
    m_model = new RowListModel(m_shown, this);
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("rows"));
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setWordWrap(false);
    // Fixed row heights and no measuring of every row: the list opens at once however long it is.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->horizontalHeader()->setResizeContentsPrecision(50);
    m_view->resizeColumnsToContents();
    // A long problem does not push the line's text out of sight: the whole value is its tooltip.
    constexpr int kWidestColumn = 340;
    for (int c = 0; c < m_model->columnCount(); ++c)
        if (m_view->columnWidth(c) > kWidestColumn)
            m_view->setColumnWidth(c, kWidestColumn);
    layout->addWidget(m_view);
    // The marked row whole, each value under its column's name: a long problem is read here.
    auto* detail = new QLabel(this);
    detail->setObjectName(QStringLiteral("detail"));
    detail->setWordWrap(true);
    detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    detail->setMinimumHeight(3 * detail->fontMetrics().lineSpacing());
    detail->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(detail);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, detail](const QModelIndex& current) {
                QStringList parts;
                for (int c = 0; current.isValid() && c < m_model->columnCount(); ++c)
                    parts << QStringLiteral("<b>%1</b>: %2")
                                 .arg(
                                     m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toHtmlEscaped(),
                                     m_model->index(current.row(), c).data().toString().toHtmlEscaped());
                detail->setText(parts.join(QStringLiteral(" &nbsp; ")));
            });
    if (m_model->rowCount() > 0)
        m_view->setCurrentIndex(m_model->index(0, 0));

    auto* buttons = new QDialogButtonBox(this);
    m_save = buttons->addButton(tr("&Guardar lista…"), QDialogButtonBox::ActionRole);
    m_save->setObjectName(QStringLiteral("save"));
    QPushButton* help = buttons->addButton(tr("A&yuda"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("help"));
    help->setAutoDefault(false);
    m_save->setAutoDefault(false);
    if (choice == Choice::Close) {
        QPushButton* ok = buttons->addButton(tr("&Aceptar"), QDialogButtonBox::AcceptRole);
        ok->setObjectName(QStringLiteral("accept"));
        ok->setDefault(true);
    } else {
        QPushButton* back = buttons->addButton(tr("&Volver"), QDialogButtonBox::RejectRole);
        back->setObjectName(QStringLiteral("back"));
        if (choice == Choice::BackOrContinue) {
            QPushButton* on = buttons->addButton(tr("&Continuar"), QDialogButtonBox::AcceptRole);
            on->setObjectName(QStringLiteral("continue"));
            on->setDefault(true);
        } else {
            back->setDefault(true);
        }
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_save, &QPushButton::clicked, this, &ListDialog::save);
    connect(help, &QPushButton::clicked, this, [this] { emit helpRequested(m_list.helpContext); });
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [this] { emit helpRequested(m_list.helpContext); });
    layout->addWidget(buttons);
    resize(760, 420);
}

bool ListDialog::saveTo(const QString& file)
{
    const std::string bytes = rowListCsv(m_list);
    QSaveFile out(file);
    if (out.open(QIODevice::WriteOnly) &&
        out.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) && out.commit())
        return true;
    emit failed(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file), out.errorString()));
    return false;
}

void ListDialog::save()
{
    QFileDialog chooser(this, tr("Guardar lista"), QString(), tr("Lista CSV (*.csv);;Todos los archivos (*)"));
    chooser.setObjectName(QStringLiteral("saveChooser"));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setDefaultSuffix(QStringLiteral("csv"));
    chooser.setOption(QFileDialog::DontUseNativeDialog); // the same dialog wherever it runs
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    saveTo(chooser.selectedFiles().constFirst());
}

} // namespace conv::app
