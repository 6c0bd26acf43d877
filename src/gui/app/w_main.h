#pragma once
// The frame "Zorvane": the menu m_main with its toolbar, the MDI client mdi_1
// holding the sheets, and the status line. Closing it ends the program.

#include <QMainWindow>
#include <QPointer>
#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace zorv::gui {

// Property set on the menu actions whose windows open through an opener.
extern const char *const kPendingItem;

class w_main : public QMainWindow {
    Q_OBJECT
public:
    // Opens a tool window for a menu item; registered per action objectName.
    using Opener = std::function<void(w_main &frame)>;
    // Makes the menu item (and its toolbar button) open a window. Items
    // without an opener are shown disabled. Frames already open pick it up.
    static void setOpener(const QString &actionName, Opener opener);
    static Opener opener(const QString &actionName);

    explicit w_main(QWidget *parent = nullptr);
    ~w_main() override;

    QMdiArea *mdi() const { return mdi_1; }

    // Opens sheet inside the frame in its own size at the top left (or
    // maximised), in a holder that scrolls it when the frame is smaller, and lists it under the
    // menu-bar item at listPosition (counted from 1). A sheet whose window (objectName) is already
    // open is not opened twice: the open one is brought to the front and the new widget deleted.
    // Returns the sheet's sub-window.
    QMdiSubWindow *openSheet(QWidget *sheet, int listPosition, bool maximised);
    // The open sheets listed under the menu-bar item at listPosition.
    QList<QWidget *> sheets(int listPosition) const;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void buildToolbar();
    void applyOpeners();
    void fillSheetList(QMenu *menu, int listPosition);
    void openAbout();

    struct Sheet {
        QPointer<QMdiSubWindow> window;
        int position;
    };
    QMdiArea *mdi_1;
    QList<Sheet> m_sheets;
    QPointer<QWidget> m_about;
};

} // namespace zorv::gui
