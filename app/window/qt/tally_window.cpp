#include "app/window/qt/tally_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QThread>
#include <utility>

#include "app/window/form_layout.h"
#include "app/window/qt/caption_fit.h"
#include "app/window/qt/wrapping_check_box.h"

// The picture and the icon are compiled into the window's library; a static
// library must register its resources itself.
static void initWindowResources() {
    Q_INIT_RESOURCE(window);
}

namespace vorskal::window {

namespace {

QRect placeOf(const Twips& twips) {
    return {pixels(twips.left), pixels(twips.top), pixels(twips.width), pixels(twips.height)};
}

BoxState boxState(Qt::CheckState state) {
    switch (state) {
        case Qt::Checked:
            return BoxState::Checked;
        case Qt::Unchecked:
            return BoxState::Unchecked;
        case Qt::PartiallyChecked:
            break;
    }
    return BoxState::Grayed;
}

// Texts in the system's code page (the folder's name).
QString local(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// The closing message: UTF-8 by the one text rule (base/log_text.h).
QString utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TallyWindow::TallyWindow(const QString& folder, GameRunner runner, QWidget* parent)
    : QWidget(parent), session_(QFile::encodeName(folder).toStdString(), std::move(runner)) {
    initWindowResources();
    setObjectName("tallyWindow");
    setWindowTitle(
        local(window::windowTitle(QDir::toNativeSeparators(folder).toLocal8Bit().toStdString())));
    setWindowIcon(QIcon(":/window/vorskal.png"));
    setFixedSize(pixels(kClientArea.width), pixels(kClientArea.height));

    QList<QWidget*> captioned;
    QWidget* previous = nullptr;
    for (const Control& control : kControls) {
        QWidget* widget = nullptr;
        switch (control.kind) {
            case ControlKind::Button: {
                auto* button = new QPushButton(control.caption, this);
                connect(button, &QPushButton::clicked, this, &TallyWindow::tallyClicked);
                widget = button;
                break;
            }
            case ControlKind::Box: {
                auto* box = new WrappingCheckBox(control.caption, this);
                box->setCheckState(Qt::Checked);
                const Option option = *control.option;
                connect(box, &QCheckBox::stateChanged, this, [this, box, option] {
                    session_.boxChanged(option, boxState(box->checkState()));
                });
                widget = box;
                break;
            }
            case ControlKind::Label:
                widget = new QLabel(control.caption, this);
                widget->setFocusPolicy(Qt::NoFocus);
                break;
            case ControlKind::Picture: {
                auto* picture = new QLabel(this);
                picture->setPixmap(QPixmap(":/window/vorskal.bmp"));
                picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                picture->setFocusPolicy(Qt::NoFocus);
                widget = picture;
                break;
            }
        }
        widget->setObjectName(control.name);
        widget->setGeometry(placeOf(control.place));
        if (control.kind == ControlKind::Button || control.kind == ControlKind::Box) {
            inputs_.append(widget);
            if (previous != nullptr) {
                QWidget::setTabOrder(previous, widget);
            }
            previous = widget;
        }
        if (control.kind != ControlKind::Picture) {
            captioned.append(widget);
        }
    }
    fitCaptionFont(*this, captioned);
    inputs_.first()->setFocus();
}

TallyWindow::~TallyWindow() {
    if (run_ != nullptr) {
        run_->wait();  // the run works on this window's session
    }
}

void TallyWindow::tallyClicked() {
    if (!session_.begin()) {
        return;
    }
    for (QWidget* input : inputs_) {
        input->setEnabled(false);
    }
    run_ = QThread::create([this] { end_ = session_.run(); });
    connect(run_, &QThread::finished, this, &TallyWindow::runFinished);
    run_->start();
}

void TallyWindow::runFinished() {
    run_->wait();
    delete run_;
    run_ = nullptr;

    showClosingMessage(this, end_.message);
    exitStatus_ = end_.exitStatus;
    emit finished(exitStatus_);
}

void TallyWindow::closeEvent(QCloseEvent* event) {
    if (run_ != nullptr) {
        event->ignore();  // the run goes on to its end and its message
        return;
    }
    QWidget::closeEvent(event);
}

void showClosingMessage(QWidget* parent, const ClosingMessage& message) {
    QMessageBox box(message.failed ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QString::fromLatin1(kMessageTitle), utf8(message.text), QMessageBox::Ok,
                    parent);
    // Shown as plain text, never as markup: a message may quote a file.
    box.setTextFormat(Qt::PlainText);  // also for the detail, set before it
    if (!message.detail.empty()) {
        box.setInformativeText(utf8(message.detail));
    }
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

}  // namespace vorskal::window
