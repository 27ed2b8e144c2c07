#pragma once

#include "shell/StartMode.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "run/RowList.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace conv
{
class Feedback;
class RunState;
}

namespace conv::app
{

class DataGrid;
class DriveBox;
class FolderList;
class GradientPanel;
class Help;
class MessageBoxes;
class ParentWindows;

/// The main window's caption.
inline constexpr const char* kMainCaption = "Exportar e importar datos entre Vestrano y XADE (Formato CSV)";
/// The status file beside the program, its section and key.
inline constexpr const char* kStatusFile = "Vestrano.ini";
inline constexpr const char* kStatusSection = "Transformadores";
inline constexpr const char* kStatusKey = "Transformado";
/// What the box adds to the engine's text when the status cannot be written (UTF-8).
inline constexpr const char* kStatusNotWritten = QT_TRANSLATE_NOOP(
    "conv::app::TMForm",
    "No se pudo guardar el resultado de la conversión para Vestrano. Pida a quien administre este equipo "
    "que permita a los usuarios modificar ese archivo, o que instale este programa en la carpeta de "
    "Vestrano (la que contiene Vestrano.ini).\n\n"
    "«Reintentar» lo intenta de nuevo; «Cancelar» cierra sin guardar el resultado.");
/// The version caption: the edition of the timetable program served, then the version.
inline constexpr const char* kVersionCaption = "TransVestranoXADE para Vestrano V-1.0";
/// The message shown when parameter 2 is a number that names no window.
inline constexpr const char* kInvalidWindow = "Invalid window handle";
/// The message shown when help was asked for and nothing could show it (UTF-8).
inline constexpr const char* kHelpNotInstalled =
    QT_TRANSLATE_NOOP("conv::app::TMForm", "La ayuda no está instalada en este equipo.");
/// What the review of the XADE files says above its list, when a line would end the run and when
/// there are only losses (UTF-8).
inline constexpr const char* kReviewEnds =
    QT_TRANSLATE_NOOP("conv::app::TMForm",
                      "Las líneas marcadas, al principio, detendrían la importación. No se ha escrito nada: "
                      "corrija los ficheros en XADE, sáquelos de nuevo y pulse «Volver».");
inline constexpr const char* kReviewLosses =
    QT_TRANSLATE_NOOP("conv::app::TMForm",
                      "La importación puede seguir, pero perderá o recortará lo que dicen estas líneas. "
                      "«Continuar» importa así; «Volver» no escribe nada y deja corregir los ficheros en XADE.");
/// The window's help context (F1 anywhere in it).
inline constexpr int kMainHelpContext = 3;

/// What the window is started with.
struct WindowSetup
{
    std::vector<std::string> parameters; ///< the command line after the program path
    QString programFolder;               ///< where Vestrano.ini and XADE.CHM lie
    MessageBoxes* boxes = nullptr;       ///< the boxes the window shows
    ParentWindows* parents = nullptr;    ///< the platform's foreign windows
};

/// The main window MForm: two direction bands, the folder chooser, the call and level screens,
/// help and exit. Every handler catches at its top and shows the standard error box.
class TMForm : public QWidget
{
    Q_OBJECT
public:
    explicit TMForm(const WindowSetup& setup, QWidget* parent = nullptr);
    ~TMForm() override;

    /// The run the window's handlers drive, on the work folder for the folder opened.
    RunState& run()
    {
        return *m_run;
    }
    /// True when the window was made a child of the host's window.
    bool isEmbedded() const
    {
        return m_mode.embedded; // a refused embedding starts the window standalone
    }
    /// The path of the status file beside the program.
    QString statusFile() const;
    /// The folder list's current folder.
    QString currentFolder() const;

    // What the core shows or asks through the window.
    void notice(const QString& text);
    /// The standard error box for `message`, with the full-stop rule applied.
    void errorBox(const QString& message);
    /// The standard error box for a text the rule has already been applied to.
    void showErrorBox(const QString& formatted);
    bool askOkCancel(const QString& caption, const QString& text);
    /// Ctrl+Delete in a grid: asks, then deletes the current record.
    void confirmDelete(DataGrid* grid);
    void setBusy(bool busy);
    /// The modal check of the period template in `workFolder` ("Control de Plantilla Horaria").
    void checkTemplate(const std::filesystem::path& workFolder);
    /// A list the user looks through, modally, with "Aceptar" (the classes an export passed over).
    void showList(const RowList& list);
    /// "Continuar"'s review of the XADE files for the chosen call. True when the import may go on:
    /// nothing was found, or only losses the user accepted with "Continuar".
    bool reviewXadeFiles();
    // The screen changes the core makes.
    void hideFolderChooser();
    void disableExportar();
    void disableImportar();
    void showCallScreen();
    void showLevelScreen();
    void showLevelWarning();
    void hideLevelWarning();
    void hideLevelScreen();
    /// Closes the window the way an embedded run ends (FormClose writes the status).
    void closeWindow();

    /// Runs one handler as runHandler() does, through the window's feedback: an error ends it
    /// and shows the standard error box, leaving the state.
    bool guarded(const std::function<void()>& handler);
    /// Help from the application's help file: its contents without a context, else the topic
    /// of `context`. When nothing can show it, says that help is not installed.
    void showHelp(std::optional<int> context);

    // Handlers, also driven by tests.
    void BExportarClick();
    void BImportarClick();
    void BitBtn1Click();
    void FinalRecogida();
    void Button2Click();
    void Button1Click();
    void wwDBGridNIVIMPEnter();
    /// Background of a level grid cell: CODCURSO and NOMECURSO in the button-face colour.
    static QColor wwDBGridNIVIMPCalcCellColors(const QString& field, const QColor& brush);

    // The controls, named as in the window's layout.
    GradientPanel* Draw3D1;
    GradientPanel* Draw3D2;
    GradientPanel* Draw3D3;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label12;
    QPushButton* BExportar;
    QPushButton* BImportar;
    QPushButton* BClose;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    FolderList* Directorios;
    DriveBox* Unidades;
    QWidget* Panel1;
    QWidget* Panel2;
    DataGrid* wwDBGridCODCENTRO;
    DataGrid* wwDBGridNIVIMP;

signals:
    /// The window has closed (FormClose has run); the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTopBand();
    void buildBottomBand();
    void buildCallScreen();
    void buildLevelScreen();
    void FormCreate(const std::vector<std::string>& parameters);
    void FormClose();
    void folderChanged(const QString& folder);
    void openFolder(const QString& folder);
    void refreshGrids();
    /// Gives the keyboard focus to the first working control of the screen in view.
    void focusScreen();
    void watchHost();

    MessageBoxes& m_boxes;
    ParentWindows& m_parents;
    QString m_programFolder;
    std::unique_ptr<Help> m_help;
    std::unique_ptr<Feedback> m_feedback; // the core's, and every handler's error box
    std::unique_ptr<RunState> m_run;
    StartMode m_mode;
    bool m_busy = false;
    QString m_xadeFolder; // the folder the XADE-to-timetable direction was started on
};

} // namespace conv::app
