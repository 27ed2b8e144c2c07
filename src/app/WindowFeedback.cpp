#include "app/WindowFeedback.h"

#include "app/AnsiText.h"
#include "app/MainWindow.h"
#include "app/Translation.h"
#include "run/Feedback.h"

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
        m_window.notice(coreText(text));
    }
    void errorBox(const std::string& text) override
    {
        m_window.showErrorBox(coreText(text)); // errorBoxText() was applied by the core
    }
    bool askOkCancel(const std::string& caption, const std::string& text) override
    {
        return m_window.askOkCancel(coreText(caption), coreText(text));
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

} // namespace

std::unique_ptr<Feedback> makeWindowFeedback(TMForm& window)
{
    return std::make_unique<WindowFeedback>(window);
}

} // namespace conv::app
