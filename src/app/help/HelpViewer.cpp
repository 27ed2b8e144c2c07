#include "app/help/HelpViewer.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace conv::app
{
namespace
{

constexpr int kPathRole = Qt::UserRole;

/// "/a/b.htm#x" for a link or sitemap entry seen from the page "/a/c.htm".
QString resolve(const QString& link)
{
    QString path = QUrl(link).path();
    return path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path;
}

} // namespace

ChmBrowser::ChmBrowser(const ChmFile& chm, QWidget* parent)
    : QTextBrowser(parent)
    , m_chm(chm)
{
    setOpenExternalLinks(false);
    setOpenLinks(true);
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name)
{
    if (!name.scheme().isEmpty() && name.scheme() != QLatin1String("file"))
        return {};
    const QByteArray data = m_chm.read(name.path());
    if (data.isEmpty())
        return {};
    if (type == QTextDocument::HtmlResource) {
        // Pages name their own character set; without one they are read as Windows-1252.
        QStringDecoder decoder = QStringDecoder::decoderForHtml(data);
        if (!decoder.isValid())
            decoder = QStringDecoder("Windows-1252");
        return QString(decoder(data));
    }
    return data;
}

HelpViewer::HelpViewer(std::unique_ptr<ChmFile> chm, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_chm(std::move(chm))
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(m_chm->title().isEmpty() ? tr("Ayuda") : m_chm->title());
    resize(860, 600);

    m_tabs = new QTabWidget;
    m_contents = new QTreeWidget;
    m_contents->setObjectName(QStringLiteral("contents"));
    m_contents->header()->hide();
    m_tabs->addTab(m_contents, tr("Contenido"));

    auto* indexPage = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(0, 0, 0, 0);
    m_indexFilter = new QLineEdit;
    m_indexFilter->setObjectName(QStringLiteral("indexFilter"));
    m_indexFilter->setPlaceholderText(tr("Escriba la palabra que busca"));
    m_index = new QListWidget;
    m_index->setObjectName(QStringLiteral("index"));
    indexLayout->addWidget(m_indexFilter);
    indexLayout->addWidget(m_index);
    m_tabs->addTab(indexPage, tr("Índice"));

    m_browser = new ChmBrowser(*m_chm);
    m_browser->setObjectName(QStringLiteral("page"));

    auto* splitter = new QSplitter;
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 600});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    fillContents();
    fillIndex();

    connect(m_contents, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        showTopic(item->data(0, kPathRole).toString());
    });
    connect(m_contents, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && !item->data(0, kPathRole).toString().isEmpty() && item->data(0, kPathRole) != currentTopic())
            showTopic(item->data(0, kPathRole).toString());
    });
    connect(m_index, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        showTopic(item->data(kPathRole).toString());
    });
    connect(m_index, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        showTopic(item->data(kPathRole).toString());
    });
    connect(m_indexFilter, &QLineEdit::textChanged, this, &HelpViewer::filterIndex);
    connect(m_indexFilter, &QLineEdit::returnPressed, this, [this] {
        for (int i = 0; i < m_index->count(); ++i)
            if (!m_index->item(i)->isHidden()) {
                showTopic(m_index->item(i)->data(kPathRole).toString());
                return;
            }
    });
    connect(m_browser, &QTextBrowser::sourceChanged, this,
            [this](const QUrl& url) { selectInContents(resolve(url.toString())); });
}

HelpViewer::~HelpViewer() = default;

void HelpViewer::fillContents()
{
    QList<QTreeWidgetItem*> parents;
    for (const SitemapEntry& entry : parseSitemap(m_chm->read(m_chm->contentsFile()))) {
        const int depth = qMin<int>(entry.depth, int(parents.size()));
        parents.resize(depth);
        auto* item = depth == 0 ? new QTreeWidgetItem(m_contents) : new QTreeWidgetItem(parents.last());
        item->setText(0, entry.name);
        if (!entry.local.isEmpty())
            item->setData(0, kPathRole, resolve(entry.local));
        parents.append(item);
    }
    m_contents->expandAll();
}

void HelpViewer::fillIndex()
{
    for (const SitemapEntry& entry : parseSitemap(m_chm->read(m_chm->indexFile()))) {
        auto* item = new QListWidgetItem(QString(entry.depth * 2, QLatin1Char(' ')) + entry.name, m_index);
        item->setData(kPathRole, resolve(entry.local));
    }
}

void HelpViewer::filterIndex(const QString& text)
{
    const QString wanted = text.trimmed();
    for (int i = 0; i < m_index->count(); ++i) {
        QListWidgetItem* item = m_index->item(i);
        item->setHidden(!wanted.isEmpty() && !item->text().trimmed().startsWith(wanted, Qt::CaseInsensitive));
    }
}

void HelpViewer::selectInContents(const QString& path)
{
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it)
        if ((*it)->data(0, kPathRole).toString() == path) {
            const QSignalBlocker block(m_contents);
            m_contents->setCurrentItem(*it);
            return;
        }
}

bool HelpViewer::showTopic(const QString& path)
{
    if (path.isEmpty() || !m_chm->contains(QUrl(path).path()))
        return false;
    m_browser->setSource(QUrl(path), QTextDocument::HtmlResource);
    return true;
}

QString HelpViewer::currentTopic() const
{
    return m_browser->source().path();
}

} // namespace conv::app
