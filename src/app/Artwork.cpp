#include "app/Artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <cmath>

#include "platform/ui/Controls.h"

namespace app::artwork {

namespace {
QImage blank(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}
const QColor kBlue(40, 80, 140);
const QColor kGrey(110, 110, 110);
} // namespace

QImage infoIcon()
{
    QImage img = blank(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(kBlue);
    p.setPen(Qt::NoPen);
    p.drawEllipse(2, 2, 28, 28);
    p.setBrush(Qt::white);
    p.drawEllipse(14, 7, 5, 5);
    p.drawRect(14, 14, 5, 11);
    return img;
}

QImage optionsIcon()
{
    QImage img = blank(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(16, 16);
    p.setPen(Qt::NoPen);
    p.setBrush(kGrey);
    for (int i = 0; i < 8; ++i) {
        p.drawRect(-3, -15, 6, 8);
        p.rotate(45);
    }
    p.drawEllipse(QPointF(0, 0), 10, 10);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0, 0), 4, 4);
    return img;
}

QImage closeIcon()
{
    QImage img = blank(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(170, 40, 40));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(2, 2, 28, 28, 5, 5);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(10, 10, 22, 22);
    p.drawLine(22, 10, 10, 22);
    return img;
}

QImage stepGlyph()
{
    QImage img = blank(16, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    QPainterPath path;
    path.moveTo(3, 2);
    path.lineTo(13, 8);
    path.lineTo(3, 14);
    path.closeSubpath();
    p.drawPath(path);
    return img;
}

static QImage wordLogo(const QString& word, const QColor& color)
{
    QImage img = blank(120, 48);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color, 2));
    p.drawRoundedRect(1, 1, 118, 46, 6, 6);
    p.setFont(platform::uiFont(QStringLiteral("Verdana"), 14, true));
    p.drawText(QRect(0, 0, 120, 48), Qt::AlignCenter, word);
    return img;
}

QImage makerLogo() { return wordLogo(QStringLiteral("OstrelCorp"), kBlue); }
QImage partnerLogo() { return wordLogo(QStringLiteral("Quendal"), QColor(30, 120, 60)); }

} // namespace app::artwork
