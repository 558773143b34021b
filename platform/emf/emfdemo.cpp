#include "platform/emf/emfdemo.h"

#include "platform/canvas.h"
#include "platform/metafilerecorder.h"

#include <QImage>

namespace emf {

const char16_t *const kDemoTexts[] = {
    u"Left aligned",  u"Centred text", u"Right aligned", u"班別：", u"姓名：", u"永字八法",
    u"Opaque box",    u"Clipped text that runs past its box", u"Baseline", u"Bottom",
};
const int kDemoTextCount = int(sizeof(kDemoTexts) / sizeof(kDemoTexts[0]));

namespace {

QString demoText(int i) { return QString::fromUtf16(kDemoTexts[i]); }

gdi::LogFont face(const char16_t *name, qint32 height, qint32 weight = gdi::FW_NORMAL)
{
    gdi::LogFont f;
    f.faceName = QString::fromUtf16(name);
    f.height = height;
    f.weight = weight;
    f.charSet = name[0] > 0x7f ? gdi::CHINESEBIG5_CHARSET : gdi::ANSI_CHARSET;
    return f;
}

// A 24-bit picture: a colour ramp with a dark frame.
QImage demoBitmap()
{
    QImage img(48, 32, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x * 5, y * 7, 255 - x * 5));
    for (int x = 0; x < img.width(); ++x) {
        img.setPixel(x, 0, qRgb(0, 0, 0));
        img.setPixel(x, img.height() - 1, qRgb(0, 0, 0));
    }
    return img;
}

} // namespace

