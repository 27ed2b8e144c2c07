#include "app/FolderChooser.h"

#include "common/IoErrors.h"
#include "platform/File.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QStorageInfo>
#include <QStyle>


namespace conv::app
{
namespace
{

constexpr int kRowHeight = 16;
constexpr int kIndent = 2; // blanks per level of the chain

/// Kernel file systems that hold no user folders.
bool isPseudoFileSystem(const QStorageInfo& v)
{
    static const QList<QByteArray> kPseudo = {
        "proc",     "sysfs",      "devpts",    "cgroup",   "cgroup2",  "securityfs", "debugfs",
        "tracefs",  "pstore",     "bpf",       "mqueue",   "hugetlbfs", "configfs",  "fusectl",
        "binfmt_misc", "autofs",  "devtmpfs",  "efivarfs", "nsfs",     "rpc_pipefs", "ramfs",
    };
    if (kPseudo.contains(v.fileSystemType()))
        return true;
    const QString root = v.rootPath();
    for (const char* system : {"/proc", "/sys", "/dev", "/run"})
        if (root == system || root.startsWith(QString(system) + '/'))
            return true;
    return false;
}

} // namespace

QString shortenFolderText(const QString& folder, int maxWidth, const QFontMetrics& metrics, QChar separator)
{
    // The classic rule works on drive, folder part (with its separators) and last name.
    const QString marker = QStringLiteral("...") + separator;
    QString drive;
    QString rest = folder;
    if (rest.size() >= 2 && rest[1] == ':') {
        drive = rest.left(2);
        rest = rest.mid(2);
    }
    const int cut = rest.lastIndexOf(separator);
    QString dir = rest.left(cut + 1);
    const QString name = rest.mid(cut + 1);
    QString result = folder;
    while ((!dir.isEmpty() || !drive.isEmpty()) && metrics.horizontalAdvance(result) > maxWidth) {
        if (dir == separator + marker) {
            drive.clear();
            dir = marker;
        } else if (dir.isEmpty()) {
            drive.clear();
        } else if (dir == separator) {
            dir.clear();
        } else {
            // Drop the first folder of `dir` and put the marker in its place.
            const bool root = dir.startsWith(separator);
            QString s = root ? dir.mid(1) : dir;
            if (s.startsWith(marker))
                s = s.mid(marker.size());
            const int p = s.indexOf(separator);
            s = p >= 0 ? marker + s.mid(p + 1) : QString();
            dir = root ? separator + s : s;
        }
        result = drive + dir + name;
    }
    return result;
}

FolderList::FolderList(QWidget* parent)
    : QListWidget(parent)
{
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit openRequested(item->data(Qt::UserRole).toString()); });
}

QString FolderList::folderAt(int row) const
{
    const QListWidgetItem* it = item(row);
    return it ? it->data(Qt::UserRole).toString() : QString();
}

void FolderList::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        emit openRequested(currentItem()->data(Qt::UserRole).toString());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FolderList::openFolder(const QString& folder)
{
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    platform::changeCurrentFolder(clean.toStdU16String(), &throwIoFailure);
    m_folder = clean;
    fill();
    emit folderChanged(m_folder);
}

void FolderList::fill()
{
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto add = [&](const QString& text, const QString& path, int depth, const QIcon& icon) {
        auto* it = new QListWidgetItem(icon, QString(depth * kIndent, ' ') + text, this);
        it->setData(Qt::UserRole, path);
        it->setSizeHint(QSize(0, kRowHeight));
        return it;
    };

    // The chain from the root down to the current folder.
    QStringList chain;
    for (QDir d(m_folder);; ) {
        chain.prepend(d.absolutePath());
        if (d.isRoot() || !d.cdUp())
            break;
    }
    int depth = 0;
    QListWidgetItem* current = nullptr;
    for (const QString& path : chain) {
        const QString name = QDir(path).isRoot() ? path : QDir(path).dirName();
        current = add(name, path, depth++, open);
    }
    // Hidden folders (names starting with a dot) are left out, as a file manager does.
    const QStringList subs =
        QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& sub : subs)
        add(sub, QDir(m_folder).filePath(sub), depth, closed);
    setCurrentItem(current);
}

DriveBox::DriveBox(QWidget* parent)
    : QComboBox(parent)
{
    refresh();
    connect(this, &QComboBox::activated, this, [this](int index) { emit driveChosen(folderOfDrive(index)); });
}

void DriveBox::refresh()
{
    const QString shown = currentData().toString();
    clear();
    QStringList roots;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady() || isPseudoFileSystem(v) || !QFileInfo(v.rootPath()).isDir())
            continue;
        if (!roots.contains(v.rootPath()))
            roots << v.rootPath();
    }
    roots.sort();
    for (const QString& root : roots)
        addItem(root, root);
    const int at = findData(shown);
    if (at >= 0)
        setCurrentIndex(at);
}

QString DriveBox::driveOf(const QString& folder)
{
    return QStorageInfo(folder).rootPath();
}

void DriveBox::showFolder(const QString& folder)
{
    const QString drive = driveOf(folder);
    m_current[drive] = folder;
    int at = findData(drive);
    if (at < 0) {
        addItem(drive, drive);
        at = count() - 1;
    }
    setCurrentIndex(at);
}

QString DriveBox::folderOfDrive(int index) const
{
    const QString drive = itemData(index).toString();
    return m_current.value(drive, drive);
}

} // namespace conv::app
