// The window at work: its states, the file choice, Esc, the busy state, and
// real conversions through the engine.

#include "fakes.h"
#include "form1.h"
#include "main_window.h"

#include <konversi/error.h>

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <stdexcept>

using konversi::ConversionJob;
using konversi::ConversionMode;
using konversi::ui::MainWindow;

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)
Q_DECLARE_METATYPE(Qt::Key)

namespace {

template <typename Widget = QWidget>
Widget* control(QWidget& window, const QString& name)
{
    auto* widget = window.findChild<Widget*>(name);
    if (widget == nullptr) qFatal("no control %s", qPrintable(name));
    return widget;
}

// The state the two stacked buttons show, named as in the window's design.
QString state(QWidget& window)
{
    auto* proses = control<QPushButton>(window, QStringLiteral("Command2"));
    auto* status = control<QPushButton>(window, QStringLiteral("Command3"));
    if (proses->isVisible() && !status->isVisible()) {
        return proses->isEnabled() ? QStringLiteral("Ready") : QStringLiteral("Start");
    }
    if (!proses->isVisible() && status->isVisible()) {
        if (!status->isEnabled() && status->text() == QLatin1String("Tunggu!!!")) return "Busy";
        if (status->isEnabled() && status->text() == QLatin1String("Selesai!")) return "Done";
    }
    return QStringLiteral("broken");
}

QStringList values(QWidget& window)
{
    return {control<QLabel>(window, "Label5")->text(), control<QLabel>(window, "Label7")->text(),
            control<QLabel>(window, "Label9")->text()};
}

void click(QWidget& window, const char* name)
{
    QTest::mouseClick(control(window, QLatin1String(name)), Qt::LeftButton);
}

// A window shown offscreen with a fake dialog and, unless a test needs the
// engine, a converter that only records what it was asked to do.
struct Fixture {
    FakeChooser chooser;
    FakeReporter errors;
    QList<QPair<ConversionJob, ConversionMode>> conversions;
    std::function<void()> duringConversion = [] {};  // on the conversion's thread
    std::unique_ptr<MainWindow> window;

    explicit Fixture(bool realEngine = false)
    {
        if (realEngine) {
            window = std::make_unique<MainWindow>(chooser, errors);
        } else {
            window = std::make_unique<MainWindow>(
                chooser, errors, [this](const ConversionJob& job, ConversionMode mode) {
                    conversions.append({job, mode});
                    duringConversion();
                });
        }
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) qFatal("window not exposed");
    }

    void choose(const QString& folder, const QString& name)
    {
        chooser.choose(folder, name);
        click(*window, "Command1");
    }
    void cancel()
    {
        chooser.answer.reset();
        click(*window, "Command1");
    }
    // Clicks "Proses" and waits for the conversion to end.
    void process()
    {
        click(*window, "Command2");
        if (!QTest::qWaitFor([this] { return state(*window) != QLatin1String("Busy"); })) {
            qFatal("conversion did not end");
        }
    }
};

// Holds the conversion until the test lets it go; a test that never does so
// fails after a while instead of hanging.
struct SlowConversion {
    QSemaphore done;
    void wait() { done.tryAcquire(1, 5000); }
    void finish() { done.release(); }
};

// Records the caption of every paint of the control it watches.
class PaintSpy : public QObject {
public:
    QStringList captions;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) captions << watched->property("text").toString();
        return false;
    }
};

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The names the dialog's file list shows.
QStringList listedNames(const QFileDialog& dialog)
{
    const auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
        names << view->model()->index(row, 0, view->rootIndex()).data().toString();
    }
    return names;
}

// Opens the program's own file dialog with the text filters and hands it to
// `answer` once it shows. Whatever the dialog then refuses, with or without a
// message box of its own, is closed so the test fails instead of hanging.
std::optional<konversi::ui::ChosenFile> runDialog(const std::function<void(QFileDialog&)>& answer)
{
    QWidget parent;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, &parent, [&parent] {
        if (auto* box = parent.findChild<QMessageBox*>()) {
            box->reject();
        } else if (auto* dialog = parent.findChild<QFileDialog*>()) {
            dialog->reject();
        }
    });
    QTimer::singleShot(0, &parent, [&] {
        if (auto* dialog = parent.findChild<QFileDialog*>()) {
            closer.start();
            answer(*dialog);
        }
    });
    konversi::ui::DialogFileChooser chooser;
    return chooser.chooseFile(&parent, {"TXT (*.txt)", "Semua (*.*)"}, 0);
}

}  // namespace

class WorkflowTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void loadState();
    void transitions_data();
    void transitions();
    void escapeFromEveryControl_data();
    void escapeFromEveryControl();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void filtersFollowTheMode_data();
    void filtersFollowTheMode();
    void dropTakesOneFile_data();
    void dropTakesOneFile();
    void folderText_data();
    void folderText();
    void modeSwitchKeepsOutputName_data();
    void modeSwitchKeepsOutputName();
    void busyWindowPaintsAndDropsInput();
    void closingWhileBusyWaitsForTheConversion();
    void unexpectedExceptionIsInternalError();
    void convertsBesideTheInput_data();
    void convertsBesideTheInput();
    void missingFileShowsErrorAndReturnsToStart();
    void dialogAcceptsTypedMissingFileAndReportsCancel_data();
    void dialogAcceptsTypedMissingFileAndReportsCancel();
    void everyFileFilterListsNamesWithoutDot();
    void dialogOpensInTheFolderLastUsed();

private:
    QTemporaryDir settings_;  // the user's settings, for this run only
};

void WorkflowTests::initTestCase()
{
    QVERIFY(settings_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
    konversi::ui::setUpApplication();
}

void WorkflowTests::loadState()
{
    Fixture f;
    QCOMPARE(state(*f.window), QStringLiteral("Start"));
    QVERIFY(control<QRadioButton>(*f.window, "Option1")->isChecked());
    QCOMPARE(values(*f.window), QStringList({"", "", ""}));
    QVERIFY(f.window->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QCOMPARE(QApplication::focusWidget(), control(*f.window, "Command1"));
}

void WorkflowTests::transitions_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("prosesEnabled");  // hidden in Busy and Done, but not disabled
    QTest::addColumn<bool>("valuesShown");

    QTest::newRow("Start, Esc") << "esc"
                                << "Start" << false << false;
    QTest::newRow("Start, Proses is disabled") << "process"
                                               << "Start" << false << false;
    QTest::newRow("Start, choose") << "choose"
                                   << "Ready" << true << true;
    QTest::newRow("Start, cancel") << "cancel"
                                   << "Start" << false << false;
    QTest::newRow("Ready, choose") << "choose choose"
                                   << "Ready" << true << true;
    QTest::newRow("Ready, cancel keeps Proses") << "choose cancel"
                                                << "Ready" << true << false;
    QTest::newRow("Ready, Proses") << "choose process"
                                   << "Done" << true << true;
    QTest::newRow("Ready, Esc") << "choose esc"
                                << "Start" << false << false;
    QTest::newRow("Done, status button") << "choose process status"
                                         << "Start" << false << false;
    QTest::newRow("Done, Esc") << "choose process esc"
                               << "Start" << false << false;
    QTest::newRow("Done, cancel") << "choose process cancel"
                                  << "Done" << true << false;
    QTest::newRow("Done, choose keeps Proses hidden") << "choose process choose"
                                                      << "Done" << true << true;
    QTest::newRow("Done, choose, reset disables Proses") << "choose process choose status"
                                                         << "Start" << false << false;
    QTest::newRow("Done, reset, choose") << "choose process esc choose"
                                         << "Ready" << true << true;
}

void WorkflowTests::transitions()
{
    QFETCH(QString, steps);
    QFETCH(QString, expected);
    QFETCH(bool, prosesEnabled);
    QFETCH(bool, valuesShown);

    Fixture f;
    for (const QString& step : steps.split(' ')) {
        if (step == "choose") f.choose(QStringLiteral("/data/"), QStringLiteral("peta.txt"));
        if (step == "cancel") f.cancel();
        if (step == "process") f.process();
        if (step == "status") click(*f.window, "Command3");
        if (step == "esc") QTest::keyClick(f.window.get(), Qt::Key_Escape);
    }
    QCOMPARE(state(*f.window), expected);
    QCOMPARE(control(*f.window, "Command2")->isEnabled(), prosesEnabled);
    QCOMPARE(values(*f.window), valuesShown ? QStringList({"/data/", "peta.txt", "peta.dxf"})
                                            : QStringList({"", "", ""}));
}

void WorkflowTests::escapeFromEveryControl_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("done");  // Command3 only takes the focus in Done
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("resets");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const std::pair<const char*, Qt::KeyboardModifiers> held[] = {
        {"", none},
        {" with Shift", Qt::ShiftModifier},
        {" with Ctrl", Qt::ControlModifier},
        {" with Alt", Qt::AltModifier},
        {" with Ctrl+Shift+Alt", Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier},
    };
    for (const char* name :
         {"Command1", "Command2", "Command3", "Option1", "Option2", "Option3", "Option4"}) {
        const bool done = QByteArray(name) == "Command3";
        for (const auto& [suffix, modifiers] : held) {
            QTest::addRow("Esc on %s%s", name, suffix)
                << name << done << Qt::Key_Escape << modifiers << true;
        }
    }
    QTest::newRow("other key on Command1") << "Command1" << false << Qt::Key_A << none << false;
}

