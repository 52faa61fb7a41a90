// The window as built and as drawn: every control where the layout puts it,
// captions that fit, and pixels that prove the picture and colours.

#include "fakes.h"
#include "form1.h"
#include "main_window.h"

#include <QFile>
#include <QFontInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTest>

#include <algorithm>
#include <cmath>

using konversi::ui::Form1;
using konversi::ui::MainWindow;

namespace {

QRect fromTwips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

QWidget* control(QWidget& window, const QString& name)
{
    return window.findChild<QWidget*>(name);
}

bool near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// The WCAG contrast ratio of two colours, from 1 (the same) to 21.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& colour) {
        const auto linear = [](double c) {
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
               0.0722 * linear(colour.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QImage sky()
{
    return QImage(QStringLiteral(":/konversi/sky.jpg"));
}

}  // namespace

class LayoutTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { konversi::ui::setUpApplication(); }

    void controls_data();
    void controls();
    void window();
    void tabOrderSkipsLabels();
    void captionsFit_data();
    void captionsFit();
    void rendering_data();
    void rendering();
    void busyCaptionReadsOnItsFace();
    void pictureIsUnscaledAtTopLeft();
    void skyIsBaselineRgbJpeg();
};

void LayoutTests::controls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("freeFace");
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("weight");
    QTest::addColumn<QColor>("text");  // invalid: the platform's colour
    QTest::addColumn<QColor>("back");

    const QColor system;
    const QColor yellow(255, 255, 0), navy(0, 0, 128), white(255, 255, 255);
    const QColor paleBlue(192, 192, 255), black(0, 0, 0), lightYellow(255, 255, 128);
    const auto row = [](const char* name, const char* kind, const char* caption, QRect rect,
                        const char* face, const char* freeFace, double points, int weight,
                        QColor text, QColor back) {
        QTest::newRow(name) << kind << caption << rect << face << freeFace << points << weight
                            << text << back;
    };
    row("Command1", "QPushButton", "?", fromTwips(1440, 960, 735, 375), "Arial Black",
        "DejaVu Sans", 9.75, 700, system, system);
    row("Command2", "QPushButton", "Proses", fromTwips(1680, 2520, 1575, 375), "Arial",
        "Liberation Sans", 8.25, 700, system, system);
    row("Label1", "QLabel", "File masukan :", fromTwips(120, 1080, 1695, 375), "Tahoma",
        "Liberation Sans", 8.25, 700, yellow, navy);
    row("Command3", "QPushButton", "", fromTwips(1680, 2520, 1575, 375), "Arial", "Liberation Sans",
        8.25, 400, system, lightYellow);
    row("Label4", "QLabel", "Direktori :", fromTwips(120, 1440, 1695, 375), "Tahoma",
        "Liberation Sans", 8.25, 700, yellow, navy);
    row("Label5", "QLabel", "", fromTwips(1440, 1440, 3255, 375), "Arial", "Liberation Sans", 8.25,
        700, white, paleBlue);
    row("Label6", "QLabel", "Nama File :", fromTwips(120, 1800, 1695, 375), "Tahoma",
        "Liberation Sans", 8.25, 700, yellow, navy);
    row("Label7", "QLabel", "", fromTwips(1440, 1800, 3255, 375), "Arial", "Liberation Sans", 8.25,
        700, white, paleBlue);
    row("Label8", "QLabel", "File keluaran :", fromTwips(120, 2160, 1695, 375), "Tahoma",
        "Liberation Sans", 8.25, 700, yellow, navy);
    row("Label9", "QLabel", "", fromTwips(1440, 2160, 3255, 375), "Arial", "Liberation Sans", 8.25,
        700, white, paleBlue);
    row("Option1", "QRadioButton", "TEXT  ke  POINT", fromTwips(0, 0, 2535, 375), "Verdana",
        "DejaVu Sans", 8.25, 700, yellow, black);
    row("Option2", "QRadioButton", "TEXT  ke  POLYLINE", fromTwips(0, 360, 2535, 375), "Verdana",
        "DejaVu Sans", 8.25, 700, yellow, black);
    row("Option3", "QRadioButton", "POINT  ke  TEXT", fromTwips(2520, 0, 2295, 375), "Verdana",
        "DejaVu Sans", 8.25, 700, yellow, black);
    row("Option4", "QRadioButton", "POLYLINE  ke  TEXT", fromTwips(2520, 360, 2295, 375), "Verdana",
        "DejaVu Sans", 8.25, 700, yellow, black);
}

