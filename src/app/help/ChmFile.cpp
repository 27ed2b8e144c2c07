#include "app/help/ChmFile.h"

#include <chm_lib.h>

#include <QFile>
#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace conv::app
{
namespace
{

// Record codes of the #SYSTEM object: a 4-byte version, then records of a 2-byte code, a
// 2-byte length and that many bytes of text ending in a NUL.
constexpr quint16 kSystemContents = 0;
constexpr quint16 kSystemIndex = 1;
constexpr quint16 kSystemDefaultTopic = 2;
constexpr quint16 kSystemTitle = 3;

quint32 le32(const QByteArray& b, qsizetype at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}

quint16 le16(const QByteArray& b, qsizetype at)
{
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

QString cString(const QByteArray& b, qsizetype at)
{
    if (at < 0 || at >= b.size())
        return {};
    const qsizetype end = b.indexOf('\0', at);
    return QString::fromLatin1(b.mid(at, (end < 0 ? b.size() : end) - at));
}

QString absolute(QString path)
{
    return path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path;
}

QString decodeEntities(const QString& text)
{
    return QTextDocumentFragment::fromHtml(text).toPlainText();
}

int collect(chmFile*, chmUnitInfo* unit, void* context)
{
    static_cast<QStringList*>(context)->append(QString::fromUtf8(unit->path));
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

QList<SitemapEntry> parseSitemap(const QByteArray& html)
{
    // A contents file is an HTML list: <ul> opens a level, </ul> closes it, and each entry is an
    // <object> holding <param name="Name"> and <param name="Local">.
    static const QRegularExpression token(
        QStringLiteral(R"re(<(/?)ul\b[^>]*>|<object\b[^>]*>(.*?)</object>)re"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression param(
        QStringLiteral(R"re(<param\s+name\s*=\s*"([^"]*)"\s+value\s*=\s*"([^"]*)")re"),
        QRegularExpression::CaseInsensitiveOption);
    QList<SitemapEntry> entries;
    int depth = -1;
    const QString text = QString::fromLatin1(html);
    for (auto it = token.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        if (!m.captured(0).startsWith(QLatin1String("<obj"), Qt::CaseInsensitive)) {
            depth += m.captured(1).isEmpty() ? 1 : -1;
            continue;
        }
        SitemapEntry entry;
        entry.depth = qMax(depth, 0);
        for (auto p = param.globalMatch(m.captured(2)); p.hasNext();) {
            const auto pm = p.next();
            const QString name = pm.captured(1).toLower();
            if (name == QLatin1String("name") && entry.name.isEmpty())
                entry.name = decodeEntities(pm.captured(2));
            else if (name == QLatin1String("local") && entry.local.isEmpty())
                entry.local = pm.captured(2);
        }
        if (!entry.name.isEmpty())
            entries.append(entry);
    }
    return entries;
}

std::unique_ptr<ChmFile> ChmFile::open(const QString& path)
{
    chmFile* handle = chm_open(QFile::encodeName(path).constData());
    if (!handle)
        return nullptr;
    std::unique_ptr<ChmFile> file(new ChmFile(handle));
    file->readSystem();
    file->readContexts();
    return file;
}

ChmFile::ChmFile(chmFile* handle)
    : m_handle(handle)
{
}

ChmFile::~ChmFile()
{
    chm_close(m_handle);
}

QByteArray ChmFile::read(const QString& path) const
{
    chmUnitInfo unit{};
    if (chm_resolve_object(m_handle, absolute(path).toUtf8().constData(), &unit) != CHM_RESOLVE_SUCCESS)
        return {};
    // Help pages are small; a length beyond what QByteArray holds means a damaged file.
    if (unit.length > LONGUINT64(64 * 1024 * 1024))
        return {};
    QByteArray data(qsizetype(unit.length), Qt::Uninitialized);
    const LONGINT64 got = chm_retrieve_object(m_handle, &unit, reinterpret_cast<unsigned char*>(data.data()), 0,
                                              LONGINT64(unit.length));
    if (got < 0 || LONGUINT64(got) != unit.length)
        return {};
    return data;
}

bool ChmFile::contains(const QString& path) const
{
    chmUnitInfo unit{};
    return chm_resolve_object(m_handle, absolute(path).toUtf8().constData(), &unit) == CHM_RESOLVE_SUCCESS;
}

QStringList ChmFile::pages() const
{
    QStringList all;
    chm_enumerate(m_handle, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collect, &all);
    QStringList pages;
    for (const QString& p : all)
        if (!p.startsWith(QLatin1String("/#")) && !p.startsWith(QLatin1String("/$")) && !p.endsWith(QLatin1Char('/')))
            pages.append(p);
    return pages;
}

void ChmFile::readSystem()
{
    const QByteArray sys = read(QStringLiteral("/#SYSTEM"));
    for (qsizetype at = 4; at + 4 <= sys.size();) {
        const quint16 code = le16(sys, at);
        const quint16 length = le16(sys, at + 2);
        at += 4;
        if (at + length > sys.size())
            break;
        const QString text = cString(sys.left(at + length), at);
        switch (code) {
        case kSystemContents: m_contentsFile = absolute(text); break;
        case kSystemIndex: m_indexFile = absolute(text); break;
        case kSystemDefaultTopic: m_defaultTopic = absolute(text); break;
        case kSystemTitle: m_title = text; break;
        default: break;
        }
        at += length;
    }
}

void ChmFile::readContexts()
{
    // #IVB: a 4-byte length, then pairs of a context number and an offset into #STRINGS, where
    // the topic's file name lies.
    const QByteArray ivb = read(QStringLiteral("/#IVB"));
    const QByteArray strings = read(QStringLiteral("/#STRINGS"));
    if (ivb.size() < 4)
        return;
    const qsizetype end = qMin<qsizetype>(ivb.size(), 4 + qsizetype(le32(ivb, 0)));
    for (qsizetype at = 4; at + 8 <= end; at += 8) {
        const QString topic = topicPath(cString(strings, qsizetype(le32(ivb, at + 4))));
        if (!topic.isEmpty())
            m_contexts.insert(int(le32(ivb, at)), topic);
    }
}

QString ChmFile::topicPath(const QString& stored) const
{
    if (stored.isEmpty())
        return {};
    if (contains(stored))
        return absolute(stored);
    // chmcmd stores the alias's file with the folder the help was compiled in
    // ("/build/help/ventana.htm"); the page itself lies at the top of the file.
    const QString name = absolute(stored.section(QLatin1Char('/'), -1));
    return contains(name) ? name : QString();
}

} // namespace conv::app
