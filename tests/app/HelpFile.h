#pragma once

#include "app/help/ChmFile.h"

#include <QString>
#include <QTextDocument>

#include <memory>

namespace conv::app::test
{

/// The help file the build compiled from docs/help.
inline QString helpFile()
{
    return QStringLiteral(CONV_HELP_CHM);
}

inline std::unique_ptr<ChmFile> openHelp()
{
    auto chm = ChmFile::open(helpFile());
    if (!chm)
        qFatal("cannot open %s", qPrintable(helpFile()));
    return chm;
}

/// A page's text as a reader sees it, blanks folded.
inline QString pageText(const ChmFile& chm, const QString& page)
{
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(chm.read(page)));
    return doc.toPlainText().simplified();
}

} // namespace conv::app::test
