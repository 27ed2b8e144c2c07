#include "app/Conversion.h"

#include "app/AnsiText.h"
#include "app/MainWindow.h"
#include "export/Export.h"
#include "import/Import.h"
#include "run/Feedback.h"
#include "run/RunState.h"
#include "tables/WorkFolder.h"

namespace conv::app
{
namespace
{

/// The window as the core's feedback: boxes through the window, screen changes on its controls.
class WindowFeedback : public Feedback
{
public:
    explicit WindowFeedback(TMForm& window)
        : m_window(window)
    {
    }
    void notice(const std::string& text) override
    {
        m_window.notice(fromAnsi(text));
    }
    void errorBox(const std::string& text) override
    {
        m_window.showErrorBox(fromAnsi(text)); // errorBoxText() was applied by the core
    }
    bool askOkCancel(const std::string& caption, const std::string& text) override
    {
        return m_window.askOkCancel(fromAnsi(caption), fromAnsi(text));
    }
    void setBusy(bool busy) override
    {
        m_window.setBusy(busy);
    }
    void checkTemplate(const std::filesystem::path& workFolder) override
    {
        m_window.checkTemplate(workFolder);
    }
    void change(UiChange what) override
    {
        switch (what) {
        case UiChange::HideFolderChooser: m_window.hideFolderChooser(); break;
        case UiChange::DisableExportar: m_window.disableExportar(); break;
        case UiChange::DisableImportar: m_window.disableImportar(); break;
        case UiChange::ShowCallScreen: m_window.showCallScreen(); break;
        case UiChange::ShowLevelScreen: m_window.showLevelScreen(); break;
        case UiChange::ShowLevelWarning: m_window.showLevelWarning(); break;
        case UiChange::HideLevelWarning: m_window.hideLevelWarning(); break;
        case UiChange::HideLevelScreen: m_window.hideLevelScreen(); break;
        case UiChange::CloseWindow: m_window.closeWindow(); break;
        }
    }

private:
    TMForm& m_window;
};

/// The core of both directions on one run state.
class CoreConversion : public Conversion
{
public:
    CoreConversion(Feedback& feedback, const std::filesystem::path& openedFolder)
        : m_run(feedback, workFolderFor(openedFolder))
    {
    }

    void BExportarClick(const std::string& folder) override
    {
        import::BExportarClick(m_run, folder);
    }
    void BitBtn1Click() override
    {
        import::BitBtn1Click(m_run);
    }
    void FinalRecogida() override
    {
        import::FinalRecogida(m_run);
    }
    void Button2Click() override
    {
        import::Button2Click(m_run);
    }
    void BImportarClick(const std::string& folder) override
    {
        exporter::BImportarClick(m_run, folder);
    }
    std::int32_t& Transformado() override
    {
        return m_run.Transformado;
    }
    std::int32_t& NumParametros() override
    {
        return m_run.NumParametros;
    }
    std::int32_t& ErrorProceso() override
    {
        return m_run.ErrorProceso;
    }
    Table* wwTableCentro() override
    {
        return &m_run.table(Handle::wwTableCentro);
    }
    Table* wwTableNIVIMP(bool open) override
    {
        return &m_run.table(Handle::wwTableNIVIMP, open);
    }
    const std::filesystem::path& workFolder() const override
    {
        return m_run.workFolder;
    }
    bool followFolder(const std::filesystem::path& opened) override
    {
        return m_run.moveWorkFolder(workFolderFor(opened));
    }

private:
    RunState m_run;
};

} // namespace

std::unique_ptr<Feedback> makeWindowFeedback(TMForm& window)
{
    return std::make_unique<WindowFeedback>(window);
}

std::unique_ptr<Conversion> makeConversion(Feedback& feedback, const std::filesystem::path& openedFolder)
{
    return std::make_unique<CoreConversion>(feedback, openedFolder);
}

} // namespace conv::app
