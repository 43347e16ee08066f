// Draws the program's logo and writes it as a BMP file.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        fprintf(stderr, "usage: mklogo <file.bmp>\n");
        return 2;
    }
    QImage img(128, 128, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 128, 128);
    g.setColorAt(0, QColor(0x2b, 0x7a, 0xd8));
    g.setColorAt(1, QColor(0x16, 0x3f, 0x8c));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(6, 6, 116, 116), 22, 22);
    // An open address book: two pages and a quill.
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(24, 34, 38, 58), 4, 4);
    p.drawRoundedRect(QRectF(66, 34, 38, 58), 4, 4);
    p.setPen(QPen(QColor(0x2b, 0x7a, 0xd8), 3));
    for (int y = 48; y <= 78; y += 10) {
        p.drawLine(30, y, 56, y);
        p.drawLine(72, y, 98, y);
    }
    QPainterPath quill;
    quill.moveTo(100, 20);
    quill.cubicTo(80, 30, 66, 60, 60, 104);
    quill.cubicTo(74, 70, 90, 44, 100, 20);
    p.setPen(QPen(QColor(0xf5, 0xb8, 0x2e), 2));
    p.setBrush(QColor(0xf5, 0xb8, 0x2e));
    p.drawPath(quill);
    p.end();
    return img.save(args.at(1), "BMP") ? 0 : 1;
}
