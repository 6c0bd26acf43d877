#pragma once
// A command button in Arial that writes its tag (the hint for that button)
// into the frame's status line while the pointer moves over it; the text
// stays after the pointer leaves.

#include <QPushButton>

namespace zorv::gui {

class uo_button : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString tag READ tag WRITE setTag)
public:
    explicit uo_button(const QString &text = {}, QWidget *parent = nullptr);
    QString tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

protected:
    void enterEvent(QEnterEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void showTag();
    QString m_tag;
};

} // namespace zorv::gui
