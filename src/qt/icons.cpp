#include "qt/icons.h"

#include <QPainter>
#include <QPixmap>

#include "frontend/recent_files.h"

namespace vt::gui {

namespace {

QPixmap blank(int size = 16) {
    QPixmap p(size, size);
    p.fill(Qt::transparent);
    return p;
}

// A cartridge outline with a coloured label.
QIcon cartridge_icon(QColor label, QColor mark) {
    QPixmap p = blank();
    QPainter g(&p);
    g.setPen(QColor(60, 60, 60));
    g.setBrush(QColor(170, 170, 170));
    g.drawRect(2, 1, 11, 13);
    g.fillRect(4, 3, 8, 6, label);
    if (mark.isValid()) g.fillRect(9, 10, 3, 3, mark);
    return QIcon(p);
}

}  // namespace

QIcon recent_file_icon(uint8_t kind) {
    switch (kind) {
        case kIconBattery: return cartridge_icon(QColor(200, 200, 230), QColor(0, 160, 0));
        case kIconCoprocessor: return cartridge_icon(QColor(200, 200, 230), QColor(40, 40, 40));
        case kIconNes: return cartridge_icon(QColor(200, 40, 40), QColor());
        default: return cartridge_icon(QColor(200, 200, 230), QColor());
    }
}

QIcon device_icon(uint8_t device) {
    QPixmap p = blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QColor(40, 40, 40));
    switch (device) {
        case 1:  // joypad: a rounded body with a cross and two buttons
            g.setBrush(QColor(190, 190, 200));
            g.drawRoundedRect(1, 4, 14, 8, 4, 4);
            g.fillRect(3, 7, 5, 1, Qt::black);
            g.fillRect(5, 5, 1, 5, Qt::black);
            g.setBrush(QColor(160, 40, 160));
            g.drawEllipse(10, 6, 2, 2);
            g.drawEllipse(12, 8, 2, 2);
            break;
        case 2:  // mouse: a body with a button line
            g.setBrush(QColor(210, 210, 210));
            g.drawRoundedRect(4, 1, 8, 14, 4, 4);
            g.drawLine(4, 6, 12, 6);
            g.drawLine(8, 1, 8, 6);
            break;
        case 3:  // scope: a ring with cross hairs
            g.setBrush(Qt::NoBrush);
            g.drawEllipse(2, 2, 12, 12);
            g.drawLine(8, 0, 8, 16);
            g.drawLine(0, 8, 16, 8);
            break;
        default: return QIcon();
    }
    return QIcon(p);
}

QIcon battery_icon() {
    QPixmap p = blank();
    QPainter g(&p);
    g.setPen(QColor(30, 30, 30));
    g.setBrush(QColor(60, 170, 60));
    g.drawRect(2, 4, 11, 8);
    g.fillRect(13, 6, 2, 4, QColor(30, 30, 30));
    return QIcon(p);
}

QCursor aiming_cursor() {
    QPixmap p = blank(32);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    for (int pass = 0; pass < 2; pass++) {
        // A dark outline under a light cross so it shows on any picture.
        g.setPen(QPen(pass == 0 ? QColor(0, 0, 0) : QColor(255, 255, 255), pass == 0 ? 3 : 1));
        g.setBrush(Qt::NoBrush);
        g.drawEllipse(QPointF(16, 16), 9, 9);
        g.drawLine(16, 2, 16, 12);
        g.drawLine(16, 20, 16, 30);
        g.drawLine(2, 16, 12, 16);
        g.drawLine(20, 16, 30, 16);
    }
    return QCursor(p, 16, 16);
}

}  // namespace vt::gui
