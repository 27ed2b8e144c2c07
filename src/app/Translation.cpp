#include "app/Translation.h"

#include "app/AnsiText.h"
#include "app/help/Help.h"
#include "lang/Messages.h"

#include <QCoreApplication>
#include <QTranslator>

#include <memory>

namespace conv::app
{
namespace
{

lang::Language& current()
{
    static lang::Language language = lang::Language::Spanish;
    return language;
}

} // namespace

lang::Language windowLanguage()
{
    return current();
}

bool useLanguage(lang::Language language)
{
    static std::unique_ptr<QTranslator> translator;
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
    current() = lang::Language::Spanish;
    if (language == lang::Language::Spanish)
        return true;
    auto loaded = std::make_unique<QTranslator>();
    if (!loaded->load(QStringLiteral(":/i18n/transxade_%1.qm").arg(QLatin1String(lang::code(language)))))
        return false;
    QCoreApplication::installTranslator(loaded.get());
    translator = std::move(loaded);
    current() = language;
    return true;
}

QStringList helpFiles(lang::Language language)
{
    if (language == lang::Language::Galician)
        return {QString::fromLatin1(kHelpFileGalician), QString::fromLatin1(kHelpFile)};
    return {QString::fromLatin1(kHelpFile)};
}

QString coreText(const std::string& ansi)
{
    return fromAnsi(lang::localise(ansi, windowLanguage()));
}

} // namespace conv::app
