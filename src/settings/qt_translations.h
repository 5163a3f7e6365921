#pragma once

#include <QLocale>

class QTranslator;

namespace settings {

// Qt's own texts (the file chooser, the buttons of message boxes) in the user's language, where
// Qt's translations are installed; the program's own texts stay as they are. The translator
// belongs to the application; nothing when there is none for the locale.
QTranslator* installQtTranslations(const QLocale& locale = QLocale());

}  // namespace settings
