#pragma once
// The common cancel button "取消(&Q)": the cancel button of its window, so Esc
// anywhere in that window presses it; clicked, it closes the window holding
// it (a sheet closes its frame sub-window). A window that needs another
// action turns closing off and connects clicked itself.

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

private:
    bool m_closes = true;
    bool m_shortcutMade = false;
};

// The window a control belongs to: the top-level window, or the sheet widget
// when it sits inside a frame sub-window.
QWidget *hostWindow(QWidget *w);
// Closes that window (the sub-window of a sheet); false when it refused.
bool closeHostWindow(QWidget *w);

} // namespace zorv::gui
