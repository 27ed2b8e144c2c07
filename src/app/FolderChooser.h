#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QMap>
#include <QString>

class QFontMetrics;

namespace conv::app
{

/// The folder text shortened to fit `maxWidth` pixels the classic way: the folders after the
/// drive are replaced, one at a time from the left, by "..." and a separator until the text
/// fits; if it still does not fit, the drive is dropped as well. The last folder always stays.
/// `separator` is the platform's ('\\' with drive letters, '/' here).
QString shortenFolderText(const QString& folder, int maxWidth, const QFontMetrics& metrics, QChar separator);

/// The folder list `Directorios`: the chain of folders from the root down to the current
/// folder, then its sub-folders. Opening an entry (double-click, or Enter on the selected entry)
/// makes it the current folder and the process's current folder; selecting it changes nothing.
class FolderList : public QListWidget
{
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    /// The list's current folder (absolute, without a trailing separator except the root).
    QString folder() const
    {
        return m_folder;
    }
    /// Makes `folder` current: the process's current folder changes to it first; when that
    /// fails, the I/O error is thrown and the list stays as it was.
    void openFolder(const QString& folder);
    /// The folder of a list row.
    QString folderAt(int row) const;

signals:
    /// The current folder changed (by opening an entry or through openFolder).
    void folderChanged(const QString& folder);
    /// The user opened a row; the window opens it through its error-catching handler.
    void openRequested(const QString& folder);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill();

    QString m_folder;
};

/// The drive box `Unidades`. Here the drives are the mounted file systems (pseudo file systems
/// of the kernel left out). Each remembers the folder last opened on it, as a drive's current
/// folder; choosing a drive asks to open that folder.
class DriveBox : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveBox(QWidget* parent = nullptr);

    /// Lists the mounted file systems again.
    void refresh();
    /// Shows the drive that holds `folder` and remembers it as that drive's current folder.
    void showFolder(const QString& folder);
    /// The folder to open when the drive of row `index` is chosen.
    QString folderOfDrive(int index) const;
    /// The mount point of the file system holding `folder`.
    static QString driveOf(const QString& folder);

signals:
    void driveChosen(const QString& folder);

private:
    QMap<QString, QString> m_current; // mount point -> last folder opened on it
};

} // namespace conv::app
