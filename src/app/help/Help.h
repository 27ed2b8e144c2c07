#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace conv::app
{

/// The help file's name, looked for beside the program file without regard to letter case.
inline constexpr const char* kHelpFile = "XADE.CHM";
/// The same help in Galician, beside it.
inline constexpr const char* kHelpFileGalician = "XADE-gl.chm";

/// Help context of the main window (F1 anywhere in it).
inline constexpr int kContextMainWindow = 3;
/// Help context of the dialog "Control de Plantilla Horaria".
inline constexpr int kContextTemplateDialog = 1;
/// Help context of the errors of files and tables (an error box's "Ayuda" and F1).
inline constexpr int kContextErrors = 10;
/// Help context of the program's own messages (F1 on a message box).
inline constexpr int kContextMessages = 13;
/// Help context of the table engine's rarer messages.
inline constexpr int kContextEngine = 14;
/// Help context of the review of the XADE files before an import.
inline constexpr int kContextReview = 11;
/// Help context of the list of classes an export passed over.
inline constexpr int kContextPassedOver = 12;

/// Compiled HTML help, shown by the platform's way of showing it: on Linux our own viewer
/// (HelpViewer), elsewhere the system's help. Each platform gives its own Help.cpp.
class Help
{
public:
    /// The help in the first of `files` found beside the program (the window's language first).
    explicit Help(QString programFolder, QStringList files = {QString::fromLatin1(kHelpFile)});
    ~Help();
    Help(const Help&) = delete;
    Help& operator=(const Help&) = delete;

    /// The help file beside the program, or "" when there is none.
    QString helpFile() const;
    /// The contents of the help file ("F1 AYUDA"). False when nothing could be shown.
    bool showContents() const;
    /// The page mapped to `context` (F1); the start page when the file maps nothing to it.
    /// False when nothing could be shown.
    bool showContext(int context) const;

private:
    struct Impl;
    QString m_programFolder;
    QStringList m_files;
    std::unique_ptr<Impl> m_impl;
};

} // namespace conv::app
