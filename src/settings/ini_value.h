#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// One value of the store file, as QSettings writes and reads INI values.
namespace settings {

// As QSettings writes a text: quoted when it holds ";", "," or "=" or has outer blanks, with
// backslash escapes for quotes, backslashes and control characters.
QByteArray encodedValue(const QString& text);

// What the value part of a key=value line (outer blanks removed) means: when it is exactly what
// QSettings writes for some text, that text, so every value QSettings wrote reads as before;
// otherwise the value as it stands, so a hand-written quote, backslash, comma or semicolon means
// just what it says.
QString valueAsWritten(QByteArrayView raw);

}  // namespace settings
