#include "gui/files/w_cjwjj.h"

#include "core/files/row_ops.h"
#include "gui/app/named.h"
#include "gui/app/uo_close.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;
using zorv::gui::named;

w_cjwjj::w_cjwjj(const QString &parentFolder, QWidget *parent) : QDialog(parent) {
    setObjectName(u"w_cjwjj"_s);
    setWindowTitle(u"创建新文件夹"_s);
    setModal(true);
    setFixedSize(420, 170);

    auto *st_2 = named<QLabel>(u"st_2"_s, u"路径:"_s, this);
    st_2->setGeometry(16, 18, 70, 24);
    st_1 = named<QLabel>(u"st_1"_s, parentFolder, this);
    st_1->setGeometry(90, 18, 314, 24);
    st_1->setToolTip(parentFolder);

    auto *st_3 = named<QLabel>(u"st_3"_s, u"文件夹名:"_s, this);
    st_3->setGeometry(16, 54, 70, 24);
    mle_1 = named<QPlainTextEdit>(u"mle_1"_s, this);
    mle_1->setGeometry(90, 52, 314, 56);
    mle_1->setTabChangesFocus(true);

    cb_1 = named<QPushButton>(u"cb_1"_s, u"创建"_s, this);
    cb_1->setGeometry(90, 122, 100, 30);
    cb_2 = named<zorv::gui::uo_close>(u"cb_2"_s, this);
    cb_2->setGeometry(304, 122, 100, 30);

    connect(cb_1, &QPushButton::clicked, this, &w_cjwjj::cb_1_clicked);
    mle_1->setFocus();
}

void w_cjwjj::cb_1_clicked() {
    zorv::files::createFolder(st_1->text(), mle_1->toPlainText());
}
