#pragma once

#include "app/help/ChmFile.h"

#include <QString>
#include <QTextDocument>

#include <memory>

namespace conv::app::test
{

/// The Spanish help, compiled from docs/help: the reference the other languages follow.
inline QString referenceHelpFile()
{
    return QStringLiteral(CONV_HELP_CHM);
}

/// The help file under test: the one CONV_TEST_HELP_FILE names (ctest runs the help's tests once
/// per language), else the Spanish one.
inline QString helpFile()
{
    const QString given = qEnvironmentVariable("CONV_TEST_HELP_FILE");
    return given.isEmpty() ? referenceHelpFile() : given;
}

/// The language of the help under test, as CONV_TEST_HELP_LANG gives it: "es" (the default) or "gl".
inline QString helpLanguage()
{
    const QString given = qEnvironmentVariable("CONV_TEST_HELP_LANG");
    return given.isEmpty() ? QStringLiteral("es") : given;
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
