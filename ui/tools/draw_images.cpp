// Draws the window's sky picture and the folder icon, so the project owns every
// pixel it ships. Run it again after changing a drawing and commit the results:
//   konversi_draw_images <output folder>
// writes sky.jpg, konversi-16.png and konversi-32.png.

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include <array>
#include <cstdio>
#include <vector>

namespace {

struct Puff {
    double x, y, r;
};

// A cumulus is a heap of round puffs with a flattish base: white where the sun
// hits the top, a cool grey towards the base.
void drawCloud(QPainter& p, const std::vector<Puff>& puffs, double baseY)
{
    QPainterPath body;
    body.setFillRule(Qt::WindingFill);
    for (const Puff& puff : puffs) {
        body.addEllipse(QPointF(puff.x, puff.y), puff.r, puff.r * 0.85);
    }
    QPainterPath belowBase;
    belowBase.addRect(QRectF(-100, baseY, 600, 400));
    body = body.subtracted(belowBase).simplified();

    const QRectF box = body.boundingRect();
    p.save();
    // A soft halo keeps the edge from looking cut out.
    for (int i = 3; i >= 1; --i) {
        p.setPen(QPen(QColor(255, 255, 255, 22), i * 2.0));
        p.setBrush(Qt::NoBrush);
        p.drawPath(body);
    }
    QLinearGradient shade(box.topLeft(), box.bottomLeft());
    shade.setColorAt(0.0, QColor(250, 251, 253));
    shade.setColorAt(0.5, QColor(228, 233, 242));
    shade.setColorAt(1.0, QColor(170, 182, 204));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawPath(body);

    // Each puff catches the light on its upper left; gradients that fade to
    // nothing before their edge keep the puffs from showing as rings.
    p.setClipPath(body);
    for (const Puff& puff : puffs) {
        const QPointF centre(puff.x - puff.r * 0.25, puff.y - puff.r * 0.4);
        QRadialGradient light(centre, puff.r * 1.1);
        light.setColorAt(0.0, QColor(255, 255, 255, 200));
        light.setColorAt(0.5, QColor(255, 255, 255, 70));
        light.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.fillRect(QRectF(centre.x() - puff.r * 1.2, centre.y() - puff.r * 1.2, puff.r * 2.4,
                          puff.r * 2.4),
                   light);
    }
    p.restore();
}

QImage drawSky()
{
    QImage sky(340, 198, QImage::Format_RGB32);
    QPainter p(&sky);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient air(0, 0, 0, sky.height());
    air.setColorAt(0.0, QColor(38, 92, 178));
    air.setColorAt(1.0, QColor(112, 162, 226));
    p.fillRect(sky.rect(), air);

    // The large cloud on the left.
    drawCloud(p,
              {{18, 150, 30},
               {52, 128, 36},
               {92, 118, 40},
               {128, 138, 30},
               {150, 158, 22},
               {70, 160, 32},
               {110, 165, 28},
               {8, 175, 24}},
              186);
    // The one at the right edge; part of it lies in the strip the window hides.
    drawCloud(p, {{290, 86, 22}, {316, 70, 28}, {340, 84, 26}, {270, 100, 16}, {318, 102, 20}},
              116);
    // Smaller ones between.
    drawCloud(p, {{176, 58, 12}, {192, 50, 15}, {210, 58, 11}}, 66);
    drawCloud(p, {{236, 176, 10}, {252, 168, 14}, {270, 176, 11}, {286, 180, 8}}, 186);
    drawCloud(p, {{196, 130, 8}, {208, 125, 10}, {220, 131, 7}}, 136);
    drawCloud(p, {{70, 34, 9}, {84, 28, 12}, {98, 34, 8}}, 40);
    return sky;
}

// The classic sixteen colours; an icon of 16 colours uses only these.
constexpr std::array<QRgb, 16> kPalette = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
};
constexpr int kBlack = 0;
constexpr int kOlive = 3;
constexpr int kYellow = 11;
constexpr int kWhite = 15;

// Index 16 is the transparent background, outside the sixteen colours.
constexpr uchar kClear = 16;

class Canvas {
public:
    explicit Canvas(int size) : size_(size), pixels_(size * size, kClear) {}