void WorkflowTests::escapeFromEveryControl()
{
    QFETCH(QString, name);
    QFETCH(bool, done);
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, resets);

    Fixture f;
    f.choose(QStringLiteral("/data/"), QStringLiteral("peta.txt"));
    if (done) f.process();
    const QString before = state(*f.window);
    QWidget* focused = control(*f.window, name);
    focused->setFocus();
    QCOMPARE(QApplication::focusWidget(), focused);

    QTest::keyClick(focused, key, modifiers);
    QCOMPARE(state(*f.window), resets ? QStringLiteral("Start") : before);
    QCOMPARE(values(*f.window).join(QString()).isEmpty(), resets);
    QCOMPARE(f.chooser.selectedFilter, 0);  // the dialog opened once, for the set-up only
}

void WorkflowTests::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QString>("expected");  // state, file name shown, mode chosen

    QTest::newRow("Return on ?") << "Command1" << Qt::Key_Return << "Ready jalan.txt Option1";
    QTest::newRow("Enter on Proses") << "Command2" << Qt::Key_Enter << "Done peta.txt Option1";
    QTest::newRow("Return on a radio button")
        << "Option3" << Qt::Key_Return << "Ready peta.txt Option3";
}

void WorkflowTests::enterPressesTheFocusedButton()
{
    QFETCH(QString, name);
    QFETCH(Qt::Key, key);
    QFETCH(QString, expected);

    Fixture f;
    f.choose(QStringLiteral("/data/"), QStringLiteral("peta.txt"));
    f.chooser.choose(QStringLiteral("/data/"), QStringLiteral("jalan.txt"));
    QWidget* focused = control(*f.window, name);
    focused->setFocus();
    QTest::keyClick(focused, key);
    QVERIFY(QTest::qWaitFor([&f] { return state(*f.window) != QLatin1String("Busy"); }));

    const QString option =
        control<QRadioButton>(*f.window, "Option3")->isChecked() ? "Option3" : "Option1";
    QCOMPARE(QStringList({state(*f.window), values(*f.window)[1], option}).join(' '), expected);
}

void WorkflowTests::filtersFollowTheMode_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QString>("output");

    const QStringList text{"TXT (*.txt)", "Semua (*.*)"};
    const QStringList dxf{"DXF (*.dxf)", "Semua (*.*)"};
    QTest::newRow("TEXT to POINT") << "Option1" << text << "peta.dxf";
    QTest::newRow("TEXT to POLYLINE") << "Option2" << text << "peta.dxf";
    QTest::newRow("POINT to TEXT") << "Option3" << dxf << "peta.txt";
    // Shown although the conversion writes numbered files instead.
    QTest::newRow("POLYLINE to TEXT") << "Option4" << dxf << "peta.txt";
}

void WorkflowTests::filtersFollowTheMode()
{
    QFETCH(QString, option);
    QFETCH(QStringList, filters);
    QFETCH(QString, output);

    Fixture f;
    control<QRadioButton>(*f.window, option)->click();
    f.choose(QStringLiteral("/data/"), QStringLiteral("peta.baru.x"));
    QCOMPARE(f.chooser.filters, filters);
    QCOMPARE(f.chooser.selectedFilter, 0);
    QCOMPARE(values(*f.window), QStringList({"/data/", "peta.baru.x", output}));
}

