#pragma once
// The window "输入SQL语句" that stores a statement made elsewhere (the
// catalogue browser's generated SELECT) in the library: it opens with that
// text in mle_1, the user adds a purpose and saves; it stays open after.

#include "gui/sqllib/sql_entry_form.h"

namespace zorv::gui {

class w_ssql : public SqlEntryForm {
    Q_OBJECT
public:
    explicit w_ssql(const QString &statement = {}, QWidget *parent = nullptr);
};

} // namespace zorv::gui
