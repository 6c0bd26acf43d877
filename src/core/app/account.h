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

// The OK button: refuses empty fields, then differing user names, then
// differing passwords, changing nothing and keeping the window open. Only
// when all four entries are valid are user name and password written, in one
// transaction: both are kept, or (an update failed or changed no row) both
// rolled back. The window then closes.
AccountChange changeAccount(const QString &user, const QString &userAgain, const QString &password,
                            const QString &passwordAgain, db::Transaction &tx = db::sqlca());

} // namespace zorv::app
