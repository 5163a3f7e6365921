#pragma once

#include "saver/black_widget.h"
#include "saver/placement.h"

namespace saver {

// A black box that keeps its geometry in twips, so a size it keeps is kept exactly.
class PictureBox : public BlackWidget {
    Q_OBJECT
public:
    PictureBox(const TwipsRect& geometry, QWidget* parent);

    TwipsRect twipsGeometry() const { return geometry_; }
    void setTwipsGeometry(const TwipsRect& geometry);

private:
    TwipsRect geometry_;
};

}  // namespace saver
