#pragma once

#include "lang/Language.h"

#include <QString>
#include <QStringList>

namespace conv::app
{

/// The language the window speaks; Spanish until useLanguage() says otherwise.
lang::Language windowLanguage();

/// Makes the window speak `language` from now on: its own texts through Qt's translator (the
/// Galician catalogue built into the program; Spanish is the texts' own language and needs
/// none), the core's messages through lang::localise(). Controls made before keep their texts.
/// False when the catalogue could not be loaded: the window then stays in Spanish.
bool useLanguage(lang::Language language);

/// The help files for `language`, the one to use first: XADE-gl.chm for Galician, with the
/// Spanish XADE.CHM after it for a computer that lacks it.
QStringList helpFiles(lang::Language language);

/// A core message (Windows-1252) in the window's language, for display.
QString coreText(const std::string& ansi);

} // namespace conv::app
