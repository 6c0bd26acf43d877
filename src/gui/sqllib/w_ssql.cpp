#include "gui/sqllib/w_ssql.h"

#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

namespace zorv::gui {

w_ssql::w_ssql(const QString &statement, QWidget *parent)
    : SqlEntryForm(u"w_ssql"_s, u"输入SQL语句"_s, false, parent) {
    mle_1->setPlainText(statement);
}

} // namespace zorv::gui
