#include "core/app/account.h"

#include "core/db/statements.h"
#include "core/db/transaction_scope.h"
#include "core/platform/platform.h"
#include "core/text/gbtext.h"

namespace zorv::app {
namespace {

const QString kError = QStringLiteral("错误");
const QString kNotice = QStringLiteral("提示");

// Writes user name and password as one unit of work: true only when both
// updates changed a row and the commit succeeded; otherwise nothing is kept.
bool writeAccount(db::Transaction &tx, const QString &user, const QString &password) {
    db::TransactionScope scope(tx);
    return scope.isOpen() && db::updateUser(tx, user) == 0 && tx.sqlnrows() >= 1 &&
           db::updatePassword(tx, password) == 0 && tx.sqlnrows() >= 1 && scope.commit() == 0;
}

} // namespace

bool confirmUser(const QString &user, const QString &userAgain) {
    if (text::trim(user) == text::trim(userAgain))
        return true;
    platform().messageBox(kError, QStringLiteral("前后用户不一致，请重输"), MsgIcon::Warning);
    return false;
}

bool confirmPassword(const QString &password, const QString &passwordAgain) {
    if (text::trim(password) == text::trim(passwordAgain))
        return true;
    platform().messageBox(kError, QStringLiteral("前后密码不一致，请重输"), MsgIcon::Warning);
    return false;
}

AccountChange changeAccount(const QString &user, const QString &userAgain, const QString &password,
                            const QString &passwordAgain, db::Transaction &tx) {
    const QString u1 = text::trim(user), u2 = text::trim(userAgain);
    const QString p1 = text::trim(password), p2 = text::trim(passwordAgain);
    AccountChange out;
    if (u1.isEmpty() || u2.isEmpty() || p1.isEmpty() || p2.isEmpty()) {
        platform().messageBox(kNotice, QStringLiteral("用户名或密码不能为空"));
        return out;
    }
    // Every entry is checked before anything is written: a new user name
    // stored beside the old (possibly empty) password would open the
    // program to whoever knows the name.
    if (u1 != u2) {
        platform().messageBox(kError, QStringLiteral("前后新用户不一致，请重输"), MsgIcon::Warning);
        out.focus = AccountChange::Focus::NewUser;
        return out;
    }
    if (p1 != p2) {
        platform().messageBox(kError, QStringLiteral("前后新密码不一致，请重输"), MsgIcon::Warning);
        out.focus = AccountChange::Focus::NewPassword;
        return out;
    }

    if (writeAccount(tx, u1, p1)) {
        platform().messageBox(kNotice, QStringLiteral("用户已成功更改"));
        platform().messageBox(kNotice, QStringLiteral("密码已成功更改"));
    } else {
        // Both were rolled back together, so neither has changed.
        platform().messageBox(kError, QStringLiteral("无法更改用户"), MsgIcon::Error);
        platform().messageBox(kError, QStringLiteral("无法更改密码"), MsgIcon::Error);
    }
    out.closeWindow = true;
    return out;
}

} // namespace zorv::app
