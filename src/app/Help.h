#pragma once

#include <QString>

namespace conv::app
{

/// The help file's name, looked for beside the program file without regard to letter case.
inline constexpr const char* kHelpFile = "XADE.CHM";

/// Compiled HTML help on this platform: the help file is handed to an installed viewer of
/// compiled help files (xchm, kchmviewer or okular, in that order). Without the file or a
/// viewer, help requests do nothing, as with a missing help library.
class Help
{
public:
    explicit Help(QString programFolder);

    /// The help file beside the program, or "" when there is none.
    QString helpFile() const;
    /// The first installed viewer, or "" when none is.
    static QString viewer();
    /// The contents of the help file ("F1 AYUDA"). False when nothing could be shown.
    bool showContents() const;
    /// The topic of a help context (F1). The viewers take no context numbers from outside, so
    /// the file opens on its start topic.
    bool showContext(int context) const;

private:
    QString m_programFolder;
};

} // namespace conv::app