void WorkflowTests::dropTakesOneFile_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QStringList>("dropped");  // a name ending in "/" is a folder
    QTest::addColumn<QString>("output");       // empty: the drop is refused

    QTest::newRow("one file") << "Option1" << QStringList{"peta.txt"} << "peta.dxf";
    QTest::newRow("one file, POINT to TEXT") << "Option3" << QStringList{"peta.dxf"} << "peta.txt";
    QTest::newRow("two files") << "Option1" << QStringList{"peta.txt", "jalan.txt"} << "";
    QTest::newRow("a folder") << "Option1" << QStringList{"data/"} << "";
}

void WorkflowTests::dropTakesOneFile()
{
    QFETCH(QString, option);
    QFETCH(QStringList, dropped);
    QFETCH(QString, output);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QList<QUrl> urls;
    for (const QString& name : dropped) {
        QVERIFY(name.endsWith('/') ? QDir(folder.path()).mkdir(name)
                                   : writeFile(folder.filePath(name), "1,2,3\r\n"));
        urls << QUrl::fromLocalFile(folder.filePath(name));
    }
    QMimeData data;
    data.setUrls(urls);

    Fixture f;
    control<QRadioButton>(*f.window, option)->click();
    const QPoint middle = f.window->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.window.get(), &enter);
    if (enter.isAccepted()) {
        QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.window.get(), &drop);
    }

    const QStringList shown = values(*f.window).mid(1);
    if (output.isEmpty()) {
        QCOMPARE(state(*f.window), QStringLiteral("Start"));
        QCOMPARE(shown, QStringList({"", ""}));
    } else {
        QCOMPARE(state(*f.window), QStringLiteral("Ready"));
        QCOMPARE(shown, QStringList({dropped[0], output}));
    }
}

void WorkflowTests::folderText_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("shown");

    const QString folder35 = "/" + QString(33, 'a') + "/";
    const QString folder36 = "/b" + QString(33, 'a') + "/";
    QTest::newRow("short") << "/data/"
                           << "/data/";
    QTest::newRow("35 characters shown whole") << folder35 << folder35;
    QTest::newRow("36 characters shortened") << folder36 << "/ba..." + folder36.right(35);
    QTest::newRow("drive-like start") << "C:\\" + QString(40, 'x') + "\\"
                                      << "C:\\..." + QString(34, 'x') + "\\";
}

void WorkflowTests::folderText()
{
    QFETCH(QString, folder);
    QFETCH(QString, shown);
    QCOMPARE(folder.size() <= 35, folder == shown);

    Fixture f;
    f.choose(folder, QStringLiteral("peta.txt"));
    QCOMPARE(control<QLabel>(*f.window, "Label5")->text(), shown);
}

void WorkflowTests::modeSwitchKeepsOutputName_data()
{
    QTest::addColumn<QString>("optionAtChoice");
    QTest::addColumn<QString>("optionAtProses");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("mode");

    QTest::newRow("TEXT to POINT, then POINT to TEXT")
        << "Option1"
        << "Option3"
        << "peta.dxf" << int(ConversionMode::PointToText);
    QTest::newRow("POLYLINE to TEXT, then TEXT to POLYLINE")
        << "Option4"
        << "Option2"
        << "peta.txt" << int(ConversionMode::TextToPolyline);
}

void WorkflowTests::modeSwitchKeepsOutputName()
{
    QFETCH(QString, optionAtChoice);
    QFETCH(QString, optionAtProses);
    QFETCH(QString, output);
    QFETCH(int, mode);

    Fixture f;
    control<QRadioButton>(*f.window, optionAtChoice)->click();
    f.choose(QStringLiteral("/data/"), QStringLiteral("peta.txt"));
    control<QRadioButton>(*f.window, optionAtProses)->click();
    QCOMPARE(control<QLabel>(*f.window, "Label9")->text(), output);
    f.process();

    QCOMPARE(f.conversions.size(), 1);
    QCOMPARE(int(f.conversions[0].second), mode);
    QCOMPARE(QString::fromStdString(f.conversions[0].first.outPath), "/data/" + output);
    QCOMPARE(control<QLabel>(*f.window, "Label9")->text(), output);
}

