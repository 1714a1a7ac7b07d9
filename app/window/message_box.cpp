#include "app/window/message_box.h"

#include <QMessageBox>
#include <QString>

namespace vorskal {

void MessageBoxSink::show(const Outcome& outcome) {
    // The two messages of the program's own come without an icon; a failure
    // is marked as an error.
    const QMessageBox::Icon icon =
        outcome.kind == OutcomeKind::Failed ? QMessageBox::Critical : QMessageBox::NoIcon;
    // Messages are 8-bit text in the system's code page and may quote any text
    // of a file, so they are shown as plain text, never as markup.
    QMessageBox box(icon, QString::fromLatin1(kMessageTitle),
                    QString::fromLocal8Bit(outcome.message.data(),
                                           static_cast<qsizetype>(outcome.message.size())),
                    QMessageBox::Ok, parent_);
    if (!outcome.detail.empty()) {
        box.setInformativeText(QString::fromLocal8Bit(
            outcome.detail.data(), static_cast<qsizetype>(outcome.detail.size())));
    }
    box.setTextFormat(Qt::PlainText);  // also for the detail, set before it
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

}  // namespace vorskal
