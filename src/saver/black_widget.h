#pragma once

#include <QWidget>

namespace saver {

// A widget that shows nothing but black and reports the characters typed into it. Where the
// window system can keep its window black by itself, Qt never paints or uploads it: for a
// full-screen window that is 8 MB per paint, spent just while the first movie is opening.
class BlackWidget : public QWidget {
    Q_OBJECT
public:
    explicit BlackWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

signals:
    void KeyPress(int keyAscii);
    // Also when the window system resizes it: a window manager may give it another size than the
    // one asked for.
    void Resized();

protected:
    bool event(QEvent* event) override;
    QPaintEngine* paintEngine() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool blackInWindowSystem_ = false;
};

}  // namespace saver