// A slow conversion leaves the window painting, under the wait cursor, and
// every click or key meant to change the job is dropped, not run afterwards.
void WorkflowTests::busyWindowPaintsAndDropsInput()
{
    SlowConversion slow;
    PaintSpy spy;
    Fixture f;
    f.duringConversion = [&slow] { slow.wait(); };
    f.choose(QStringLiteral("/data/"), QStringLiteral("peta.txt"));
    f.chooser.answer.reset();  // a "?" that got through would empty the labels
    control(*f.window, "Command3")->installEventFilter(&spy);

    click(*f.window, "Command2");
    QCOMPARE(state(*f.window), QStringLiteral("Busy"));
    QTRY_VERIFY(spy.captions.contains(QLatin1String("Tunggu!!!")));
    QVERIFY(QGuiApplication::overrideCursor() != nullptr);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    click(*f.window, "Command1");
    click(*f.window, "Option3");
    QTest::keyClick(f.window.get(), Qt::Key_Escape);

    slow.finish();
    QTRY_COMPARE(state(*f.window), QStringLiteral("Done"));
    QTest::qWait(50);
    QCOMPARE(state(*f.window), QStringLiteral("Done"));
    QVERIFY(control<QRadioButton>(*f.window, "Option1")->isChecked());
    QCOMPARE(values(*f.window), QStringList({"/data/", "peta.txt", "peta.dxf"}));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void WorkflowTests::closingWhileBusyWaitsForTheConversion()
{
    SlowConversion slow;
    Fixture f;
    f.duringConversion = [&slow] { slow.wait(); };
    f.choose(QStringLiteral("/data/"), QStringLiteral("peta.txt"));
    click(*f.window, "Command2");

    QVERIFY(!f.window->close());
    QVERIFY(f.window->isVisible());
    slow.finish();
    QTRY_VERIFY(!f.window->isVisible());
    QCOMPARE(f.conversions.size(), 1);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

// Only the engine's own errors are expected; any other exception is a fault
// of the program, and the window must survive it.
void WorkflowTests::unexpectedExceptionIsInternalError()
{
    Fixture f;
    f.duringConversion = [] { throw std::logic_error("unexpected"); };
    f.choose(QStringLiteral("/data/"), QStringLiteral("peta.txt"));
    f.process();
    QCOMPARE(f.errors.shown, (QList<QPair<int, QString>>{{51, "Internal error"}}));
    QCOMPARE(state(*f.window), QStringLiteral("Start"));
}

void WorkflowTests::convertsBesideTheInput_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray points =
        "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n"
        "  0\r\nPOINT\r\n  8\r\nTITIK\r\n 10\r\n100.5\r\n 20\r\n-20\r\n"
        " 30\r\n3\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
    const QByteArray polyline =
        "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n"
        "  0\r\nPOLYLINE\r\n  8\r\npeta\r\n 66\r\n1\r\n"
        "  0\r\nVERTEX\r\n  8\r\npeta\r\n 10\r\n7\r\n 20\r\n8\r\n"
        " 30\r\n9\r\n  0\r\nSEQEND\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
    QTest::newRow("TEXT to POINT") << "Option1"
                                   << "peta.txt" << QByteArray("100.5,-20,3\r\n") << "peta.dxf"
                                   << QByteArray("POINT\r\n 8 \r\nTITIK\r\n");
    QTest::newRow("TEXT to POLYLINE") << "Option2"
                                      << "peta.txt" << QByteArray("100.5,-20,3\r\n") << "peta.dxf"
                                      << QByteArray("VERTEX\r\n 8 \r\npeta\r\n");
    QTest::newRow("POINT to TEXT")
        << "Option3"
        << "peta.dxf" << points << "peta.txt" << QByteArray(" 100.5  -20   3 \r\n");
    QTest::newRow("POLYLINE to TEXT")
        << "Option4"
        << "peta.dxf" << polyline << "peta.001" << QByteArray(" 7   8   9 \r\n");
}

void WorkflowTests::convertsBesideTheInput()
{
    QFETCH(QString, option);
    QFETCH(QString, input);
    QFETCH(QByteArray, content);
    QFETCH(QString, output);
    QFETCH(QByteArray, expected);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString dir = folder.path() + '/';
    QVERIFY(writeFile(dir + input, content));

    Fixture f(true);
    control<QRadioButton>(*f.window, option)->click();
    f.choose(dir, input);
    f.process();

    QCOMPARE(f.errors.shown.size(), 0);
    QCOMPARE(state(*f.window), QStringLiteral("Done"));
    QVERIFY2(QFile::exists(dir + output), qPrintable(QDir(dir).entryList().join(',')));
    const QByteArray written = readFile(dir + output);
    QVERIFY2(written.contains(expected), written.constData());
    QCOMPARE(readFile(dir + input), content);
}

// A name typed into the dialog need not exist: "Proses" is enabled, the
// conversion fails with error 53, and the window is usable again.
void WorkflowTests::missingFileShowsErrorAndReturnsToStart()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString dir = folder.path() + '/';
    Fixture f(true);
    f.choose(dir, QStringLiteral("hilang.txt"));
    QCOMPARE(state(*f.window), QStringLiteral("Ready"));

    f.process();
    QCOMPARE(f.errors.shown.size(), 1);
    QCOMPARE(f.errors.shown[0].first, 53);
    QCOMPARE(f.errors.shown[0].second, QStringLiteral("File not found"));
    QCOMPARE(state(*f.window), QStringLiteral("Start"));
    QCOMPARE(values(*f.window), QStringList({"", "", ""}));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QVERIFY(!QFile::exists(dir + "hilang.dxf"));

    QVERIFY(writeFile(dir + "ada.txt", "1,2,3\r\n"));
    f.choose(dir, QStringLiteral("ada.txt"));
    f.process();
    QCOMPARE(state(*f.window), QStringLiteral("Done"));
    QVERIFY(QFile::exists(dir + "ada.dxf"));
}

