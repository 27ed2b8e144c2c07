#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

namespace conv::app
{

/// The forms' font: the classic dialog font, 11 pixels; where it is missing a metric twin of
/// Arial stands in for it.
QFont formFont();

/// A panel that paints a vertical three-colour gradient behind the controls placed on it:
/// `top` at the top edge, `middle` at mid-height, `bottom` at the bottom edge.
class GradientPanel : public QWidget
{
    Q_OBJECT
public:
    GradientPanel(QColor top, QColor middle, QColor bottom, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_top;
    QColor m_middle;
    QColor m_bottom;
};

} // namespace conv::app
