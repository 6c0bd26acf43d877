#include "gui/app/uo_button.h"

#include "core/platform/platform.h"

namespace zorv::gui {

uo_button::uo_button(const QString &text, QWidget *parent) : QPushButton(text, parent) {
    QFont f = font();
    f.setFamily(QStringLiteral("Arial"));
    setFont(f);
    setAutoDefault(false);
    setMouseTracking(true);
}

void uo_button::showTag() {
    if (platform().statusText() != m_tag)
        platform().setStatusText(m_tag);
}

void uo_button::enterEvent(QEnterEvent *event) {
    showTag();
    QPushButton::enterEvent(event);
}

void uo_button::mouseMoveEvent(QMouseEvent *event) {
    showTag();
    QPushButton::mouseMoveEvent(event);
}

} // namespace zorv::gui
