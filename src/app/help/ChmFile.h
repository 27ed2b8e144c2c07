#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <memory>

struct chmFile;

namespace conv::app
{

/// One entry of a contents or index file: its title, the page it opens and how deep it lies
/// in the contents tree (0 at the top).
struct SitemapEntry
{
    QString name;
    QString local;
    int depth = 0;
};

/// Reads the entries of a contents (.hhc) or index (.hhk) file, in file order. Entries without
/// a page keep an empty `local`.
QList<SitemapEntry> parseSitemap(const QByteArray& html);

/// A compiled help file (.chm) opened for reading, through chmlib.
class ChmFile
{
public:
    /// Opens `path`; nullptr when it is not a readable compiled help file.
    static std::unique_ptr<ChmFile> open(const QString& path);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    /// The bytes of the object at `path` ("/inicio.htm"); empty when there is none.
    QByteArray read(const QString& path) const;
    bool contains(const QString& path) const;
    /// Every object's path, internal ones ("/#SYSTEM", "::DataSpace/...") left out.
    QStringList pages() const;

    QString title() const { return m_title; }
    QString defaultTopic() const { return m_defaultTopic; }
    QString contentsFile() const { return m_contentsFile; }
    QString indexFile() const { return m_indexFile; }
    /// The page mapped to help context `context`, or "" when the file maps none.
    QString contextTopic(int context) const { return m_contexts.value(context); }

private:
    explicit ChmFile(chmFile* handle);
    void readSystem();
    void readContexts();
    QString topicPath(const QString& stored) const;

    chmFile* m_handle;
    QString m_title;
    QString m_defaultTopic;
    QString m_contentsFile;
    QString m_indexFile;
    QMap<int, QString> m_contexts;
};

} // namespace conv::app
