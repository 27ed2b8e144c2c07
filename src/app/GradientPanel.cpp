#include "app/GradientPanel.h"

#include <QLinearGradient>
#include <QPainter>

namespace conv::app
{

QFont formFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

GradientPanel::GradientPanel(QColor top, QColor middle, QColor bottom, QWidget* parent)
    : QWidget(parent)
    , m_top(top)
    , m_middle(middle)
    , m_bottom(bottom)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GradientPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The last pixel row is the bottom colour itself, so the stops span height - 1.
    QLinearGradient gradient(0, 0, 0, qMax(0, height() - 1));
    gradient.setColorAt(0.0, m_top);
    gradient.setColorAt(0.5, m_middle);
    gradient.setColorAt(1.0, m_bottom);
    painter.fillRect(rect(), gradient);
}

} // namespace conv::app