void LayoutTests::controls()
{
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QRect, rect);
    QFETCH(QString, face);
    QFETCH(QString, freeFace);
    QFETCH(double, points);
    QFETCH(int, weight);
    QFETCH(QColor, text);
    QFETCH(QColor, back);

    Form1 form;
    QWidget* widget = control(form, QTest::currentDataTag());
    QVERIFY(widget != nullptr);
    QVERIFY(widget->inherits(kind.toLatin1()));
    QCOMPARE(widget->parentWidget(), &form);
    QCOMPARE(widget->property("text").toString(), caption);
    QCOMPARE(widget->geometry(), rect);

    const QFont font = widget->font();
    QCOMPARE(font.families().value(0), face);
    const QString used = QFontInfo(font).family();
    QVERIFY2(used == face || used == freeFace, qPrintable(used));
    QCOMPARE(font.pointSizeF(), points);
    QCOMPARE(static_cast<int>(font.weight()), weight);
    QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());

    const bool isButton = kind == "QPushButton";
    const QPalette::ColorRole textRole = isButton ? QPalette::ButtonText : QPalette::WindowText;
    const QPalette::ColorRole backRole = widget->backgroundRole();
    const QPalette platform = QApplication::palette(widget);
    const QPalette::ColorRole faceRole = isButton ? QPalette::Button : backRole;
    QCOMPARE(widget->palette().color(QPalette::Active, textRole),
             text.isValid() ? text : platform.color(QPalette::Active, textRole));
    QCOMPARE(widget->palette().color(QPalette::Active, faceRole),
             back.isValid() ? back : platform.color(QPalette::Active, QPalette::Button));
    QCOMPARE(widget->autoFillBackground(), !isButton);
}

void LayoutTests::window()
{
    Form1 form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Konversi : ASCII <--> DXF"));
    QCOMPARE(form.size(), QSize(321, 198));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.geometry().center(), form.screen()->availableGeometry().center());

    const QList<QSize> sizes = form.windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(32, 32)));

    QCOMPARE(form.findChildren<QWidget*>().size(), 14);

    // As built, before the window's load step: nothing chosen, the status
    // button visible but empty and disabled.
    for (QRadioButton* option : form.findChildren<QRadioButton*>()) {
        QVERIFY2(!option->isChecked(), qPrintable(option->objectName()));
        QVERIFY(option->autoExclusive());
    }
    auto* command3 = form.findChild<QPushButton*>(QStringLiteral("Command3"));
    QVERIFY(command3->isVisibleTo(&form));
    QVERIFY(!command3->isEnabled());
    QVERIFY(command3->text().isEmpty());
    QVERIFY(control(form, QStringLiteral("Command2"))->isEnabled());
}

void LayoutTests::tabOrderSkipsLabels()
{
    Form1 form;
    QStringList order;
    QWidget* widget = control(form, QStringLiteral("Command1"));
    do {
        if (widget->focusPolicy() & Qt::TabFocus) order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget->objectName() != QLatin1String("Command1"));
    QCOMPARE(order, (QStringList{"Command1", "Command2", "Command3", "Option1", "Option2",
                                 "Option3", "Option4"}));
}

void LayoutTests::captionsFit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("coveredBy");  // the control lying over the caption's end

    QTest::newRow("Label1") << "Label1"
                            << ""
                            << "Command1";
    QTest::newRow("Label4") << "Label4"
                            << ""
                            << "Label5";
    QTest::newRow("Label6") << "Label6"
                            << ""
                            << "Label7";
    QTest::newRow("Label8") << "Label8"
                            << ""
                            << "Label9";
    for (const char* name : {"Option1", "Option2", "Option3", "Option4"}) {
        QTest::newRow(name) << name << ""
                            << "";
    }
    QTest::newRow("Command1") << "Command1"
                              << ""
                              << "";
    QTest::newRow("Command2") << "Command2"
                              << ""
                              << "";
    QTest::newRow("Command3 busy") << "Command3"
                                   << "Tunggu!!!"
                                   << "";
    QTest::newRow("Command3 done") << "Command3"
                                   << "Selesai!"
                                   << "";
}

void LayoutTests::captionsFit()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, coveredBy);

    Form1 form;
    QWidget* widget = control(form, name);
    if (caption.isEmpty()) caption = widget->property("text").toString();
    const QStyle* style = widget->style();
    int room = widget->width();
    if (!coveredBy.isEmpty()) {
        room = control(form, coveredBy)->x() - widget->x();
    } else if (qobject_cast<QRadioButton*>(widget)) {
        room -= style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, widget) +
                style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, widget);
    } else {
        room -= 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, widget);
    }
    const QFontMetrics metrics(widget->font());
    QVERIFY2(metrics.horizontalAdvance(caption) <= room,
             qPrintable(QStringLiteral("%1 px for %2 px of room")
                            .arg(metrics.horizontalAdvance(caption))
                            .arg(room)));
    QVERIFY(metrics.height() <= widget->height());
}

void LayoutTests::rendering_data()
{
    QTest::addColumn<bool>("done");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("expected");  // invalid: the button face colour
    QTest::addColumn<int>("tolerance");

    const QColor navy(0, 0, 128), paleBlue(192, 192, 255), black(0, 0, 0);
    const QColor face;
    QTest::newRow("caption label navy") << false << QPoint(10, 118) << navy << 0;
    QTest::newRow("caption label navy up to its value label")
        << false << QPoint(94, 118) << navy << 0;
    QTest::newRow("value label pale blue") << false << QPoint(300, 118) << paleBlue << 0;
    QTest::newRow("value label above its caption label")
        << false << QPoint(100, 118) << paleBlue << 0;
    QTest::newRow("radio button black") << false << QPoint(160, 20) << black << 0;
    QTest::newRow("lower right radio button black") << false << QPoint(316, 44) << black << 0;
    QTest::newRow("Command1 above Label1") << false << QPoint(118, 80) << face << 16;
    QTest::newRow("Command2 in its place") << false << QPoint(116, 180) << face << 16;
    // Fusion softens a face colour's saturation; the grey face is far from it.
    QTest::newRow("Command3 light yellow in its place")
        << true << QPoint(116, 180) << QColor(255, 255, 128) << 64;
}

