#pragma once

#include "saver/black_widget.h"
#include "saver/placement.h"

namespace saver {

// A black box that keeps its geometry in twips, so a size it keeps is kept exactly, and that
// reports the characters typed into it.
class PictureBox : public BlackWidget {
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
