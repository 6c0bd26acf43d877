#pragma once
// The scrolling holder of a sheet inside its frame sub-window: when the frame
// is smaller than the sheet's layout the sheet scrolls instead of being cut
// off; when the frame is larger the sheet takes the room. The holder passes
// close requests and its title on to the sheet, so a sheet that refuses to
// close keeps its sub-window open.

#include <QScrollArea>

class QMdiSubWindow;

namespace zorv::gui {

class SheetScroll final : public QScrollArea {
    Q_OBJECT
public:
    explicit SheetScroll(QWidget *sheet, QWidget *parent = nullptr);
    QWidget *sheet() const { return widget(); }
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// The sheet shown in sub (the widget inside its scrolling holder).
QWidget *sheetOf(const QMdiSubWindow *sub);

} // namespace zorv::gui