    int size() const { return size_; }
    uchar at(int x, int y) const { return pixels_[y * size_ + x]; }
    void set(int x, int y, int colour)
    {
        if (x >= 0 && y >= 0 && x < size_ && y < size_) {
            pixels_[y * size_ + x] = static_cast<uchar>(colour);
        }
    }
    // Fills the pixels whose centres lie inside the outline and rims them with
    // their own border pixels, so the edge is exactly one pixel wide and
    // nothing of the fill leaks outside it.
    void shape(const QPolygonF& outline, int fillColour, int edgeColour)
    {
        std::vector<bool> inside(pixels_.size());
        for (int y = 0; y < size_; ++y) {
            for (int x = 0; x < size_; ++x) {
                inside[y * size_ + x] =
                    outline.containsPoint(QPointF(x + 0.5, y + 0.5), Qt::OddEvenFill);
            }
        }
        const auto in = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < size_ && y < size_ && inside[y * size_ + x];
        };
        for (int y = 0; y < size_; ++y) {
            for (int x = 0; x < size_; ++x) {
                if (!in(x, y)) continue;
                const bool rim = !in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1);
                set(x, y, rim ? edgeColour : fillColour);
            }
        }
    }
    void row(int y, int x0, int x1, int colour)
    {
        for (int x = x0; x <= x1; ++x)
            set(x, y, colour);
    }

    // Only the colours the drawing uses go into the palette, with the
    // transparent background as one more entry.
    QImage toImage() const
    {
        QImage image(size_, size_, QImage::Format_Indexed8);
        QList<QRgb> table;
        std::array<int, kClear + 1> slot;
        slot.fill(-1);
        for (uchar index : pixels_) {
            if (slot[index] < 0) {
                slot[index] = static_cast<int>(table.size());
                table.append(index == kClear ? qRgba(0, 0, 0, 0) : kPalette[index]);
            }
        }
        image.setColorTable(table);
        for (int y = 0; y < size_; ++y) {
            for (int x = 0; x < size_; ++x)
                image.setPixel(x, y, slot[at(x, y)]);
        }
        return image;
    }

private:
    int size_;
    std::vector<uchar> pixels_;
};

// An open folder seen from the front: the back with its tab, a ruled sheet
// standing in it, and the front flap tilted open towards the viewer. The
// outlines are given on a 32-pixel grid and scaled for the small size.
Canvas drawFolder(int size)
{
    Canvas c(size);
    const double k = size / 32.0;
    const auto outline = [k](std::initializer_list<QPointF> points) {
        QPolygonF polygon;
        for (QPointF p : points)
            polygon << p * k;
        return polygon;
    };

    c.shape(outline({{1, 5}, {12, 5}, {15, 9}, {29, 9}, {29, 29}, {1, 29}}), kOlive, kBlack);
    c.shape(outline({{6, 2}, {27, 2}, {27, 24}, {6, 24}}), kWhite, kBlack);

    // Ruled lines: every third row on the large image, every other on the small.
    const int gap = size >= 32 ? 3 : 2;
    const int left = static_cast<int>(6 * k) + 2;
    const int right = static_cast<int>(27 * k) - 3;
    for (int y = static_cast<int>(2 * k) + gap; y < static_cast<int>(14 * k); y += gap) {
        c.row(y, left, right, kBlack);
    }
    c.shape(outline({{6, 14}, {32, 14}, {28, 30}, {0, 30}}), kYellow, kBlack);
    return c;
}

bool writeJpeg(const QImage& image, const QString& path)
{
    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    writer.setOptimizedWrite(false);
    writer.setProgressiveScanWrite(false);
    return writer.write(image.convertToFormat(QImage::Format_RGB888));
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: konversi_draw_images <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = writeJpeg(drawSky(), out.filePath("sky.jpg"));

    std::vector<Canvas> icons{drawFolder(32), drawFolder(16)};
    for (const Canvas& c : icons) {
        ok = ok && c.toImage().save(out.filePath(QString("konversi-%1.png").arg(c.size())), "png");
    }
    if (!ok) {
        std::fprintf(stderr, "konversi_draw_images: could not write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
