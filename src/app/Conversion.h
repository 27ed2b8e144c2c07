#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace conv
{
class Feedback;
class Table;
}

namespace conv::app
{

class TMForm;

/// The conversion core as the window drives it: the handlers of both directions, the shared
/// values and the two tables the window's grids show. The batch converter runs the same core.
class Conversion
{
public:
    virtual ~Conversion() = default;

    /// "Transformar datos desde XADE hacia Vestrano" with the folder list's current folder.
    virtual void BExportarClick(const std::string& folder) = 0;
    /// "Continuar" on the call screen.
    virtual void BitBtn1Click() = 0;
    /// "Aceptar" on the level screen.
    virtual void FinalRecogida() = 0;
    /// "Volver a los Datos".
    virtual void Button2Click() = 0;
    /// "Transformar datos desde Vestrano hacia XADE" with the folder list's current folder.
    virtual void BImportarClick(const std::string& folder) = 0;

    virtual std::int32_t& Transformado() = 0;
    virtual std::int32_t& NumParametros() = 0;
    virtual std::int32_t& ErrorProceso() = 0;

    /// wwTableCentro (the call grid) and wwTableNIVIMP (the level grid), never null; the level
    /// grid's opened on its table when `open` is true.
    virtual Table* wwTableCentro() = 0;
    virtual Table* wwTableNIVIMP(bool open = false) = 0;

    /// The work folder of the run.
    virtual const std::filesystem::path& workFolder() const = 0;
    /// Follows the folder the user opened: the work folder moves to the one for `opened`.
    /// Only before a direction starts; false (nothing moves) once it has.
    virtual bool followFolder(const std::filesystem::path& opened) = 0;
};

/// The window as the core's feedback: its boxes, its wait cursor and its screens.
std::unique_ptr<Feedback> makeWindowFeedback(TMForm& window);

/// The core for a window, built once for the window's life, on the work folder for the folder
/// the user has open; it shows and asks everything through `feedback`.
std::unique_ptr<Conversion> makeConversion(Feedback& feedback, const std::filesystem::path& openedFolder);

} // namespace conv::app
