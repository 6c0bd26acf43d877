#include "gui/files/w_cjwjj.h"

#include "core/files/row_ops.h"
#include "gui/app/uo_close.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

w_cjwjj::w_cjwjj(const QString &parentFolder, QWidget *parent) : QDialog(parent) {
    setObjectName(u"w_cjwjj"_s);
    setWindowTitle(u"创建新文件夹"_s);
    setModal(true);
    setFixedSize(420, 170);

    auto *st_2 = new QLabel(u"路径:"_s, this);
    st_2->setObjectName(u"st_2"_s);
    st_2->setGeometry(16, 18, 70, 24);
    st_1 = new QLabel(parentFolder, this);
    st_1->setObjectName(u"st_1"_s);
    st_1->setGeometry(90, 18, 314, 24);
    st_1->setToolTip(parentFolder);

    auto *st_3 = new QLabel(u"文件夹名:"_s, this);
    st_3->setObjectName(u"st_3"_s);
    st_3->setGeometry(16, 54, 70, 24);
    mle_1 = new QPlainTextEdit(this);
    mle_1->setObjectName(u"mle_1"_s);
    mle_1->setGeometry(90, 52, 314, 56);
    mle_1->setTabChangesFocus(true);

    cb_1 = new QPushButton(u"创建"_s, this);
    cb_1->setObjectName(u"cb_1"_s);
    cb_1->setGeometry(90, 122, 100, 30);
    cb_2 = new zorv::gui::uo_close(this);
    cb_2->setObjectName(u"cb_2"_s);
    cb_2->setGeometry(304, 122, 100, 30);

    connect(cb_1, &QPushButton::clicked, this, &w_cjwjj::cb_1_clicked);
    mle_1->setFocus();
}

void w_cjwjj::cb_1_clicked() {
    zorv::files::createFolder(st_1->text(), mle_1->toPlainText());
}
