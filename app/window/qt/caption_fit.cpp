#include "app/window/qt/caption_fit.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "app/window/form_layout.h"
#include "app/window/qt/wrapping_check_box.h"

namespace vorskal::window {

namespace {

bool lineFits(const QWidget& control, const QString& text, int width) {
    const QFontMetrics metrics = control.fontMetrics();
    return metrics.horizontalAdvance(text) <= width && metrics.height() <= control.height();
}

}  // namespace

bool captionFits(const QWidget& control) {
    if (const auto* wrapping = qobject_cast<const WrappingCheckBox*>(&control)) {
        const QRect area = wrapping->captionRect();
        const QRect used = wrapping->fontMetrics().boundingRect(
            area, WrappingCheckBox::kCaptionFlags, wrapping->text());
        return area.contains(used);
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        return lineFits(*button, button->text(), button->width() - 2 * margin);
    }
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return lineFits(*label, label->text(), label->contentsRect().width());
    }
    return true;
}

void fitCaptionFont(QWidget& window, const QList<QWidget*>& controls) {
    QFont font = window.font();
    const auto atSize = [&](int pixels) {
        font.setPixelSize(pixels);
        window.setFont(font);
    };
    atSize(captionFontPixels([&](int pixels) {
        atSize(pixels);
        bool all = true;
        for (const QWidget* control : controls) {
            all = all && captionFits(*control);
        }
        return all;
    }));
}

}  // namespace vorskal::window