// The program's own dialog, answered by typing a name, or cancelled.
void WorkflowTests::dialogAcceptsTypedMissingFileAndReportsCancel_data()
{
    QTest::addColumn<QString>("typed");  // empty: cancel
    QTest::newRow("typed name of a missing file") << "belum-ada.txt";
    QTest::newRow("cancel") << "";
}

void WorkflowTests::dialogAcceptsTypedMissingFileAndReportsCancel()
{
    QFETCH(QString, typed);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = QDir(folder.path()).filePath(typed);

    QString filter;
    const auto chosen = runDialog([&](QFileDialog& dialog) {
        filter = dialog.selectedNameFilter();
        if (typed.isEmpty()) {
            dialog.reject();
        } else {
            dialog.selectFile(path);
            QMetaObject::invokeMethod(&dialog, "accept");
        }
    });
    QCOMPARE(filter, QStringLiteral("TXT (*.txt)"));
    if (typed.isEmpty()) {
        QVERIFY(!chosen);
    } else {
        QVERIFY(chosen);
        QCOMPARE(chosen->fullPath, path);
        QCOMPARE(chosen->fileName, typed);
    }
}

// Names without a dot are files like any other, and "Semua (*.*)" lists them.
void WorkflowTests::everyFileFilterListsNamesWithoutDot()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(writeFile(folder.filePath(QStringLiteral("README")), "1,2,3\r\n"));

    bool listed = false;
    runDialog([&](QFileDialog& dialog) {
        dialog.setDirectory(folder.path());
        QTest::keyClick(dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")),
                        Qt::Key_Down);
        listed = QTest::qWaitFor([&] { return listedNames(dialog).contains("README"); }, 2000);
        dialog.reject();
    });
    QVERIFY(listed);
}

// The folder is kept in the user's settings file, so a restarted program
// opens the dialog there too.
void WorkflowTests::dialogOpensInTheFolderLastUsed()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("peta.txt"));
    QVERIFY(writeFile(path, "1,2,3\r\n"));

    runDialog([&](QFileDialog& dialog) {
        dialog.selectFile(path);
        QMetaObject::invokeMethod(&dialog, "accept");
    });
    QVERIFY(QFile::exists(settings_.filePath(QStringLiteral("konversi/konversi.conf"))));
    QString openedIn;
    runDialog([&](QFileDialog& dialog) {
        openedIn = dialog.directory().absolutePath();
        dialog.reject();
    });
    QCOMPARE(openedIn, QDir(folder.path()).absolutePath());
}

QTEST_MAIN(WorkflowTests)
#include "ui_workflow_tests.moc"
