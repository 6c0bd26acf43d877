#pragma once
// The logic of the account window: the checks when leaving the confirmation
// edits and the change of user name and password. Messages go through
// zorv::platform(); the window moves the focus and closes as told.

#include "core/db/transaction.h"

#include <QString>

namespace zorv::app {

// Leaving the user-name confirmation: false (after "错误" / "前后用户不一致，请重输")
// when it differs from the new user name.
bool confirmUser(const QString &user, const QString &userAgain);
// Leaving the password confirmation: false (after "错误" / "前后密码不一致，请重输")
// when it differs from the new password.
bool confirmPassword(const QString &password, const QString &passwordAgain);

struct AccountChange {
    enum class Focus { Unchanged, NewUser, NewPassword };
    bool closeWindow = false;
    Focus focus = Focus::Unchanged;
};

// The OK button: refuses empty fields, then changes the user name (when both
// entries agree) and the password (when both agree), each committed on its
// own or rolled back when no row changed. The window closes once the
// password part has run.
AccountChange changeAccount(const QString &user, const QString &userAgain, const QString &password,
                            const QString &passwordAgain, db::Transaction &tx = db::sqlca());

} // namespace zorv::app
