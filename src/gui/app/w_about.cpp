#include "gui/app/w_about.h"

#include "core/platform/platform.h"

#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace zorv::gui {

LinkLabel::LinkLabel(const QString &text, const QString &url, QWidget *parent)
    : QLabel(text, parent), m_url(url) {
    if (!url.isEmpty()) {
        setCursor(Qt::PointingHandCursor);
        setStyleSheet(QStringLiteral("color: #1a5fb4; text-decoration: underline;"));
        setToolTip(url);
    }
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

QString w_about::communityUrl() {
    return QStringLiteral("https://community.zorvane.example/");
}

QString w_about::otherProgramUrl() {
    return QStringLiteral("https://www.zorvane.example/download/cardbox");
}

QString w_about::homePageUrl() {
    return QStringLiteral("https://www.zorvane.example/");
}

QString w_about::databaseText(const db::Transaction &tx) {
    if (!tx.isConnected())
        return QStringLiteral("数据库：未连接");
    if (!tx.databaseFile().isEmpty())
        return QStringLiteral("数据库文件：") + QDir::toNativeSeparators(tx.databaseFile());
    return QStringLiteral("数据源：") +
           db::connectValue(db::connectStringOf(tx.dbParm()), QStringLiteral("DSN"));
}

// A dialog-type window of its own: the window manager keeps it above the frame
// that opened it while it is open.
w_about::w_about(QWidget *parent, db::Transaction &tx)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("w_about"));
    setWindowTitle(QStringLiteral("关于"));

    struct Line {
        const char *name;
        QString text;
        QString url;
    };
    const Line lines[] = {
        {"st_5", QStringLiteral("欢迎访问 Zorvane 用户社区，交流使用心得"), communityUrl()},
        {"st_4", QStringLiteral("同一作者的另一个小程序：“卡片盒”名片管理（点击下载）"),
         otherProgramUrl()},
        {"st_3", QStringLiteral("联系地址：feedback@zorvane.example"), QString()},
        {"st_2", QStringLiteral("主页：www.zorvane.example"), homePageUrl()},
        {"st_1", QStringLiteral("Zorvane 由 Zorvane 开发组编写，谨以此献给每天和表格打交道的人"),
         QString()},
    };
    QFont arial = font();
    arial.setFamily(QStringLiteral("Arial"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 24);
    layout->setSpacing(12);
    QLabel **fields[] = {&st_5, &st_4, &st_3, &st_2, &st_1};
    for (int i = 0; i < 5; ++i) {
        auto *label = new LinkLabel(lines[i].text, lines[i].url, this);
        label->setObjectName(QString::fromLatin1(lines[i].name));
        label->setFont(arial);
        if (!lines[i].url.isEmpty())
            connect(label, &LinkLabel::clicked, this, [url = lines[i].url] {
                // A failed open is said, not written to a terminal the
                // user does not see.
                if (!platform().openUrl(url))
                    platform().messageBox(QStringLiteral("操作提示"),
                                          QStringLiteral("无法打开网页：") + url);
            });
        *fields[i] = label;
        if (i == 4) {
            ln_1 = new QFrame(this);
            ln_1->setObjectName(QStringLiteral("ln_1"));
            ln_1->setFrameShape(QFrame::HLine);
            ln_1->setFrameShadow(QFrame::Sunken);
            layout->addWidget(ln_1);
        }
        layout->addWidget(label);
    }
    // Which file the program works on, so that a second data folder is never
    // used unnoticed; selectable so that the path can be copied.
    st_db = new QLabel(databaseText(tx), this);
    st_db->setObjectName(QStringLiteral("st_db"));
    st_db->setFont(arial);
    st_db->setWordWrap(true);
    st_db->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(st_db);
}

void w_about::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace zorv::gui
