#pragma once
// A window test's set-up: a temporary home, the scripted platform (with real
// event processing, so that long loops repaint and timers fire while they
// run) and a shown window of type W, whose controls are found by objectName.

#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QAbstractButton>
#include <QTest>
#include <memory>

namespace zorv::test {

template <typename W> struct WindowFixture {
    TestHome home;
    ScriptedPlatform sp;
    std::unique_ptr<W> w;

    WindowFixture() {
        sp.pumpEvents = true;
        w = std::make_unique<W>();
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("%s was not exposed", W::staticMetaObject.className());
    }

    template <typename T = QWidget> T *get(const QString &name) const {
        T *c = w->template findChild<T *>(name);
        if (!c)
            qFatal("no control %s", qPrintable(name));
        return c;
    }
    void click(const QString &name) const {
        QTest::mouseClick(get<QAbstractButton>(name), Qt::LeftButton);
    }
};

} // namespace zorv::test
