#include "app/Translation.h"

#include "app/AnsiText.h"
#include "app/help/Help.h"
#include "lang/Messages.h"

#include <QCoreApplication>
#include <QTranslator>

#include <memory>
#include <vector>

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
    // The window's own texts, and Qt's (its file dialog, the editing menus). Spanish keeps Qt's
    // texts as they always were.
    static std::vector<std::unique_ptr<QTranslator>> translators;
    for (const auto& translator : translators)
        QCoreApplication::removeTranslator(translator.get());
    translators.clear();
    current() = lang::Language::Spanish;
    if (language == lang::Language::Spanish)
        return true;
    std::vector<std::unique_ptr<QTranslator>> loaded;
    for (const char* catalogue : {"transxade", "qtbase"}) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(QStringLiteral(":/i18n/%1_%2.qm")
                                  .arg(QLatin1String(catalogue), QLatin1String(lang::code(language)))))
            return false;
        loaded.push_back(std::move(translator));
    }
    for (auto& translator : loaded) {
        QCoreApplication::installTranslator(translator.get());
        translators.push_back(std::move(translator));
    }
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
