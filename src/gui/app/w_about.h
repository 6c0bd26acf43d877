#pragma once
// The about window "关于": five lines of text, three of them links that open
// a web page through the platform, and the database in use.

#include "core/db/transaction.h"

#include <QLabel>
#include <QWidget>

class QFrame;

namespace zorv::gui {

// A static text that can act as a link: hand pointer, clicked on release.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString &text, const QString &url, QWidget *parent = nullptr);
    QString url() const { return m_url; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString m_url;
};

class w_about : public QWidget {
    Q_OBJECT
public:
    // Shows the database of tx (the shared transaction normally) as it is when opened.
    explicit w_about(QWidget *parent = nullptr, db::Transaction &tx = db::sqlca());

    // "数据库文件：" and the file, or the data source of a server, or "未连接".
    static QString databaseText(const db::Transaction &tx);

    // The web addresses the three links open.
    static QString communityUrl();
    static QString otherProgramUrl();
    static QString homePageUrl();

protected:
    void keyPressEvent(QKeyEvent *event) override; // Esc closes

private:
    QLabel *st_5;
    QLabel *st_4;
    QLabel *st_3;
    QLabel *st_2;
    QLabel *st_1;
    QLabel *st_db;
    QFrame *ln_1;
};

} // namespace zorv::gui
