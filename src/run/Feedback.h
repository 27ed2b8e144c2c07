#pragma once

#include "run/RowList.h"

#include <filesystem>
#include <string>

namespace conv
{

/// The changes a run makes to what the window shows. The window carries them out; the batch
/// converter and the tests may record or ignore them.
enum class UiChange
{
    HideFolderChooser,  ///< the folder list and drive box are hidden for good
    DisableExportar,    ///< the XADE-to-timetable button is disabled for good
    DisableImportar,    ///< the timetable-to-XADE button is disabled for good
    ShowCallScreen,     ///< the call screen appears
    ShowLevelScreen,    ///< the call screen gives way to the level screen
    ShowLevelWarning,   ///< the level warning and "Volver a los Datos" appear, "Aceptar" hides
    HideLevelWarning,   ///< back to the ready level screen
    HideLevelScreen,    ///< the run of stages is over
    CloseWindow,        ///< an embedded window closes (its close handler writes the status)
};

/// Everything a run shows to the user or asks of them. Texts are in the converter's 8-bit code
/// page; a front end converts them for display.
class Feedback
{
public:
    virtual ~Feedback() = default;

    /// The plain message box: the application title as caption, the text, no icon, "OK".
    virtual void notice(const std::string& text) = 0;
    /// The standard error box. `text` is already formatted by errorBoxText().
    virtual void errorBox(const std::string& text) = 0;
    /// A question with a warning icon and the buttons OK and Cancel. True only for OK;
    /// Cancel or closing the box count as no.
    virtual bool askOkCancel(const std::string& caption, const std::string& text) = 0;
    /// A screen change (see UiChange).
    virtual void change(UiChange what) = 0;
    /// The screen-wide wait cursor on or off.
    virtual void setBusy(bool busy) = 0;
    /// The modal check of the period template ("Control de Plantilla Horaria"): the user may
    /// correct PLANTILLA in `workFolder` before the timetable is exported. How it ends does not
    /// matter. Nothing happens where nobody can answer (the batch converter).
    virtual void checkTemplate(const std::filesystem::path& workFolder)
    {
        (void)workFolder;
    }
    /// A list for the user to look through and save (the classes an export passed over), shown
    /// modally until it is closed. Nothing happens where nobody looks (the batch converter, which
    /// writes the list on request).
    virtual void showList(const RowList& list)
    {
        (void)list;
    }
};

/// The level screen's warning (Windows-1252), shown when a course lacks its level or course code.
inline constexpr const char* kLevelWarning =
    "!!!!!!! ATENCI\xD3N !!!!!!!  Existe alg\xFAn NIVEL o CURSO, sin contenido. Debe completar todos los datos "
    "en la columna NIVEL y CURSO.";

} // namespace conv
