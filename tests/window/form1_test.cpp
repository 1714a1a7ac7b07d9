// Form1 as the user meets it before "Tally Score": its controls, their
// places, captions and keyboard order, and the four options.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QtEndian>
#include <memory>

#include "app/window/form1.h"

using vorskal::Count;
using vorskal::Form1;
using vorskal::TallyState;

namespace {

// Places and sizes are given in twips, 15 to a pixel.
QRect twips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

// The option flag that each box sets.
Count flagOf(const TallyState& state, const QString& box) {
    if (box == "Check1") {
        return state.multiDeathCorrection;
    }
    if (box == "Check2") {
        return state.fighterTargetCorrection;
    }
    if (box == "Check3") {
        return state.overMaxPilotCorrection;
    }
    return state.redBoxedOnly;
}

const QStringList kBoxes = {"Check1", "Check2", "Check3", "Check4"};

// Where the caption of a check box starts: right of its indicator.
int captionLeft(const QCheckBox& box) {
    QStyleOptionButton option;
    option.initFrom(&box);
    return box.style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, &box) +
           box.style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, &box);
}

// Rows of `image` (within columns from `left` on) that hold dark ink, as
// runs of consecutive rows: one run per line of text.
int inkLines(const QImage& image, int left) {
    int lines = 0;
    bool inLine = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = left; x < image.width() && !ink; ++x) {
            ink = qGray(image.pixel(x, y)) < 128;
        }
        if (ink && !inLine) {
            ++lines;
        }
        inLine = ink;
    }
    return lines;
}

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void windowHasItsCaptionAndFixedClientArea();
    void controlsStandWhereTheyBelong_data();
    void controlsStandWhereTheyBelong();
    void tabGoesFromTheButtonThroughTheBoxesInOrder();
    void everyOptionIsOnAtStart();
    void clickCopiesTheBoxIntoItsOwnFlagOnly_data();
    void clickCopiesTheBoxIntoItsOwnFlagOnly();
    void captionsFitInsideTheirControls_data();
    void captionsFitInsideTheirControls();
    void check4WrapsACaptionTooWideForOneLine();
    void pictureIsA24BitBitmapShownAtItsNaturalSize();

  private:
    template <typename T>
    T* control(const QString& name) const {
        T* found = form_->findChild<T*>(name);
        if (found == nullptr) {
            qFatal("no control %s", qPrintable(name));
        }
        return found;
    }

    std::unique_ptr<Form1> form_;
};

void Form1Test::init() {
    form_ = std::make_unique<Form1>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void Form1Test::cleanup() {
    form_.reset();
}

void Form1Test::windowHasItsCaptionAndFixedClientArea() {
    QCOMPARE(form_->windowTitle(), QString("VORSKAL Ver. 3.40"));
    QCOMPARE(form_->size(), QSize(306, 435));
    QCOMPARE(form_->minimumSize(), QSize(306, 435));
    QCOMPARE(form_->maximumSize(), QSize(306, 435));
}

void Form1Test::controlsStandWhereTheyBelong_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");

    QTest::newRow("Label1") << "Label1"
                            << "QLabel" << twips(1440, 240, 2055, 255)
                            << "Input file(s): ux7serverx.log";
    QTest::newRow("Label2") << "Label2"
                            << "QLabel" << twips(1440, 600, 1695, 255)
                            << "Output file: vorskal.log";
    QTest::newRow("Command1") << "Command1"
                              << "QPushButton" << twips(1440, 1440, 1695, 615) << "Tally Score";
    QTest::newRow("Check3") << "Check3"
                            << "QCheckBox" << twips(720, 2520, 2775, 375)
                            << "Enable Over Max Pilot Correction";
    QTest::newRow("Check1") << "Check1"
                            << "QCheckBox" << twips(720, 3120, 3015, 255)
                            << "Enable Multi-Death Bug Correction";
    QTest::newRow("Check2") << "Check2"
                            << "QCheckBox" << twips(720, 3600, 3135, 375)
                            << "Enable Fighter Destroyed Target Correction";
    QTest::newRow("Check4") << "Check4"
                            << "QCheckBox" << twips(720, 4200, 3135, 495)
                            << "Tally Only Red Boxed Targets Destroyed";
    QTest::newRow("Image1") << "Image1"
                            << "QLabel" << twips(1200, 5040, 2160, 1170) << "";
}

void Form1Test::controlsStandWhereTheyBelong() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);

    QWidget* widget = control<QWidget>(name);
    QVERIFY(widget->inherits(kind.toLatin1().constData()));
    QCOMPARE(widget->parentWidget(), form_.get());
    QCOMPARE(widget->geometry(), geometry);
    QVERIFY(widget->isVisible());
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QCOMPARE(button->text(), caption);
    } else {
        QCOMPARE(qobject_cast<QLabel*>(widget)->text(), caption);
    }
}

void Form1Test::tabGoesFromTheButtonThroughTheBoxesInOrder() {
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    QCOMPARE(QApplication::focusWidget(), control<QWidget>("Command1"));

    const QStringList order = {"Check1", "Check2", "Check3", "Check4", "Command1"};
    for (const QString& next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("Check4"));
}