void LayoutTests::rendering()
{
    QFETCH(bool, done);
    QFETCH(QPoint, point);
    QFETCH(QColor, expected);
    QFETCH(int, tolerance);

    FakeChooser chooser;
    FakeReporter errors;
    chooser.choose(QStringLiteral("/data/"), QStringLiteral("peta.txt"));
    MainWindow window(chooser, errors, [](const auto&, auto) {});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(control(window, QStringLiteral("Command1")), Qt::LeftButton);
    if (done) {
        QTest::mouseClick(control(window, QStringLiteral("Command2")), Qt::LeftButton);
        QTRY_VERIFY(control(window, QStringLiteral("Command3"))->isEnabled());
    }

    const QImage image = window.grab().toImage();
    QCOMPARE(image.size(), QSize(321, 198));
    if (!expected.isValid()) expected = QApplication::palette().color(QPalette::Button);
    const QColor seen = image.pixelColor(point);
    QVERIFY2(near(seen, expected, tolerance), qPrintable(seen.name() + " not " + expected.name()));
}

// "Tunggu!!!" is a disabled button's caption, but it is the one thing the user
// reads while waiting: its darkest stroke must stand out from the light yellow
// face as plainly as normal text must (a contrast of 4.5:1).
void LayoutTests::busyCaptionReadsOnItsFace()
{
    Form1 form;
    control(form, QStringLiteral("Command2"))->hide();
    auto* status = form.findChild<QPushButton*>(QStringLiteral("Command3"));
    status->setText(QStringLiteral("Tunggu!!!"));
    const QImage image = status->grab().toImage();

    // The face is a gradient: the darkest stroke is held against the face at
    // the left end of its own row.
    const QRect inside = image.rect().adjusted(4, 4, -4, -4);
    QPoint darkest = inside.topLeft();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (image.pixelColor(x, y).lightness() < image.pixelColor(darkest).lightness()) {
                darkest = {x, y};
            }
        }
    }
    const QColor text = image.pixelColor(darkest);
    const QColor face = image.pixelColor(inside.left(), darkest.y());
    QVERIFY2(contrast(text, face) >= 4.5, qPrintable(QStringLiteral("%1 on %2: %3:1")
                                                         .arg(text.name(), face.name())
                                                         .arg(contrast(text, face), 0, 'f', 2)));
}

// Where no control covers it, the window shows the picture pixel for pixel: a
// stretched or moved picture would differ at the clouds' edges.
void LayoutTests::pictureIsUnscaledAtTopLeft()
{
    FakeChooser chooser;
    FakeReporter errors;
    MainWindow window(chooser, errors);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage image = window.grab().toImage();
    const QImage picture = sky();
    QCOMPARE(picture.size(), QSize(340, 198));

    const QList<QRect> uncovered{QRect(0, 49, 321, 15), QRect(0, 98, 8, 100), QRect(313, 96, 8, 74),
                                 QRect(0, 193, 321, 5)};
    for (const QRect& area : uncovered) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (!near(image.pixelColor(x, y), picture.pixelColor(x, y), 2)) {
                    QFAIL(qPrintable(QStringLiteral("picture differs at %1,%2").arg(x).arg(y)));
                }
            }
        }
    }
}

// A baseline JPEG of 8-bit samples and three colour components opens in
// every decoder the window might meet.
void LayoutTests::skyIsBaselineRgbJpeg()
{
    QFile file(QStringLiteral(":/konversi/sky.jpg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    const auto byte = [&data](qsizetype at) { return static_cast<uchar>(data.at(at)); };
    QCOMPARE(byte(0), 0xFF);
    QCOMPARE(byte(1), 0xD8);
    qsizetype at = 2;
    while (at + 4 < data.size() && byte(at) == 0xFF && byte(at + 1) != 0xC0) {
        QVERIFY2(byte(at + 1) != 0xC2, "progressive JPEG");
        at += 2 + (byte(at + 2) << 8 | byte(at + 3));
    }
    QVERIFY2(at + 9 < data.size() && byte(at + 1) == 0xC0, "no baseline frame header");
    QCOMPARE(byte(at + 4), 8);
    QCOMPARE(byte(at + 5) << 8 | byte(at + 6), 198);
    QCOMPARE(byte(at + 7) << 8 | byte(at + 8), 340);
    QCOMPARE(byte(at + 9), 3);
}

QTEST_MAIN(LayoutTests)
#include "ui_layout_tests.moc"
