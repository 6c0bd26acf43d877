#include "core/app/account.h"

#include "core/db/statements.h"
#include "core/platform/platform.h"
#include "core/text/gbtext.h"

namespace zorv::app {
namespace {

const QString kError = QStringLiteral("错误");
const QString kNotice = QStringLiteral("提示");

// Runs one account update and makes it final: committed when a row changed
// (and the commit succeeded), rolled back otherwise. True when it took effect.
template <typename Update> bool applyUpdate(db::Transaction &tx, Update update) {
    if (update() == 0 && tx.sqlnrows() >= 1 && tx.commit() == 0)
        return true;
    tx.rollback();
    return false;
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

    if (u1 != u2) {
        platform().messageBox(kError, QStringLiteral("前后新用户不一致，请重输"), MsgIcon::Warning);
        out.focus = AccountChange::Focus::NewUser;
    } else if (applyUpdate(tx, [&] { return db::updateUser(tx, u1); })) {
        platform().messageBox(kNotice, QStringLiteral("用户已成功更改"));
    } else {
        platform().messageBox(kError, QStringLiteral("无法更改用户"), MsgIcon::Error);
    }

    if (p1 != p2) {
        platform().messageBox(kError, QStringLiteral("前后新密码不一致，请重输"), MsgIcon::Warning);
        out.focus = AccountChange::Focus::NewPassword;
        return out;
    }
    if (applyUpdate(tx, [&] { return db::updatePassword(tx, p1); }))
        platform().messageBox(kNotice, QStringLiteral("密码已成功更改"));
    else
        platform().messageBox(kError, QStringLiteral("无法更改密码"), MsgIcon::Error);
    out.closeWindow = true;
    return out;
}

} // namespace zorv::app
