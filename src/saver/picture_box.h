#pragma once

#include <QWidget>

#include "saver/placement.h"

namespace saver {

// A black background behind whatever the widget does not cover.
void paintBlack(QWidget* widget);

// A black box that keeps its geometry in twips, so a size it keeps is kept exactly, and that
// reports the characters typed into it.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(const TwipsRect& geometry, QWidget* parent);

    TwipsRect twipsGeometry() const { return geometry_; }
    void setTwipsGeometry(const TwipsRect& geometry);

signals:
    void KeyPress(int keyAscii);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TwipsRect geometry_;
};

}  // namespace saver
