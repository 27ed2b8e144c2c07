#pragma once

#include "app/help/ChmFile.h"

#include <QTextBrowser>
#include <QWidget>

#include <memory>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace conv::app
{

/// A text browser whose pages, pictures and style sheets come from a compiled help file.
class ChmBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    explicit ChmBrowser(const ChmFile& chm, QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    const ChmFile& m_chm;
};

/// The help window: the contents tree and the index on the left, the page on the right.
class HelpViewer : public QWidget
{
    Q_OBJECT
public:
    /// Takes over `chm`, which must be open.
    explicit HelpViewer(std::unique_ptr<ChmFile> chm, QWidget* parent = nullptr);
    ~HelpViewer() override;

    /// Shows the page at `path` inside the help file ("/ventana.htm"); false when there is none.
    bool showTopic(const QString& path);
    /// The path of the page shown ("/ventana.htm").
    QString currentTopic() const;
    const ChmFile& chm() const { return *m_chm; }

    QTreeWidget* contentsTree() const { return m_contents; }
    QListWidget* indexList() const { return m_index; }
    ChmBrowser* browser() const { return m_browser; }

private:
    void fillContents();
    void fillIndex();
    void filterIndex(const QString& text);
    void selectInContents(const QString& path);

    std::unique_ptr<ChmFile> m_chm;
    QTabWidget* m_tabs;
    QTreeWidget* m_contents;
    QLineEdit* m_indexFilter;
    QListWidget* m_index;
    ChmBrowser* m_browser;
};

} // namespace conv::app
