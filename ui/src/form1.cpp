#include "form1.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleFactory>

namespace konversi::ui {

namespace {

// The window was laid out in twips; at 96 dots per inch fifteen make a pixel,
// and every value of the layout is a whole number of pixels.
constexpr int kTwipsPerPixel = 15;

QRect twips(int left, int top, int width, int height)
{
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
            height / kTwipsPerPixel};
}

// Each face the window was designed with is followed by a free face for
// systems that lack it. Liberation Sans stands in for Tahoma because DejaVu
// Sans is wide enough to push "File masukan :" under the value label beside it.
const QStringList kArial{"Arial", "Liberation Sans"};
const QStringList kArialBlack{"Arial Black", "DejaVu Sans"};
const QStringList kTahoma{"Tahoma", "Liberation Sans"};
const QStringList kVerdana{"Verdana", "DejaVu Sans"};

QFont face(const QStringList& families, qreal points, QFont::Weight weight)
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

void colour(QWidget* widget, QPalette::ColorRole textRole, const QColor& text,
            QPalette::ColorRole backRole, const QColor& back)
{
    QPalette palette = widget->palette();
    palette.setColor(textRole, text);
    palette.setColor(backRole, back);
    widget->setPalette(palette);
}

template <typename Control>
Control* place(QWidget* parent, const char* name, const QString& caption, const QRect& rect,
               const QFont& font)
{
    auto* control = new Control(caption, parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(rect);
    control->setFont(font);
    return control;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& rect,
              const QFont& font, const QColor& text, const QColor& back)
{
    auto* label = place<QLabel>(parent, name, caption, rect, font);
    // File names are shown as they are, never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(true);
    colour(label, QPalette::WindowText, text, QPalette::Window, back);
    return label;
}

QRadioButton* option(QWidget* parent, const char* name, const QString& caption, const QRect& rect)
{
    auto* button =
        place<QRadioButton>(parent, name, caption, rect, face(kVerdana, 8.25, QFont::Bold));
    // Buttons fill with the Button role by default; these are painted like
    // the window behind their caption.
    button->setBackgroundRole(QPalette::Window);
    button->setAutoFillBackground(true);
    colour(button, QPalette::WindowText, QColor(255, 255, 0), QPalette::Window, QColor(0, 0, 0));
    return button;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& rect,
                    const QFont& font)
{
    auto* button = place<QPushButton>(parent, name, caption, rect, font);
    // Enter and Esc are not tied to any button; Esc is the window's own key.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      picture_(QStringLiteral(":/konversi/sky.jpg"))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Konversi : ASCII <--> DXF"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/konversi/konversi-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/konversi/konversi-32.png"), QSize(32, 32));
    setWindowIcon(icon);
    // The controls sit at fixed places, so the window keeps its size.
    setFixedSize(twips(0, 0, 4815, 2970).size());

    const QColor yellow(255, 255, 0);
    const QColor navy(0, 0, 128);
    const QColor white(255, 255, 255);
    const QColor paleBlue(192, 192, 255);
    const QFont captionFont = face(kTahoma, 8.25, QFont::Bold);
    const QFont valueFont = face(kArial, 8.25, QFont::Bold);

    // Later siblings lie above earlier ones: each value label covers the end of
    // its caption label, and the buttons cover the labels.
    label(this, "Label1", "File masukan :", twips(120, 1080, 1695, 375), captionFont, yellow, navy);
    label(this, "Label4", "Direktori :", twips(120, 1440, 1695, 375), captionFont, yellow, navy);
    label(this, "Label6", "Nama File :", twips(120, 1800, 1695, 375), captionFont, yellow, navy);
    label(this, "Label8", "File keluaran :", twips(120, 2160, 1695, 375), captionFont, yellow,
          navy);
    inputFolderLabel_ =
        label(this, "Label5", QString(), twips(1440, 1440, 3255, 375), valueFont, white, paleBlue);
    inputNameLabel_ =
        label(this, "Label7", QString(), twips(1440, 1800, 3255, 375), valueFont, white, paleBlue);
    outputNameLabel_ =
        label(this, "Label9", QString(), twips(1440, 2160, 3255, 375), valueFont, white, paleBlue);

    // Siblings without a frame between them: one exclusive group.
    textToPointOption_ = option(this, "Option1", "TEXT  ke  POINT", twips(0, 0, 2535, 375));
    textToPolylineOption_ = option(this, "Option2", "TEXT  ke  POLYLINE", twips(0, 360, 2535, 375));
    pointToTextOption_ = option(this, "Option3", "POINT  ke  TEXT", twips(2520, 0, 2295, 375));
    polylineToTextOption_ =
        option(this, "Option4", "POLYLINE  ke  TEXT", twips(2520, 360, 2295, 375));

    // Command1 and Command2 keep the platform's button colours; Command3 has
    // its own light yellow face. While converting it shows "Tunggu!!!"
    // disabled, the one thing to read then: its grey stays readable on the
    // yellow (a contrast above 4.5:1) where the platform's disabled grey fades.
    statusButton_ = button(this, "Command3", QString(), twips(1680, 2520, 1575, 375),
                           face(kArial, 8.25, QFont::Normal));
    statusButton_->setEnabled(false);
    QPalette statusPalette = statusButton_->palette();
    statusPalette.setColor(QPalette::Button, QColor(255, 255, 128));
    statusPalette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(96, 96, 96));
    statusButton_->setPalette(statusPalette);
    processButton_ = button(this, "Command2", "Proses", twips(1680, 2520, 1575, 375),
                            face(kArial, 8.25, QFont::Bold));
    chooseButton_ = button(this, "Command1", "?", twips(1440, 960, 735, 375),
                           face(kArialBlack, 9.75, QFont::Bold));

    // Labels take no focus, so the keyboard order runs through the buttons and
    // then the radio group.
    setTabOrder(chooseButton_, processButton_);
    setTabOrder(processButton_, statusButton_);
    setTabOrder(statusButton_, textToPointOption_);
    setTabOrder(textToPointOption_, textToPolylineOption_);
    setTabOrder(textToPolylineOption_, pointToTextOption_);
    setTabOrder(pointToTextOption_, polylineToTextOption_);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

// The picture is drawn at its own size from the top-left corner; it is wider
// than the window, and its right-hand strip simply stays out of sight.
void Form1::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

void setUpApplication()
{
    // The colours are part of the design. Styles that draw button faces and
    // radio buttons from the desktop theme would ignore them; Fusion follows
    // the palette everywhere.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.konversi.Konversi"));
}

}  // namespace konversi::ui
