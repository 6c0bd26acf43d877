#include "gui/app/app_icon.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace zorv::gui {

QIcon appIcon() {
    // Drawn rather than shipped as a file: a blue rounded square with a white
    // "Z". Not cached: pixmaps must not outlive the application object.
    QIcon result;
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0x1F, 0x5F, 0xA8));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(0, 0, size, size), size / 5.0, size / 5.0);
        QFont f;
        f.setBold(true);
        f.setPixelSize(size * 3 / 4);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("Z"));
        p.end();
        result.addPixmap(pm);
    }
    return result;
}

} // namespace zorv::gui
