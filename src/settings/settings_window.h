#pragma once

#include <QButtonGroup>
#include <QWidget>
#include <functional>
#include <optional>

#include "settings/options.h"

class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QDropEvent;

namespace settings {

class EntryMarks;
class ImageButton;

// The movie file chooser as the window calls it; tests hand in their own.
using OpenDialog =
    std::function<QString(QString& filter, qint16& filterIndex, const QString& title)>;

// The configuration window: the play list (the only copy while the window is open), the size of
// the selected entry, and buttons to add and remove movies. Closing it saves everything.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit SettingsWindow(OpenDialog showOpenDialog);

    // Shows the window and returns once the user has closed it.
    void showModal();

    // Restores the window if minimized and puts it in front of the others.
    void bringToFront();

    void SetSizeUp();

    void Form_Load();
    void Form_Resize();
    bool Form_Unload();
    void cbxSizes_Click();
    void imgControls_Click(int Index);
    void imgControls_MouseDown(int Index);
    void imgControls_MouseUp(int Index);
    void lstFiles_Click();
    void lstFiles_KeyPress(int KeyAscii);

    // The saver's options; what the user accepts is saved when the window closes, with the list.
    void showOptions();

    QStringList entries() const;
    EntryMarks* marks() const { return marks_; }

    QWidget* picContainer = nullptr;
    QButtonGroup imgControls;
    QFrame* frmDivide = nullptr;
    QLabel* imgSize = nullptr;
    QComboBox* cbxSizes = nullptr;
    QListWidget* lstFiles = nullptr;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum ButtonIndex { AddButton = 0, RemoveButton = 1 };

    void createControls();
    void connectHandlers();
    struct ListAction {
        QString text;
        QList<QKeySequence> keys;
        std::function<void()> run;
        bool needsSelection = false;
        bool startsGroup = false;
    };
    QList<ListAction> listActions();
    void showListMenu(const QPoint& at);
    void placeCentredOnScreen();
    void addMovies();
    void removeSelectedMovie();
    void moveSelectedMovie(int step);
    bool takeDrop(QEvent* event);
    void appendEntries(const QStringList& newEntries);
    void selectSize(int index);
    void followSelection();
    void showFocusedEntry();
    std::optional<QSize> screenForMarks() const;
    int selectedPosition() const;
    ImageButton* imageButton(int index) const;

    OpenDialog showOpenDialog_;
    qint16 filterIndex_ = 0;  // the chooser's filter last confirmed, 0 before the first
    EntryMarks* marks_ = nullptr;
    std::optional<SaverOptions> options_;
    bool shrinkToFitStored_ = false;
};

}  // namespace settings
