#include "gui/sqllib/w_isql.h"

using namespace Qt::StringLiterals;

namespace zorv::gui {

w_isql::w_isql(QWidget *parent) : SqlEntryForm(u"w_isql"_s, u"录入SQL语句"_s, true, parent) {}

} // namespace zorv::gui
