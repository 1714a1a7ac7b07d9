#pragma once
// A check box whose caption wraps onto a further line when it is wider than
// the box and the box is high enough. It is one widget: text() is the whole caption, and a click
// anywhere in the box (indicator or caption) toggles it, as on a plain
// check box.
#include <QCheckBox>

namespace vorskal::window {

class WrappingCheckBox : public QCheckBox {
    Q_OBJECT

  public:
    // How the caption is laid out in captionRect().
    static constexpr int kCaptionFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

    explicit WrappingCheckBox(const QString& text, QWidget* parent = nullptr);

    // Where the caption is drawn: right of the indicator, the box's full height.
    QRect captionRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    // A click toggles between checked and unchecked; only the program grays a box.
    void nextCheckState() override;
};

}  // namespace vorskal::window
