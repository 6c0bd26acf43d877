#pragma once
// Helpers shared by the file batch tests: a progress sink that stops when the
// scripted platform reports Esc, and quick grid rows.

#include "core/files/frn_grid.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"

#include <QStringList>

namespace zorv::files::test {

class EscSink final : public ProgressSink {
public:
    void progress(qint64, qint64, const QString &status) override {
        if (!status.isEmpty())
            statuses << status;
    }
    bool stopRequested() override { return platform().escPressed(); }
    QStringList statuses;
};

struct Row {
    QString ypath = {}, filey = {}, filen = {}, npath = {}, zml = {};
};

inline qint64 addRow(Grid &g, const Row &r) {
    const FrnColumns c(g);
    const qint64 row = g.insertRow(0);
    g.setItem(row, c.xh, row);
    g.setItem(row, c.ypath, r.ypath);
    g.setItem(row, c.filey, r.filey);
    g.setItem(row, c.filen, r.filen);
    g.setItem(row, c.npath, r.npath);
    g.setItem(row, c.zml, r.zml);
    return row;
}

// One column of every shown row.
inline QStringList column(const Grid &g, const QString &name) {
    QStringList out;
    for (qint64 r = 1; r <= g.rowCount(); ++r)
        out << g.getItemString(r, name);
    return out;
}

} // namespace zorv::files::test