void Form1Test::everyOptionIsOnAtStart() {
    for (const QString& name : kBoxes) {
        QCOMPARE(control<QCheckBox>(name)->checkState(), Qt::Checked);
        QCOMPARE(flagOf(form_->state(), name), 1);
    }
    QVERIFY(control<QPushButton>("Command1")->isEnabled());
}

void Form1Test::clickCopiesTheBoxIntoItsOwnFlagOnly_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("onCaption");
    for (const QString& name : kBoxes) {
        QTest::newRow(qPrintable(name + " indicator")) << name << false;
        QTest::newRow(qPrintable(name + " caption")) << name << true;
    }
}

void Form1Test::clickCopiesTheBoxIntoItsOwnFlagOnly() {
    QFETCH(QString, name);
    QFETCH(bool, onCaption);

    QCheckBox* box = control<QCheckBox>(name);
    // The indicator sits at the left, vertically centred; the caption follows it.
    const QPoint where = onCaption ? QPoint(captionLeft(*box) + 10, box->height() / 2)
                                   : QPoint(6, box->height() / 2);
    const auto othersStayOn = [&] {
        for (const QString& other : kBoxes) {
            if (other != name) {
                QCOMPARE(flagOf(form_->state(), other), 1);
            }
        }
    };

    QTest::mouseClick(box, Qt::LeftButton, {}, where);
    QCOMPARE(box->checkState(), Qt::Unchecked);
    QCOMPARE(flagOf(form_->state(), name), 0);
    othersStayOn();

    QTest::mouseClick(box, Qt::LeftButton, {}, where);
    QCOMPARE(box->checkState(), Qt::Checked);
    QCOMPARE(flagOf(form_->state(), name), 1);

    // Grayed leaves the flag at its last value, on or off.
    box->setCheckState(Qt::PartiallyChecked);
    QCOMPARE(flagOf(form_->state(), name), 1);
    box->setCheckState(Qt::Unchecked);
    QCOMPARE(flagOf(form_->state(), name), 0);
    box->setCheckState(Qt::PartiallyChecked);
    QCOMPARE(flagOf(form_->state(), name), 0);
    othersStayOn();
}

void Form1Test::captionsFitInsideTheirControls_data() {
    QTest::addColumn<QString>("name");
    for (const char* name :
         {"Label1", "Label2", "Command1", "Check1", "Check2", "Check3", "Check4"}) {
        QTest::newRow(name) << name;
    }
}

void Form1Test::captionsFitInsideTheirControls() {
    QFETCH(QString, name);

    QWidget* widget = control<QWidget>(name);
    const QFontMetrics metrics = widget->fontMetrics();
    QVERIFY2(metrics.height() >= 9, "the caption font is too small to read");
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        // On as many lines as the box is high.
        const QRect area(captionLeft(*box), 0, box->width() - captionLeft(*box), box->height());
        const QRect used = metrics.boundingRect(
            area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, box->text());
        QVERIFY2(area.contains(used), qPrintable(QString("caption needs %1 x %2 of %3 x %4")
                                                     .arg(used.width())
                                                     .arg(used.height())
                                                     .arg(area.width())
                                                     .arg(area.height())));
        // What is drawn is every line of the caption (no line cut away).
        const int lines = inkLines(box->grab().toImage(), captionLeft(*box));
        QCOMPARE(lines, qRound(double(used.height()) / metrics.lineSpacing()));
    } else {
        const QString text = qobject_cast<QAbstractButton*>(widget)
                                 ? qobject_cast<QAbstractButton*>(widget)->text()
                                 : qobject_cast<QLabel*>(widget)->text();
        QVERIFY(metrics.horizontalAdvance(text) <= widget->width());
        QVERIFY(metrics.height() <= widget->height());
    }
}

void Form1Test::check4WrapsACaptionTooWideForOneLine() {
    QCheckBox* box = control<QCheckBox>("Check4");
    const int width = box->width() - captionLeft(*box);
    // The largest font at which the caption needs two lines that the box holds.
    QFont font = box->font();
    int pixels = 20;
    for (; pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        if (metrics.horizontalAdvance(box->text()) > width &&
            2 * metrics.height() <= box->height()) {
            break;
        }
    }
    QVERIFY(pixels > 6);
    box->setFont(font);

    QCOMPARE(inkLines(box->grab().toImage(), captionLeft(*box)), 2);
    // A click on the caption's second line still toggles the box.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(captionLeft(*box) + 5, box->height() - 4));
    QCOMPARE(box->checkState(), Qt::Unchecked);
    QCOMPARE(form_->state().redBoxedOnly, 0);
}

void Form1Test::pictureIsA24BitBitmapShownAtItsNaturalSize() {
    QLabel* image = control<QLabel>("Image1");
    QCOMPARE(image->pixmap().size(), QSize(144, 78));
    QVERIFY(!image->hasScaledContents());

    QFile file(":/window/vorskal.bmp");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("BM"));
    QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 18), 144);
    QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 22), 78);
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 28), quint16(24));

    // A picture, not a blank: many colours.
    const QImage shown = image->pixmap().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            colours.insert(shown.pixel(x, y));
        }
    }
    QVERIFY(colours.size() > 16);
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