void drawDemoScene(Canvas &c)
{
    using namespace gdi;
    // Background of the page.
    c.fillRect({0, 0, kDemoWidth, kDemoHeight}, {BS_SOLID, rgb(255, 255, 255), 0});

    // Lines: a one-pixel pen, a dotted pen and a wide pen.
    c.setPen({PS_SOLID, 0, rgb(0, 0, 0)});
    c.moveTo(20, 20);
    c.lineTo(300, 20);
    c.lineTo(300, 60);
    c.setPen({PS_DOT, 0, rgb(0, 0, 255)});
    c.moveTo(20, 40);
    c.lineTo(280, 40);
    c.setPen({PS_SOLID, 5, rgb(200, 0, 0)});
    c.moveTo(20, 60);
    c.lineTo(280, 60);
    c.setPen({PS_DASH, 0, rgb(0, 128, 0)});
    c.moveTo(20, 75);
    c.lineTo(280, 75);

    // Filled and hollow rectangles, rounded rectangles, ellipses.
    c.setPen({PS_SOLID, 1, rgb(0, 0, 0)});
    c.setBrush({BS_SOLID, rgb(255, 220, 120), 0});
    c.rectangle({20, 90, 100, 150});
    c.setBrush({BS_NULL, 0, 0});
    c.rectangle({110, 90, 190, 150});
    c.setBrush({BS_SOLID, rgb(120, 200, 255), 0});
    c.roundRect({200, 90, 290, 150}, 20, 20);
    c.setPen({PS_SOLID, 3, rgb(90, 0, 120)});
    c.setBrush({BS_HATCHED, rgb(90, 0, 120), HS_DIAGCROSS});
    c.ellipse({20, 160, 120, 230});
    c.setPen({PS_NULL, 0, 0});
    c.setBrush({BS_SOLID, rgb(0, 160, 80), 0});
    c.ellipse({130, 160, 200, 230});

    // Polylines and polygons.
    c.setPen({PS_SOLID, 2, rgb(0, 0, 0)});
    const std::vector<Point> zigzag{{210, 230}, {230, 170}, {250, 230}, {270, 170}, {290, 230}};
    c.polyline(zigzag);
    c.setPen({PS_SOLID, 0, rgb(128, 0, 0)});
    c.setBrush({BS_SOLID, rgb(255, 160, 160), 0});
    const std::vector<Point> star{{360, 20}, {375, 60}, {415, 60}, {383, 85}, {395, 125}, {360, 100}, {325, 125}, {337, 85}, {305, 60}, {345, 60}};
    c.polygon(star);

    // Clipping with save and restore.
    const int depth = c.saveDC();
    c.intersectClipRect({430, 20, 520, 90});
    c.setBrush({BS_SOLID, rgb(255, 128, 0), 0});
    c.setPen({PS_SOLID, 0, rgb(0, 0, 0)});
    c.ellipse({400, 0, 560, 120});
    c.restoreDC(depth);
    c.setBrush({BS_NULL, 0, 0});
    c.rectangle({430, 20, 520, 90});
    c.saveDC();
    c.intersectClipRect({540, 20, 620, 90});
    c.fillRect({520, 0, 640, 120}, {BS_SOLID, rgb(60, 60, 200), 0});
    c.selectClipRgnNone();
    c.fillRect({540, 95, 620, 105}, {BS_SOLID, rgb(60, 200, 60), 0});
    c.restoreDC(-1);

    // A 24-bit bitmap, at its size and stretched.
    const QImage bmp = demoBitmap();
    c.stretchDraw({430, 130, 478, 162}, bmp);
    c.setStretchBltMode(COLORONCOLOR);
    c.stretchDIBits({490, 130, 586, 194}, {0, 0, 48, 32}, bmp);

    // Text in three alignments, with transparent and opaque backgrounds.
    c.setFont(face(u"Arial", -16));
    c.setTextColor(rgb(0, 0, 0));
    c.setBkMode(TRANSPARENT);
    c.setTextAlign(TA_LEFT | TA_TOP);
    c.textOut(20, 250, demoText(0));
    c.setTextAlign(TA_CENTER | TA_TOP);
    c.textOut(320, 250, demoText(1));
    c.setTextAlign(TA_RIGHT | TA_TOP);
    c.textOut(620, 250, demoText(2));
    c.setPen({PS_SOLID, 0, rgb(200, 200, 200)});
    c.moveTo(320, 245);
    c.lineTo(320, 275);

    // CJK text in the worksheet's Kai face, opaque.
    c.setFont(face(u"標楷體", -32));
    c.setBkMode(OPAQUE);
    c.setBkColor(rgb(255, 255, 200));
    c.setTextColor(rgb(0, 0, 128));
    c.setTextAlign(TA_LEFT | TA_TOP);
    c.textOut(20, 290, demoText(3));
    c.textOut(220, 290, demoText(4));
    c.setFont(face(u"標楷體", -48, FW_BOLD));
    c.setTextColor(rgb(160, 0, 0));
    c.setBkMode(TRANSPARENT);
    c.textOut(400, 280, demoText(5));

    // An opaque box and clipped text.
    c.setFont(face(u"Arial", -14));
    c.setTextColor(rgb(255, 255, 255));
    c.setBkColor(rgb(0, 90, 160));
    const Rect box{20, 350, 200, 380};
    c.extTextOut(30, 356, ETO_OPAQUE, &box, demoText(6));
    c.setTextColor(rgb(0, 0, 0));
    const Rect clip{220, 350, 400, 380};
    c.setBrush({BS_NULL, 0, 0});
    c.setPen({PS_SOLID, 0, rgb(0, 0, 0)});
    c.rectangle({clip.left - 1, clip.top - 1, clip.right + 1, clip.bottom + 1});
    c.extTextOut(225, 356, ETO_CLIPPED, &clip, demoText(7));
    c.setTextAlign(TA_LEFT | TA_BASELINE);
    c.textOut(420, 370, demoText(8));
    c.setTextAlign(TA_LEFT | TA_BOTTOM);
    c.textOut(520, 370, demoText(9));

    // A metafile picture stretched into a box (and its outline).
    MetafileRecorder sub(100, 60);
    sub.setPen({PS_SOLID, 2, rgb(0, 0, 160)});
    sub.setBrush({BS_SOLID, rgb(220, 240, 255), 0});
    sub.rectangle({0, 0, 100, 60});
    sub.setBrush({BS_SOLID, rgb(250, 200, 0), 0});
    sub.ellipse({25, 10, 75, 50});
    const Metafile picture = sub.finish();
    c.stretchDrawMetafile({20, 395, 220, 455}, picture);
    c.stretchDrawMetafile({240, 395, 290, 425}, picture);
}

} // namespace emf
