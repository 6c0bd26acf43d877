#pragma once
// The common cancel button "取消(&Q)": the cancel button of its window, so Esc
// anywhere in that window presses it (unless an open pop-up took the key); clicked, it closes the
// window holding it (a sheet closes its frame sub-window). A window that needs another action turns
// closing off and connects clicked itself.

#include <QPointer>
#include <QPushButton>

namespace zorv::gui {

class uo_close : public QPushButton {
    Q_OBJECT
public:
    explicit uo_close(QWidget *parent = nullptr);
    void setClosesWindow(bool on) { m_closes = on; }
    bool closesWindow() const { return m_closes; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_closes = true;
    QPointer<QWidget> m_host; // the window whose unhandled Esc presses the button
};

// The window a control belongs to: the top-level window, or the widget a
// frame sub-window holds (a sheet's scrolling holder) when it sits in one.
QWidget *hostWindow(QWidget *w);
// Closes that window (the sub-window of a sheet); false when it refused.
bool closeHostWindow(QWidget *w);

} // namespace zorv::gui
