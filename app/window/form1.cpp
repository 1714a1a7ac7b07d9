#include "app/window/form1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QThread>
#include <exception>
#include <initializer_list>
#include <utility>

#include "app/tally_run.h"
#include "app/window/caption_fit.h"
#include "app/window/check_state.h"
#include "app/window/message_box.h"
#include "app/window/wrapping_check_box.h"
#include "base/failure.h"
#include "base/system_files.h"
#include "base/version.h"
#include "results/session.h"

// The picture and the icon are compiled into the window's library; a static
// library must register its resources itself.
static void initWindowResources() {
    Q_INIT_RESOURCE(window);
}

namespace vorskal {

namespace {

// Positions and sizes are kept in twips, 15 to a pixel.
constexpr int kTwipsPerPixel = 15;

QRect twips(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
            height / kTwipsPerPixel};
}

// Caption font sizes tried, largest first.
constexpr int kLargestFontPixels = 13;
constexpr int kSmallestFontPixels = 7;

// A run that stopped on a failure ends the program with this status.
constexpr int kFailedExitCode = 2;

int exitCodeOf(OutcomeKind kind) {
    return kind == OutcomeKind::Failed ? kFailedExitCode : 0;
}

QString caption() {
    return QString::fromLatin1("VORSKAL Ver. ") +
           QString::fromLatin1(kVersion.data(), static_cast<qsizetype>(kVersion.size()));
}

}  // namespace

Outcome runTallyInFolder(TallyState& state, const QString& folder) {
    // Another tally in this directory (another window, or the headless
    // runner) finishes first; the lock is held for the run only, not while
    // the message waits for the user.
    SystemClock clock;
    // The checks' warnings go under "Tally Complete"; nothing else is gathered.
    results::GameResults found;
    found.gatherRows = false;
    found.gatherFingerprints = false;
    RunConfig config;
    config.results = &found;
    Outcome outcome = tallyIn(folder.isEmpty() ? "." : QFile::encodeName(folder).toStdString(),
                              state, clock, config);
    outcome.detail = results::warningDetail(found.warnings);
    return outcome;
}

Form1::Form1(const QString& folder, QWidget* parent) : Form1(folder, runTallyInFolder, parent) {}

Form1::Form1(const QString& folder, TallyRunner runner, QWidget* parent)
    : QWidget(parent), folder_(folder), runner_(std::move(runner)) {
    initWindowResources();
    setObjectName("Form1");
    setWindowTitle(folder.isEmpty() ? caption()
                                    : caption() + " - " + QDir::toNativeSeparators(folder));
    setWindowIcon(QIcon(":/window/vorskal.png"));
    setFixedSize(twips(0, 0, 4590, 6525).size());
    createControls();
    setTabIndexes();
    Form_Load();
}

Form1::~Form1() {
    if (run_ != nullptr) {
        run_->wait();  // the run works on this window's state
    }
}

void Form1::createControls() {
    const auto place = [this](QWidget* control, const char* name, QRect geometry) {
        control->setParent(this);
        control->setObjectName(name);
        control->setGeometry(geometry);
    };

    Label1 = new QLabel("Input file(s): ux7serverx.log");
    place(Label1, "Label1", twips(1440, 240, 2055, 255));
    Label2 = new QLabel("Output file: vorskal.log");
    place(Label2, "Label2", twips(1440, 600, 1695, 255));
    Command1 = new QPushButton("Tally Score");
    place(Command1, "Command1", twips(1440, 1440, 1695, 615));
    Check3 = new WrappingCheckBox("Enable Over Max Pilot Correction");
    place(Check3, "Check3", twips(720, 2520, 2775, 375));
    Check1 = new WrappingCheckBox("Enable Multi-Death Bug Correction");
    place(Check1, "Check1", twips(720, 3120, 3015, 255));
    Check2 = new WrappingCheckBox("Enable Fighter Destroyed Target Correction");
    place(Check2, "Check2", twips(720, 3600, 3135, 375));
    Check4 = new WrappingCheckBox("Tally Only Red Boxed Targets Destroyed");
    place(Check4, "Check4", twips(720, 4200, 3135, 495));
    Image1 = new QLabel;
    place(Image1, "Image1", twips(1200, 5040, 2160, 1170));
    Image1->setPixmap(QPixmap(":/window/vorskal.bmp"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    fitCaptionFont(*this, {Label1, Label2, Command1, Check1, Check2, Check3, Check4},
                   kLargestFontPixels, kSmallestFontPixels);

    for (QCheckBox* box : {Check1, Check2, Check3, Check4}) {
        box->setCheckState(Qt::Checked);
    }
    connect(Check1, &QCheckBox::stateChanged, this, &Form1::Check1_Click);
    connect(Check2, &QCheckBox::stateChanged, this, &Form1::Check2_Click);
    connect(Check3, &QCheckBox::stateChanged, this, &Form1::Check3_Click);
    connect(Check4, &QCheckBox::stateChanged, this, &Form1::Check4_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
}

void Form1::setTabIndexes() {
    // Tab indexes: Command1 0, Label1 1, Label2 2, Check1 3, Check2 4,
    // Check3 5, Check4 6. Labels take no focus, so the keyboard goes from
    // the button through the boxes in that order.
    for (QLabel* label : {Label1, Label2, Image1}) {
        label->setFocusPolicy(Qt::NoFocus);
    }
    QWidget::setTabOrder(Command1, Check1);
    QWidget::setTabOrder(Check1, Check2);
    QWidget::setTabOrder(Check2, Check3);
    QWidget::setTabOrder(Check3, Check4);
    Command1->setFocus();
}

void Form1::Form_Load() {
    state_.overMaxPilotCorrection = 1;
    state_.multiDeathCorrection = 1;
    state_.fighterTargetCorrection = 1;
    state_.redBoxedOnly = 1;
}

void Form1::Check1_Click() {
    applyCheckState(Check1->checkState(), state_.multiDeathCorrection);
}

void Form1::Check2_Click() {
    applyCheckState(Check2->checkState(), state_.fighterTargetCorrection);
}

void Form1::Check3_Click() {
    applyCheckState(Check3->checkState(), state_.overMaxPilotCorrection);
}

void Form1::Check4_Click() {
    applyCheckState(Check4->checkState(), state_.redBoxedOnly);
}

void Form1::Command1_Click() {
    if (ran_) {
        return;
    }
    ran_ = true;
    for (QWidget* control :
         std::initializer_list<QWidget*>{Command1, Check1, Check2, Check3, Check4}) {
        control->setEnabled(false);
    }
    run_ = QThread::create([this] { outcome_ = runner_(state_, folder_); });
    connect(run_, &QThread::finished, this, &Form1::runFinished);
    run_->start();
}

void Form1::runFinished() {
    run_->wait();
    delete run_;
    run_ = nullptr;

    MessageBoxSink(this).show(outcome_);
    exitCode_ = exitCodeOf(outcome_.kind);
    emit finished(exitCode_);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (run_ != nullptr) {
        event->ignore();  // the run goes on to its end and its message
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace vorskal
