#pragma once
// Picks a font at which every caption of the window is fully readable in its
// control's fixed size, whatever fonts the machine has.
#include <QList>

class QWidget;

namespace vorskal::window {

// Whether the control's caption fits inside it at its current font: labels
// and push buttons on one line, a WrappingCheckBox on as many lines as its
// height holds. Other widgets always fit.
bool captionFits(const QWidget& control);

// Sets the font of `window` (and so of its controls) to the largest pixel
// size of the window's range (form_layout.h) at which every one of
// `controls` fits.
void fitCaptionFont(QWidget& window, const QList<QWidget*>& controls);

}  // namespace vorskal::window
