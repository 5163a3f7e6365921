#pragma once

#include <QAbstractButton>

namespace settings {

// A picture that acts as a button, drawn flat at rest (border style 0) and with a single fixed
// border while pressed (border style 1).
class ImageButton : public QAbstractButton {
    Q_OBJECT
public:
    ImageButton(const QString& iconPath, const QString& toolTip, QWidget* parent);

    int borderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int borderStyle_ = 0;
};

}  // namespace settings
