// Step 2 of w_frn: choosing a string operation, computing the new names,
// importing new names and exporting the source names.

#include "gui/files/w_frn.h"

#include "core/files/list_file.h"
#include "core/files/name_ops.h"
#include "core/files/new_names.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

using namespace Qt::Literals::StringLiterals;
namespace files = zorv::files;

void w_frn::updatePreviewButton() {
    cb_5->setVisible(!ddlb_1->currentText().startsWith(u'.'));
}

// Shows the parameter edits the chosen operation reads, with their labels.
// Operations 2 and 7 read only the text parameter (besides the count), so
// st_3/em_3 move up into the first row; operation 3 puts them back.
void w_frn::ddlb_1_selectionChanged() {
    const QString text = ddlb_1->currentText();
    const QChar code = text.isEmpty() ? QChar() : text.front();
    updatePreviewButton();
    vpb_1->setValue(0);

    auto show = [](std::initializer_list<QWidget *> shown,
                   std::initializer_list<QWidget *> hidden) {
        for (QWidget *w : hidden)
            w->hide();
        for (QWidget *w : shown)
            w->show();
    };
    auto moveUp = [this] {
        st_3->move(st_3->x(), st_1->y());
        em_3->move(em_3->x(), em_1->y());
    };

    switch (code.unicode()) {
    case '1':
        st_1->setText(u"从第几个开始截取"_s);
        st_2->setText(u"字符截取总个数"_s);
        show({st_1, st_2, em_1, em_2}, {st_3, em_3});
        break;
    case '2':
        moveUp();
        st_3->setText(u"标致位置的字符"_s);
        st_2->setText(u"字符截取总个数"_s);
        show({st_2, st_3, em_2, em_3}, {st_1, em_1});
        break;
    case '7':
        moveUp();
        st_3->setText(u"新文件扩展名"_s);
        show({st_3, em_3}, {st_1, st_2, em_1, em_2});
        break;
    case '3':
        st_3->move(st_3->x(), oldy1);
        em_3->move(em_3->x(), oldy2);
        st_1->setText(u"从第几个开始替换"_s);
        st_2->setText(u"要替换字符个数"_s);
        st_3->setText(u"用来替换的字符"_s);
        show({st_1, st_2, st_3, em_1, em_2, em_3}, {});
        break;
    case '9':
        st_1->setText(u"等差数列的公差"_s);
        show({st_1, em_1}, {st_2, st_3, em_2, em_3});
        break;
    default: // the placeholder and the operations without parameters
        show({}, {st_1, st_2, st_3, em_1, em_2, em_3});
        break;
    }
}

void w_frn::cb_5_clicked() {
    files::NameOpParams p;
    p.op = files::operationCode(ddlb_1->currentText());
    p.start = files::editValue(em_1->text());
    p.count = files::editValue(em_2->text());
    p.text = em_3->text();
    p.step = files::editValue(em_1->text());
    files::ComputeResult result;
    {
        BusyScope busy(this);
        result = files::computeNames(*m_grid, p, rb_2->isChecked(), busy);
    }
    if (result == files::ComputeResult::Done)
        cb_3->setEnabled(true);
}

void w_frn::cb_4_clicked() {
    bool imported;
    {
        BusyScope busy(this);
        imported =
            files::importNewNames(*m_grid, em_4->value(), sle_1->text(), files::openListFile, busy);
    }
    if (imported)
        cb_3->setEnabled(true);
}

void w_frn::cb_2_clicked() {
    files::exportSourceNamesChosen(*m_grid);
}
