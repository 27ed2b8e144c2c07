#include "app/Conversion.h"

#include "app/MainWindow.h"

#include <filesystem>

namespace conv::app
{
namespace
{

constexpr const char* kNoFolder = "No existe la carpeta";

/// The window's own part of both directions until the stages join the build: the folder check
/// and its status.
class FolderCheck : public Conversion
{
public:
    explicit FolderCheck(TMForm& window)
        : m_window(window)
    {
    }

    void BExportarClick(const std::string& folder) override
    {
        if (exists(folder)) {
            m_window.disableExportar();
            m_transformado = 1;
            m_window.hideFolderChooser();
            m_window.disableImportar();
            return;
        }
        missing(-1);
    }
    void BImportarClick(const std::string& folder) override
    {
        if (!exists(folder))
            missing(0);
    }
    void BitBtn1Click() override
    {
    }
    void FinalRecogida() override
    {
    }
    void Button2Click() override
    {
    }
    std::int32_t& Transformado() override
    {
        return m_transformado;
    }
    std::int32_t& NumParametros() override
    {
        return m_numParametros;
    }
    std::int32_t& ErrorProceso() override
    {
        return m_errorProceso;
    }
    Table* wwTableCentro() override
    {
        return nullptr;
    }
    Table* wwTableNIVIMP() override
    {
        return nullptr;
    }

private:
    static bool exists(const std::string& folder)
    {
        std::error_code ec;
        return std::filesystem::is_directory(folder, ec);
    }
    void missing(std::int32_t embeddedStatus)
    {
        m_window.notice(QString::fromLatin1(kNoFolder));
        if (m_numParametros == 2) {
            m_transformado = embeddedStatus;
            m_window.closeWindow();
        }
    }

    TMForm& m_window;
    std::int32_t m_transformado = 0;
    std::int32_t m_numParametros = 0;
    std::int32_t m_errorProceso = 0;
};

} // namespace

std::unique_ptr<Conversion> makeConversion(TMForm& window)
{
    return std::make_unique<FolderCheck>(window);
}

} // namespace conv::app
