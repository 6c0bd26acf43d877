#pragma once
// The entry window "录入SQL语句": one statement typed with its purpose, both
// required, stored with the next free number.

#include "gui/sqllib/sql_entry_form.h"

namespace zorv::gui {

class w_isql : public SqlEntryForm {
    Q_OBJECT
public:
    explicit w_isql(QWidget *parent = nullptr);
};

} // namespace zorv::gui
